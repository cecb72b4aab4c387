#pragma once

#include <string_view>

namespace vintrel {

/// Whether a proxy list in the internet client's form ("http=host:port",
/// entries apart by blanks or semicolons) names a proxy for http: the first
/// entry for the http scheme, or for every scheme, with a host and a port
/// from 1 to 65535. The library itself quietly connects directly when it
/// finds none, which is not what a user who chose a proxy asked for.
bool NamesHttpProxy(std::string_view proxyText);

}  // namespace vintrel
