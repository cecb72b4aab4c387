#include <unistd.h>

#include <string>

#include "platform/executable_path.h"

namespace vintrel {

std::string RunningExecutablePath() {
    // readlink does not say whether it truncated, so grow until the link fits.
    std::string path(256, '\0');
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0) return {};
        if (static_cast<std::size_t>(n) < path.size()) {
            path.resize(static_cast<std::size_t>(n));
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace vintrel
