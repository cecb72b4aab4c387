#pragma once

#include <chrono>
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
    /// Measure the offset to the millisecond with several timed queries.
    bool precise = false;
    /// Queries of a precise measurement; unset means eight.
    std::optional<int> samples;
    /// Least time between the queries of a precise measurement; unset means
    /// the four seconds the public servers demand. Shorter only for a server
    /// on this machine, for tests.
    std::optional<std::chrono::milliseconds> minSpacing;
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
