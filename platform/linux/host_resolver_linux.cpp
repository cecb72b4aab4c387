#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "platform/blocking_host_resolver.h"

namespace vintrel {
namespace {

std::string FirstIPv4(const std::string& hostName) {
    // The C library would stop at an embedded zero and resolve another name.
    if (hostName.find('\0') != std::string::npos) return {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    // One entry per address instead of one per socket type.
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(hostName.c_str(), nullptr, &hints, &found) != 0) return {};
    std::string dotted;
    if (found != nullptr && found->ai_family == AF_INET && found->ai_addr != nullptr) {
        const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
        char text[INET_ADDRSTRLEN] = {};
        if (::inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr) {
            dotted = text;
        }
    }
    ::freeaddrinfo(found);
    return dotted;
}

}  // namespace

std::unique_ptr<HostResolver> makeSystemHostResolver() {
    return std::make_unique<BlockingHostResolver>(FirstIPv4);
}

}  // namespace vintrel
