#include "tests/support/packaged_proxy.h"
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
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace vintrel::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

constexpr auto kStartLimit = std::chrono::seconds(20);
constexpr auto kStopLimit = std::chrono::seconds(5);
constexpr milliseconds kPollPause{20};

struct Program {
    const char* executable;
    const char* packagedConfig;
    std::uint16_t port;  // the packaged one; the test's network is its own
};

Program ProgramOf(ProxyProgram program) {
    switch (program) {
        case ProxyProgram::Squid:
            return {"/usr/sbin/squid", "/etc/squid/squid.conf", 3128};
        case ProxyProgram::Tinyproxy:
            return {"/usr/bin/tinyproxy", "/etc/tinyproxy/tinyproxy.conf", 8888};
        case ProxyProgram::Privoxy:
            return {"/usr/sbin/privoxy", "/etc/privoxy/config", 8118};
    }
    return {};
}

std::vector<std::string> Lines(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void WriteLines(const fs::path& file, const std::vector<std::string>& lines) {
    std::ofstream out(file);
    for (const std::string& line : lines) out << line << '\n';
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The acl line an added squid acl goes after: the packaged one of its name.
std::string AclAnchor(const std::string& extraLine) {
    std::istringstream words(extraLine);
    std::string acl, name;
    words >> acl >> name;
    return "acl " + name + " port ";
}

std::vector<std::string> SquidConfig(const fs::path& dir, const std::string& extraLine) {
    std::vector<std::string> lines;
    bool added = extraLine.empty();
    for (const std::string& line : Lines("/etc/squid/squid.conf")) {
        lines.push_back(line == "http_port 3128" ? "http_port 127.0.0.1:3128" : line);
        if (!added && StartsWith(line, AclAnchor(extraLine))) {
            lines.push_back(extraLine);
            added = true;
        }
    }
    lines.push_back("pid_filename " + (dir / "squid.pid").string());
    lines.push_back("access_log stdio:" + (dir / "access.log").string());
    lines.push_back("cache_log " + (dir / "cache.log").string());
    return lines;
}

std::vector<std::string> TinyproxyConfig(const fs::path& dir, const std::string& extraLine) {
    std::vector<std::string> lines;
    for (const std::string& line : Lines("/etc/tinyproxy/tinyproxy.conf")) {
        if (StartsWith(line, "PidFile ")) {
            lines.push_back("PidFile \"" + (dir / "tinyproxy.pid").string() + "\"");
        } else if (StartsWith(line, "LogFile ")) {
            lines.push_back("LogFile \"" + (dir / "tinyproxy.log").string() + "\"");
        } else {
            lines.push_back(line);
        }
    }
    lines.push_back("Listen 127.0.0.1");
    if (!extraLine.empty()) lines.push_back(extraLine);
    return lines;
}

// privoxy reads its actions files from its configuration folder, so the
// packaged folder is copied whole and only user.action gets the extra line.
std::vector<std::string> PrivoxyConfig(const fs::path& dir, const std::string& extraLine) {
    fs::copy("/etc/privoxy", dir, fs::copy_options::recursive | fs::copy_options::skip_existing);
    if (!extraLine.empty()) {
        std::vector<std::string> actions = Lines(dir / "user.action");
        actions.push_back(extraLine);
        actions.push_back("/");
        WriteLines(dir / "user.action", actions);
    }
    std::vector<std::string> lines;
    for (const std::string& line : Lines("/etc/privoxy/config")) {
        if (StartsWith(line, "confdir ")) {
            lines.push_back("confdir " + dir.string());
        } else if (StartsWith(line, "logdir ")) {
            lines.push_back("logdir " + dir.string());
        } else if (StartsWith(line, "listen-address")) {
            if (line.find("127.0.0.1:") != std::string::npos) lines.push_back(line);
        } else {
            lines.push_back(line);
        }
    }
    return lines;
}

std::vector<pid_t> ChildrenOf(pid_t parent) {
    std::vector<pid_t> children;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        // "pid (comm) state ppid ...": the name may hold blanks, not ')'s after it.
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 1));
        std::string state;
        pid_t ppid = 0;
        rest >> state >> ppid;
        if (ppid == parent) children.push_back(static_cast<pid_t>(std::stol(name)));
    }
    return children;
}

}  // namespace

std::string PackagedProxy::unavailableReason(ProxyProgram program) {
    const Program p = ProgramOf(program);
    if (::access(p.executable, X_OK) != 0 || ::access(p.packagedConfig, R_OK) != 0) {
        return std::string(p.executable) + " or " + p.packagedConfig +
               " is missing (Debian packages squid, tinyproxy, privoxy; scripts/setup installs "
               "them)";
    }
    return {};
}

PackagedProxy::PackagedProxy(ProxyProgram program, const std::string& extraLine)
    : program_(program), port_(ProgramOf(program).port) {
    failure_ = unavailableReason(program);
    if (!failure_.empty()) return;
    std::string pattern = (fs::temp_directory_path() / "vintrel-proxy-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        failure_ = "cannot create a temporary folder";
        return;
    }
    dir_ = pattern;
    // The proxies drop root for their own users, who must still write here.
    fs::permissions(dir_, fs::perms::all);
    writeConfig(extraLine);
    start();
}

PackagedProxy::~PackagedProxy() {
    stop();
    std::error_code ignored;
    if (!dir_.empty()) fs::remove_all(dir_, ignored);
}

void PackagedProxy::writeConfig(const std::string& extraLine) {
    switch (program_) {
        case ProxyProgram::Squid:
            config_ = dir_ / "squid.conf";
            WriteLines(config_, SquidConfig(dir_, extraLine));
            break;
        case ProxyProgram::Tinyproxy:
            config_ = dir_ / "tinyproxy.conf";
            WriteLines(config_, TinyproxyConfig(dir_, extraLine));
            break;
        case ProxyProgram::Privoxy:
            config_ = dir_ / "privoxy.conf";
            WriteLines(config_, PrivoxyConfig(dir_, extraLine));
            break;
    }
}

void PackagedProxy::start() {
    const std::string executable = ProgramOf(program_).executable;
    // Each stays in the foreground, so it is our child and stops with us.
    std::vector<std::string> args;
    switch (program_) {
        case ProxyProgram::Squid:
            args = {executable, "-N", "-f", config_.string()};
            break;
        case ProxyProgram::Tinyproxy:
            args = {executable, "-d", "-c", config_.string()};
            break;
        case ProxyProgram::Privoxy:
            args = {executable, "--no-daemon", config_.string()};
            break;
    }
    const fs::path output = dir_ / "output.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0666);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid_, executable.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        pid_ = -1;
        failure_ = "cannot start " + executable;
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            break;
        }
        if (LoopbackAccepts(port_)) return;
        std::this_thread::sleep_for(kPollPause);
    }
    stop();
    std::ifstream log(output);
    std::ostringstream text;
    text << log.rdbuf();
    failure_ = executable + " did not start listening on port " + std::to_string(port_) + ": " +
               text.str();
}

void PackagedProxy::stop() {
    if (pid_ <= 0) return;
    // squid's pinger starts a session of its own and can outlive a squid
    // that is stopped early, so the proxy's children are ended by their ids.
    const std::vector<pid_t> helpers = ChildrenOf(pid_);
    // squid ends at once on SIGINT; on SIGTERM it waits for its clients.
    EndChild(pid_, program_ == ProxyProgram::Squid ? SIGINT : SIGTERM, kStopLimit);
    for (const pid_t helper : helpers) ::kill(helper, SIGKILL);
    pid_ = -1;
}

}  // namespace vintrel::testing
