#pragma once

#include <optional>
#include <string>
#include <vector>

#include "timesync/daytime_query.h"

namespace vintrel {

/// What the command line of vintrel-sync asks for.
struct SyncArguments {
    /// The server to ask; unset means the stored "ipAddress".
    std::optional<std::string> server;
    /// The connection to use; unset means the stored connection settings.
    std::optional<ConnectionSettings> connection;
    int port = kDaytimePort;
    bool probe = true;
    bool setClock = false;
    /// Print the time-zone rows instead of querying.
    bool zone = false;
    bool help = false;
};

struct ParsedSyncArguments {
    SyncArguments arguments;
    /// One line saying what is wrong with the command line; empty when nothing is.
    std::string error;
};

/// Parses the arguments that follow the program name.
ParsedSyncArguments ParseSyncArguments(const std::vector<std::string>& arguments);

/// The text that --help prints.
std::string SyncUsage(const std::string& program);

}  // namespace vintrel
