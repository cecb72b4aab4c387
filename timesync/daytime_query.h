#pragma once

#include <string>

#include "platform/daytime_client.h"

namespace vintrel {

/// A daytime server answers on this port; the product never uses another.
inline constexpr int kDaytimePort = 13;

/// How the user chose to reach the time server, as stored: "ConnectionType"
/// "1" direct, "2" the system's internet settings, "3" the explicit http proxy
/// at `address`:`port`; any other value counts as "1".
struct ConnectionSettings {
    std::string connectionType = "1";
    std::string address;
    std::string port;

    friend bool operator==(const ConnectionSettings&, const ConnectionSettings&) = default;
};

/// The access type that a stored "ConnectionType" stands for.
InternetAccessType AccessTypeOf(const std::string& connectionType);

/// The request for one daytime reply from `server` on `port`.
DaytimeRequest MakeDaytimeRequest(const std::string& server, int port,
                                  const ConnectionSettings& connection, const std::string& agent);

}  // namespace vintrel
