#include "timesync/daytime_query.h"

#include "timesync/text_format.h"

namespace vintrel {
namespace {
constexpr const char* kExplicitProxy = "3";
}

InternetAccessType AccessTypeOf(const std::string& connectionType) {
    if (connectionType == kExplicitProxy) return InternetAccessType::Proxy;
    if (connectionType == "2") return InternetAccessType::Preconfig;
    return InternetAccessType::Direct;
}

DaytimeRequest MakeDaytimeRequest(const std::string& server, int port,
                                  const ConnectionSettings& connection, const std::string& agent) {
    DaytimeRequest request;
    request.url = "http://" + server + ":" + IntegerText(port);
    request.accessType = AccessTypeOf(connection.connectionType);
    // Nothing checks the parts: an empty address and port still make "http=:".
    if (request.accessType == InternetAccessType::Proxy) {
        request.proxyText = "http=" + connection.address + ":" + connection.port;
    }
    request.agent = agent;
    return request;
}

}  // namespace vintrel
