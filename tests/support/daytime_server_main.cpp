// The loopback daytime server as a program of its own, for runs of the real,
// installed programs (scripts/e2e, scripts/bench):
//
//   daytime_server [--port N] [--behaviour NAME] [--offset SECONDS | --fixed "YYYY-MM-DD HH:MM:SS"]
//                  [--advance MS]
//
// It listens on 127.0.0.1 only (port 13 unless told; 0 picks a free one),
// prints "ready PORT" once it listens, and serves until SIGTERM or SIGINT;
// then it prints "connections N received M" (M: bytes the clients sent).
// The time it announces is the real clock plus the offset, or the fixed UTC
// moment; it never reads a clock anything could have set. With --advance, a
// running time is sent that many milliseconds early and the line's msADV says
// so, as NIST's servers do (0 unless told).

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "tests/support/daytime_test_server.h"

namespace {

using vintrel::testing::DaytimeTestServer;
using vintrel::testing::ServerBehaviour;
using vintrel::testing::ServerTime;

constexpr std::pair<const char*, ServerBehaviour> kBehaviours[] = {
    {"answer", ServerBehaviour::Answer},
    {"refuse", ServerBehaviour::Refuse},
    {"never-answer", ServerBehaviour::NeverAnswer},
    {"drip", ServerBehaviour::Drip},
    {"flood", ServerBehaviour::Flood},
    {"nul-bytes", ServerBehaviour::NulBytes},
    {"close-without-data", ServerBehaviour::CloseWithoutData},
    {"in-pieces", ServerBehaviour::InPieces},
    {"without-nist", ServerBehaviour::WithoutNist},
};

struct Options {
    int port = 13;
    ServerBehaviour behaviour = ServerBehaviour::Answer;
    ServerTime time = ServerTime::NowPlus(0);
    bool fixed = false;
    double offsetSeconds = 0;
    double advanceMs = 0;
};

[[noreturn]] void Usage(const char* complaint) {
    std::fprintf(stderr,
                 "daytime_server: %s\n"
                 "usage: daytime_server [--port N] [--behaviour NAME] "
                 "[--offset SECONDS | --fixed \"YYYY-MM-DD HH:MM:SS\"] [--advance MS]\n"
                 "behaviours:",
                 complaint);
    for (const auto& [name, behaviour] : kBehaviours) std::fprintf(stderr, " %s", name);
    std::fprintf(stderr, "\n");
    std::exit(2);
}

ServerBehaviour BehaviourNamed(const std::string& name) {
    for (const auto& [known, behaviour] : kBehaviours) {
        if (name == known) return behaviour;
    }
    Usage(("unknown behaviour " + name).c_str());
}

ServerTime FixedTime(const std::string& text) {
    unsigned year, month, day, hour, minute, second;
    char end;
    if (std::sscanf(text.c_str(), "%u-%u-%u %u:%u:%u%c", &year, &month, &day, &hour, &minute,
                    &second, &end) != 6) {
        Usage(("not a UTC date and time: " + text).c_str());
    }
    try {
        const auto word = [](unsigned v) { return static_cast<std::uint16_t>(v); };
        return ServerTime::Fixed(vintrel::DateFromParts(word(year), word(month), word(day)) +
                                 vintrel::TimeFromParts(word(hour), word(minute), word(second), 0));
    } catch (const std::exception&) {
        Usage(("not a valid date and time: " + text).c_str());
    }
}

double Number(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0') Usage(("not a number: " + text).c_str());
    return value;
}

Options Parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) Usage(("missing value after " + name).c_str());
        const std::string value = argv[++i];
        if (name == "--port") {
            const double port = Number(value);
            if (port < 0 || port > 65535 || port != static_cast<int>(port)) {
                Usage(("not a port: " + value).c_str());
            }
            options.port = static_cast<int>(port);
        } else if (name == "--behaviour") {
            options.behaviour = BehaviourNamed(value);
        } else if (name == "--offset") {
            options.offsetSeconds = Number(value);
            options.fixed = false;
        } else if (name == "--fixed") {
            options.time = FixedTime(value);
            options.fixed = true;
        } else if (name == "--advance") {
            options.advanceMs = Number(value);
            if (options.advanceMs < 0 || options.advanceMs >= 1000) {
                Usage(("not an advance under a second: " + value).c_str());
            }
        } else {
            Usage(("unknown option " + name).c_str());
        }
    }
    if (!options.fixed) {
        options.time = ServerTime::NowPlusSeconds(options.offsetSeconds, options.advanceMs);
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = Parse(argc, argv);
    // Blocked before the server's thread starts, so only sigwait sees them.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);

    DaytimeTestServer server(options.behaviour, options.time,
                             static_cast<std::uint16_t>(options.port));
    if (!server.failure().empty()) {
        std::fprintf(stderr, "daytime_server: %s\n", server.failure().c_str());
        return 1;
    }
    std::printf("ready %u\n", unsigned{server.port()});
    std::fflush(stdout);

    int received = 0;
    sigwait(&stop, &received);
    const auto tally = server.tally(2);
    std::printf("connections %d received %zu\n", tally.connections, tally.bytesReceived);
    return 0;
}
