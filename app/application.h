#pragma once

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <exception>
#include <initializer_list>
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

/// The artwork `names` (":/vintrel/ping") with their renderings at two and
/// three times their size (name@2x.png, name@3x.png): Qt takes the one that
/// fits the screen's scale, on whichever screen it is shown.
QIcon ArtworkIcon(std::initializer_list<const char*> names);

/// The renderings a bitmap made now for the screens present takes (1 to 3):
/// the highest device pixel ratio, rounded up.
int ArtworkScale();

/// A modal message box with `text` and one OK button under the application's
/// title, centred on the screen and kept above the main window.
void ShowMessageBox(const std::string& text, QMessageBox::Icon icon = QMessageBox::NoIcon);

/// Shows the exception's text with the error icon under the application's
/// title, a full stop added as the error box does.
void ShowExceptionBox(std::exception_ptr error);

}  // namespace vintrel
