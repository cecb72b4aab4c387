#pragma once

#include <string>

namespace vintrel {

/// The full path of the running program's executable file; empty when the
/// system cannot tell.
std::string RunningExecutablePath();

}  // namespace vintrel
