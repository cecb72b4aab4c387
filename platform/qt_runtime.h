#pragma once

namespace vintrel {

/// Creates the process's QCoreApplication when none exists yet, for code that
/// needs Qt's core services (D-Bus, sockets) outside the GUI program.
void ensureQtCore();

}  // namespace vintrel
