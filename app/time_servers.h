#pragma once

#include <array>
#include <string_view>

namespace vintrel {

/// The public daytime servers of the NIST Internet Time Service offered in the
/// Time Servers menu, in menu order.
inline constexpr std::array<std::string_view, 11> kTimeServers{
    "129.6.15.28",  "129.6.15.29",  "129.6.15.30",    "129.6.15.27",
    "129.6.15.26",  "132.163.97.1", "132.163.97.2",   "132.163.97.3",
    "132.163.97.4", "132.163.97.6", "128.138.140.44",
};

/// The server used until the user chooses one: the menu's fourth.
inline constexpr std::string_view kDefaultTimeServer = kTimeServers[3];

/// The server item checked when the menu is created: the second.
inline constexpr std::size_t kInitiallyCheckedServer = 1;

}  // namespace vintrel
