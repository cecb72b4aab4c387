#pragma once

#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <string>

namespace vintrel {

/// The application object: an exception that escapes an event handler is
/// shown in the error box and the program runs on; a change of the regional
/// settings is picked up for the dates and times written from then on.
class VintrelApplication : public QApplication {
    Q_OBJECT
public:
    VintrelApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

protected:
    bool event(QEvent* event) override;
};

/// A modal message box with `text` and one OK button under the application's
/// title, centred on the screen and kept above the main window.
void ShowMessageBox(const std::string& text, QMessageBox::Icon icon = QMessageBox::NoIcon);

/// Shows the exception's text with the error icon under the application's
/// title, a full stop added as the error box does.
void ShowExceptionBox(std::exception_ptr error);

}  // namespace vintrel
