#pragma once

// The few socket calls the loopback test servers make, under one name on
// Linux and on Windows (WinSock 2).

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#endif

#include <cstdint>
#include <string>

namespace vintrel::testing {

#ifdef _WIN32
using NativeSocket = SOCKET;
inline const NativeSocket kNoSocket = INVALID_SOCKET;
using PollEntry = WSAPOLLFD;
// Sockets are made non-blocking, so no call needs a flag for it.
constexpr int kNoWaitFlags = 0;
constexpr int kShutWrite = SD_SEND;
#else
using NativeSocket = int;
inline const NativeSocket kNoSocket = -1;
using PollEntry = pollfd;
constexpr int kNoWaitFlags = MSG_NOSIGNAL | MSG_DONTWAIT;
constexpr int kShutWrite = SHUT_WR;
#endif

/// Keeps the socket library loaded for the object's lifetime (Windows needs
/// WSAStartup before any socket call; elsewhere nothing).
class SocketLibrary {
public:
    SocketLibrary();
    ~SocketLibrary();
    SocketLibrary(const SocketLibrary&) = delete;
    SocketLibrary& operator=(const SocketLibrary&) = delete;
};

/// A TCP or UDP socket that is close-on-exec and non-blocking; kNoSocket on failure.
NativeSocket OpenSocket(int type);
/// Accepts a waiting connection as a non-blocking socket; kNoSocket if none.
NativeSocket AcceptConnection(NativeSocket listener);
void CloseSocket(NativeSocket socket);
int PollSockets(PollEntry* entries, unsigned count, int timeoutMs);
/// The error of the last failed socket call.
int LastSocketError();
/// Whether that error only means "not now" (would block, interrupted).
bool IsTransientSocketError(int error);
std::string SocketErrorText(int error);

/// A loopback socket address.
sockaddr_in LoopbackAddress(std::uint16_t port);

}  // namespace vintrel::testing
