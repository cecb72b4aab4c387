#include "platform/qt_runtime.h"

namespace vintrel {

// The Windows backends call the system directly and need no Qt event loop.
void ensureQtCore() {}

}  // namespace vintrel
