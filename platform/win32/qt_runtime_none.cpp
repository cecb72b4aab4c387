#include "platform/qt_runtime.h"

#include <windows.h>

#include <cstdlib>

namespace vintrel {

// The Windows backends call the system directly and need no Qt event loop.
void ensureQtCore() {}

void runEventLoopUntil(const std::function<bool()>& finished) {
    MSG message;
    while (!finished() && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// No proxy library to outrun here: the ordinary exit flushes and cleans up.
void leaveProcess(int status) {
    std::exit(status);
}

}  // namespace vintrel
