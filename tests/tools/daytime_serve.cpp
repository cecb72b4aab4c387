// A daytime server for the scripts that compare programs: answers the given
// number of connections on 127.0.0.1 with one fixed NIST line, then ends.
// Prints its port on the first line of its output.
//
//   daytime_serve CONNECTIONS [LIMIT_SECONDS]
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "tests/support/daytime_test_server.h"

int main(int argc, char** argv) {
    using namespace vintrel;
    using namespace std::chrono;
    const int connections = argc > 1 ? std::atoi(argv[1]) : 1;
    const int limitSeconds = argc > 2 ? std::atoi(argv[2]) : 60;
    const SerialTime utc = DateFromParts(2025, 2, 17) + TimeFromParts(14, 30, 45, 0);
    testing::DaytimeTestServer server(testing::ServerBehaviour::Answer,
                                      testing::ServerTime::Fixed(utc));
    if (!server.failure().empty()) {
        std::cerr << "daytime_serve: " << server.failure() << '\n';
        return 1;
    }
    std::cout << server.port() << std::endl;
    const auto deadline = steady_clock::now() + seconds(limitSeconds);
    while (steady_clock::now() < deadline) {
        const testing::ServerTally tally = server.tally(1);
        if (tally.connections >= connections && tally.settled) return 0;
        std::this_thread::sleep_for(milliseconds(20));
    }
    std::cerr << "daytime_serve: fewer than " << connections << " connections came\n";
    return 2;
}
