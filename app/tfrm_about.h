#pragma once

#include <QDialog>

class QLabel;

namespace vintrel {

class ShellLauncher;

/// The about box: the product's name, the maker's notice and a link to the
/// maker's web site. Created once and reused.
class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    TfrmAbout(ShellLauncher& shell, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;

    void Label3Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();

    ShellLauncher& shell_;
};

/// The three paragraphs of the notice.
QString AboutNotice();

}  // namespace vintrel
