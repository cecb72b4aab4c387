#include <windows.h>

#include <string>

#include "platform/executable_path.h"

namespace vintrel {

std::string RunningExecutablePath() {
    // GetModuleFileNameA cuts a path that does not fit and says so only by
    // filling the whole buffer, so grow until it fits.
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace vintrel
