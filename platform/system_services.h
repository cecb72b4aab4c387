#pragma once

namespace vintrel {

/// Installs the system's own clock, timing clock, registry, zone source and
/// start-at-logon lists as the process-wide ones. The programs call it first
/// thing in `main`, so that what they run on is chosen in one place; tests
/// install stand-ins instead.
void installSystemServices();

}  // namespace vintrel
