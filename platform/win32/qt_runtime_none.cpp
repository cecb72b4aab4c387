#include "platform/qt_runtime.h"

#include <cstdlib>

namespace vintrel {

// The Windows backends call the system directly and need no Qt event loop.
void ensureQtCore() {}

// No proxy library to outrun here: the ordinary exit flushes and cleans up.
void leaveProcess(int status) {
    std::exit(status);
}

}  // namespace vintrel
