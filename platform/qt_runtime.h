#pragma once

#include <functional>

namespace vintrel {

/// Creates the process's QCoreApplication when none exists yet, for code that
/// needs Qt's core services (D-Bus, sockets) outside the GUI program.
void ensureQtCore();

/// Flushes standard output and error and ends the process with `status`
/// without running the exit handlers: libproxy's proxy-script thread may
/// still run while its library is unloaded, which crashes the process and
/// loses what was still buffered.
[[noreturn]] void leaveProcess(int status);

/// Runs the calling thread's event loop until `finished` says so; for a
/// program whose work answers through the loop but that has no loop of its own.
void runEventLoopUntil(const std::function<bool()>& finished);

}  // namespace vintrel
