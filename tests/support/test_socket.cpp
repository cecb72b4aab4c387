#include "tests/support/test_socket.h"

#include <cstring>

namespace vintrel::testing {

#ifdef _WIN32

SocketLibrary::SocketLibrary() {
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
}

SocketLibrary::~SocketLibrary() {
    WSACleanup();
}

NativeSocket OpenSocket(int type) {
    const NativeSocket s = ::socket(AF_INET, type, 0);
    if (s == INVALID_SOCKET) return s;
    SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    u_long on = 1;
    ioctlsocket(s, FIONBIO, &on);
    return s;
}

NativeSocket AcceptConnection(NativeSocket listener) {
    const NativeSocket s = ::accept(listener, nullptr, nullptr);
    if (s == INVALID_SOCKET) return s;
    u_long on = 1;
    ioctlsocket(s, FIONBIO, &on);
    return s;
}

void CloseSocket(NativeSocket socket) {
    ::closesocket(socket);
}

int PollSockets(PollEntry* entries, unsigned count, int timeoutMs) {
    return ::WSAPoll(entries, count, timeoutMs);
}

int LastSocketError() {
    return WSAGetLastError();
}

bool IsTransientSocketError(int error) {
    return error == WSAEWOULDBLOCK || error == WSAEINTR;
}

std::string SocketErrorText(int error) {
    return "socket error " + std::to_string(error);
}

#else

SocketLibrary::SocketLibrary() = default;
SocketLibrary::~SocketLibrary() = default;

NativeSocket OpenSocket(int type) {
    return ::socket(AF_INET, type | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

NativeSocket AcceptConnection(NativeSocket listener) {
    return ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
}

void CloseSocket(NativeSocket socket) {
    ::close(socket);
}

int PollSockets(PollEntry* entries, unsigned count, int timeoutMs) {
    int n;
    do {
        n = ::poll(entries, count, timeoutMs);
    } while (n < 0 && errno == EINTR);
    return n;
}

int LastSocketError() {
    return errno;
}

bool IsTransientSocketError(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

std::string SocketErrorText(int error) {
    return std::strerror(error);
}

#endif

sockaddr_in LoopbackAddress(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

}  // namespace vintrel::testing
