#pragma once

// What the fixtures that start real servers (proxies) share: whether a
// loopback port takes connections, and ending a child within a bound.

#include <sys/types.h>

#include <chrono>
#include <cstdint>

namespace vintrel::testing {

/// Whether something on 127.0.0.1 accepts a TCP connection on `port`.
bool LoopbackAccepts(std::uint16_t port);

/// Sends `signal` to the child `pid`, waits up to `limit` for it to end,
/// then kills it; the child is reaped either way.
void EndChild(pid_t pid, int signal, std::chrono::milliseconds limit);

}  // namespace vintrel::testing
