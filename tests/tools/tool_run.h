#pragma once

// Runs the built vintrel-sync through the shell and keeps what it printed.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace vintrel::testing {

struct ToolRun {
    int status = -1;
    std::string out;
};

/// `prefix` goes in front of the program (environment assignments, `env -u …`);
/// standard error is merged into `out`. A signal shows as 128 + its number.
inline ToolRun RunSyncTool(const std::string& prefix, const std::string& arguments) {
    const std::string command =
        prefix + " '" + std::string(VINTREL_SYNC_PATH) + "' " + arguments + " 2>&1";
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) run.out += buffer.data();
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return run;
}

}  // namespace vintrel::testing
