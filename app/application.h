#pragma once

#include <QApplication>
#include <exception>

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

/// Shows the exception's text with the error icon under the application's
/// title, a full stop added as the error box does.
void ShowExceptionBox(std::exception_ptr error);

}  // namespace vintrel
