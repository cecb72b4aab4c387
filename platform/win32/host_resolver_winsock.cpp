#include <winsock2.h>

#include <cstring>

#include "platform/blocking_host_resolver.h"

namespace vintrel {
namespace {

// Runs on worker threads too: gethostbyname's answer and inet_ntoa's text lie
// in storage of the calling thread, so look-ups on several threads do not clash.
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

}  // namespace

std::unique_ptr<HostResolver> makeSystemHostResolver() {
    return std::make_unique<BlockingHostResolver>(FirstIPv4);
}

}  // namespace vintrel
