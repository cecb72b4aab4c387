#include "platform/qt_runtime.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace vintrel {

void ensureQtCore() {
    if (QCoreApplication::instance() != nullptr) return;
    // QCoreApplication keeps argc and argv for its whole life.
    static int argc = 1;
    static char name[] = "vintrel";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

void runEventLoopUntil(const std::function<bool()>& finished) {
    ensureQtCore();
    while (!finished()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void leaveProcess(int status) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(status);
}

}  // namespace vintrel
