#include "tests/support/tinyproxy.h"
#include "tests/support/child_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace vintrel::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

constexpr int kStartAttempts = 3;
constexpr auto kStartLimit = std::chrono::seconds(10);
constexpr auto kStopLimit = std::chrono::seconds(3);
constexpr milliseconds kPollPause{10};

fs::path Executable() {
    std::vector<fs::path> folders;
    if (const char* path = std::getenv("PATH")) {
        std::stringstream list(path);
        for (std::string folder; std::getline(list, folder, ':');) {
            if (!folder.empty()) folders.emplace_back(folder);
        }
    }
    folders.emplace_back("/usr/sbin");
    folders.emplace_back("/usr/bin");
    for (const fs::path& folder : folders) {
        const fs::path candidate = folder / "tinyproxy";
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

sockaddr_in Loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port that was free a moment ago; another program may take it before the
// proxy does, which start() survives by trying again.
std::uint16_t FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    std::uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteConfig(const fs::path& file, const fs::path& log, std::uint16_t port,
                 const std::vector<std::uint16_t>& connectPorts) {
    std::ofstream out(file);
    out << "Port " << port << "\n"
        << "Listen 127.0.0.1\n"
        << "Timeout 30\n"
        << "MaxClients 20\n"
        << "Allow 127.0.0.1\n"
        << "LogFile \"" << log.string() << "\"\n"
        << "LogLevel Info\n";
    // Without any ConnectPort line tinyproxy would tunnel to every port.
    if (connectPorts.empty()) out << "ConnectPort 443\n";
    for (std::uint16_t allowed : connectPorts) out << "ConnectPort " << allowed << "\n";
}

}  // namespace

std::string Tinyproxy::unavailableReason() {
    if (Executable().empty()) {
        return "tinyproxy is not installed (Debian package tinyproxy; scripts/setup installs it)";
    }
    return {};
}

Tinyproxy::Tinyproxy(std::vector<std::uint16_t> connectPorts) {
    failure_ = unavailableReason();
    if (!failure_.empty()) return;
    std::string pattern = (fs::temp_directory_path() / "vintrel-tinyproxy-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        failure_ = "cannot create a temporary folder for tinyproxy";
        return;
    }
    dir_ = pattern;
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        if (start(connectPorts)) return;
    }
}

Tinyproxy::~Tinyproxy() {
    stop();
    std::error_code ignored;
    if (!dir_.empty()) fs::remove_all(dir_, ignored);
}

std::string Tinyproxy::url() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

std::string Tinyproxy::log() const {
    return ReadFile(dir_ / "tinyproxy.log");
}

int Tinyproxy::tunnelRequestsTo(std::uint16_t port) const {
    const std::string log = this->log();
    const std::string request = "CONNECT 127.0.0.1:" + std::to_string(port) + " ";
    int count = 0;
    for (auto at = log.find(request); at != std::string::npos; at = log.find(request, at + 1)) {
        ++count;
    }
    return count;
}

bool Tinyproxy::start(const std::vector<std::uint16_t>& connectPorts) {
    port_ = FreePort();
    const fs::path config = dir_ / "tinyproxy.conf";
    const fs::path output = dir_ / "output.txt";
    WriteConfig(config, dir_ / "tinyproxy.log", port_, connectPorts);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    const std::string program = Executable().string();
    // -d keeps it in the foreground, so it is our child and stops with us.
    std::vector<std::string> args = {program, "-d", "-c", config.string()};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        pid_ = -1;
        failure_ = "cannot start " + program;
        return false;
    }
    if (waitUntilListening()) {
        failure_.clear();
        return true;
    }
    stop();
    failure_ = "tinyproxy did not start listening on port " + std::to_string(port_) + ": " +
               ReadFile(output);
    return false;
}

bool Tinyproxy::waitUntilListening() {
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        if (LoopbackAccepts(port_)) return true;
        std::this_thread::sleep_for(kPollPause);
    }
    return false;
}

void Tinyproxy::stop() {
    if (pid_ <= 0) return;
    EndChild(pid_, SIGTERM, kStopLimit);
    pid_ = -1;
}

}  // namespace vintrel::testing
