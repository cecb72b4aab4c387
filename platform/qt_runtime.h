#pragma once

namespace vintrel {

/// Creates the process's QCoreApplication when none exists yet, for code that
/// needs Qt's core services (D-Bus, sockets) outside the GUI program.
void ensureQtCore();

/// Flushes standard output and error and ends the process with `status`
/// without running the exit handlers: libproxy's proxy-script thread may
/// still run while its library is unloaded, which crashes the process and
/// loses what was still buffered.
[[noreturn]] void leaveProcess(int status);

}  // namespace vintrel
