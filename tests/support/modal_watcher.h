#pragma once

#include <QMessageBox>
#include <QObject>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class QDialog;

namespace vintrel::testing {

/// While alive, answers the modal windows a test opens, from inside their own
/// event loops, so a test drives message boxes and dialogs without sleeping:
/// every message box is recorded and closed with its first button; every
/// other dialog is handed to the next queued action (or rejected when none is
/// queued).
class ModalWatcher final : public QObject {
public:
    struct Box {
        std::string title;
        std::string text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        /// Whether it asked to stay above other windows.
        bool onTop = false;
        /// Whether its window icon is the application's (and there is one).
        bool programIcon = false;
    };

    ModalWatcher();
    ~ModalWatcher() override;

    /// The message boxes seen so far, in order.
    const std::vector<Box>& boxes() const { return boxes_; }
    std::vector<std::string> texts() const;

    /// Runs `action` on the next dialog that opens; it should end the dialog.
    void onNextDialog(std::function<void(QDialog&)> action);
    /// The dialogs seen so far, by object name.
    const std::vector<std::string>& dialogs() const { return dialogs_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void answer(QWidget* window);

    std::vector<Box> boxes_;
    std::vector<std::string> dialogs_;
    std::deque<std::function<void(QDialog&)>> actions_;
};

}  // namespace vintrel::testing
