#include <winsock2.h>

#include <cstring>
#include <system_error>
#include <thread>

#include "platform/host_resolver.h"
#include "platform/loop_inbox.h"

namespace vintrel {
namespace {

std::string FirstIPv4(const std::string& hostName) {
    // gethostbyname would stop at an embedded zero and resolve another
    // name, and takes an empty name for this machine's own.
    if (hostName.empty() || hostName.find('\0') != std::string::npos) return {};
    // Never paired with WSACleanup: the count only keeps the library
    // loaded, which a program that resolves again later wants anyway.
    WSADATA data{};
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0) return {};
    const hostent* host = gethostbyname(hostName.c_str());
    if (host == nullptr || host->h_addrtype != AF_INET || host->h_length != 4 ||
        host->h_addr_list == nullptr || host->h_addr_list[0] == nullptr) {
        return {};
    }
    in_addr address{};
    std::memcpy(&address, host->h_addr_list[0], sizeof address);
    const char* dotted = inet_ntoa(address);
    return dotted != nullptr ? dotted : "";
}

class WinsockHostResolver final : public HostResolver {
public:
    std::string firstIPv4(const std::string& hostName) override { return FirstIPv4(hostName); }

    // gethostbyname cannot be interrupted, and a resolver that does not
    // answer holds it for many seconds: it runs on a thread of its own, left
    // to finish by itself when nobody waits for it any more. Its answer and
    // inet_ntoa's text lie in storage of the calling thread, so look-ups on
    // several threads do not clash.
    void lookUpIPv4(const std::string& hostName, std::function<void(std::string)> done) override {
        if (!inbox_) inbox_ = std::make_unique<LoopInbox>();
        // No thread to be had: the name counts as not resolving.
        RunDetached<std::string>(
            *inbox_, [hostName] { return FirstIPv4(hostName); }, std::move(done),
            [](const std::string&) { return std::string(); });
    }

private:
    std::unique_ptr<LoopInbox> inbox_;
};

}  // namespace

std::unique_ptr<HostResolver> makeSystemHostResolver() {
    return std::make_unique<WinsockHostResolver>();
}

}  // namespace vintrel
