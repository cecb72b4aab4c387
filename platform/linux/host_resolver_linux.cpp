#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <system_error>
#include <thread>

#include "platform/host_resolver.h"
#include "platform/loop_inbox.h"

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

class SystemHostResolver final : public HostResolver {
public:
    std::string firstIPv4(const std::string& hostName) override { return FirstIPv4(hostName); }

    // The C library's look-up cannot be interrupted, and a resolver that does
    // not answer holds it for many seconds: it runs on a thread of its own,
    // left to finish by itself when nobody waits for it any more.
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
    return std::make_unique<SystemHostResolver>();
}

}  // namespace vintrel
