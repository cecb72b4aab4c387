#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/host_resolver.h"
#include "platform/loop_inbox.h"

namespace vintrel {

/// A resolver over the system's blocking look-up. That look-up cannot be
/// interrupted, and a resolver that does not answer holds it for many
/// seconds: the asynchronous one runs it on a thread of its own, left to
/// finish by itself when nobody waits for it any more.
class BlockingHostResolver final : public HostResolver {
public:
    using LookUp = std::string (*)(const std::string& hostName);
    explicit BlockingHostResolver(LookUp lookUp) : lookUp_(lookUp) {}

    std::string firstIPv4(const std::string& hostName) override { return lookUp_(hostName); }

    void lookUpIPv4(const std::string& hostName, std::function<void(std::string)> done) override {
        if (!inbox_) inbox_ = std::make_unique<LoopInbox>();
        // No thread to be had: the name counts as not resolving.
        RunDetached<std::string>(
            *inbox_, [lookUp = lookUp_, hostName] { return lookUp(hostName); }, std::move(done),
            [](const std::string&) { return std::string(); });
    }

private:
    LookUp lookUp_;
    std::unique_ptr<LoopInbox> inbox_;
};

}  // namespace vintrel
