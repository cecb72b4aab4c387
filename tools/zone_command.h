#pragma once

#include <ostream>

namespace vintrel {

/// Prints the time-zone rows as the main window shows them, one
/// "Caption: value" line each, in the window's order. Returns the exit status:
/// 0, or 1 when the system's time-zone record holds a rule that cannot be shown.
int RunZone(std::ostream& out, std::ostream& err);

}  // namespace vintrel
