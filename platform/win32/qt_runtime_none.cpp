#include "platform/qt_runtime.h"

#include <windows.h>

#include <cstdlib>

#include "platform/win32/message_pump.h"

namespace vintrel {

// The Windows backends call the system directly and need no Qt event loop.
void ensureQtCore() {}

// The answers of the asynchronous queries arrive as messages to this
// thread's windows. A quit request ends the wait and stays queued.
void runEventLoopUntil(const std::function<bool()>& finished) {
    while (!finished()) {
        if (!ProcessWin32Messages() || finished()) return;
        WaitMessage();
    }
}

// No proxy library to outrun here: the ordinary exit flushes and cleans up.
void leaveProcess(int status) {
    std::exit(status);
}

}  // namespace vintrel
