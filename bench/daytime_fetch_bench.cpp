// Times daytime fetches against the loopback test servers: the median of a
// good fetch (direct and, when tinyproxy is installed, through it) and the
// worst case of a query whose server or proxy never answers, with the
// product's time-outs.
//
// Usage: daytime_fetch_bench [good fetches, default 200] [silent queries, default 3]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/daytime_client.h"
#include "tests/support/daytime_test_server.h"
#include "tests/support/tinyproxy.h"

namespace {

using vintrel::DaytimeClient;
using vintrel::DaytimeRequest;
using vintrel::InternetAccessType;
using vintrel::testing::DaytimeTestServer;
using vintrel::testing::ServerBehaviour;
using vintrel::testing::Tinyproxy;

struct Figures {
    double median = 0;
    double worst = 0;
    int empty = 0;
};

Figures Time(DaytimeClient& client, const DaytimeRequest& request, int runs) {
    std::vector<double> ms;
    Figures figures;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (client.fetch(request).reply.empty()) ++figures.empty;
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    figures.median = ms[ms.size() / 2];
    figures.worst = ms.back();
    return figures;
}

void Report(const char* what, const Figures& f, int runs) {
    std::printf("%-44s median %9.3f ms  worst %9.3f ms  (%d runs, %d empty)\n", what, f.median,
                f.worst, runs, f.empty);
}

std::string ProxyText(std::uint16_t port) {
    return "http=127.0.0.1:" + std::to_string(port);
}

int Count(int argc, char** argv, int index, int fallback) {
    const int value = argc > index ? std::atoi(argv[index]) : 0;
    return value > 0 ? value : fallback;
}

}  // namespace

int main(int argc, char** argv) {
    const int good = Count(argc, argv, 1, 200);
    const int silent = Count(argc, argv, 2, 3);
    const vintrel::DaytimeTimeouts timeouts;
    const auto client = vintrel::makeDaytimeClient(timeouts);
    std::printf("time-outs: connect %lld ms, total %lld ms\n",
                static_cast<long long>(timeouts.connect.count()),
                static_cast<long long>(timeouts.total.count()));

    DaytimeTestServer server;
    DaytimeTestServer silentServer(ServerBehaviour::NeverAnswer);
    DaytimeTestServer silentProxy(ServerBehaviour::NeverAnswer);
    const auto request = [](const std::string& url, InternetAccessType type,
                            const std::string& proxy) {
        return DaytimeRequest{url, type, proxy, "daytime_fetch_bench"};
    };

    Report("good fetch, direct",
           Time(*client, request(server.url(), InternetAccessType::Direct, {}), good), good);
    if (Tinyproxy::unavailableReason().empty()) {
        Tinyproxy proxy({server.port()});
        const auto through =
            request(server.url(), InternetAccessType::Proxy, ProxyText(proxy.port()));
        Report("good fetch, through tinyproxy", Time(*client, through, good), good);
    } else {
        std::printf("through tinyproxy: skipped, %s\n", Tinyproxy::unavailableReason().c_str());
    }
    Report("server never answers, direct",
           Time(*client, request(silentServer.url(), InternetAccessType::Direct, {}), silent),
           silent);
    Report("proxy never answers",
           Time(*client,
                request(server.url(), InternetAccessType::Proxy, ProxyText(silentProxy.port())),
                silent),
           silent);
    return 0;
}
