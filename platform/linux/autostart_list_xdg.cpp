#include "platform/linux/autostart_list_xdg.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/linux/desktop_entry_text.h"

namespace vintrel {
namespace {

constexpr std::string_view kListPrefix = "Software\\Microsoft\\Windows\\CurrentVersion\\";

// Deletes its own entry file ($0) before it starts the program ($1), so the
// entry runs at one logon only, as a RunOnce entry does.
constexpr std::string_view kRunOnceScript = R"(rm -f -- "$0"; exec "$1")";
// Starts the program ($0) for an entry whose Exec cannot name it first.
constexpr std::string_view kStartScript = R"(exec "$0")";

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// Whether the key path names a run-once list; nothing for a list that has no
// counterpart here (the service lists, or any other key).
std::optional<bool> IsRunOnceList(std::string_view keyPath) {
    if (keyPath.size() < kListPrefix.size() ||
        !SameTextIgnoringCase(keyPath.substr(0, kListPrefix.size()), kListPrefix)) {
        return std::nullopt;
    }
    const std::string_view list = keyPath.substr(kListPrefix.size());
    if (SameTextIgnoringCase(list, "Run")) return false;
    if (SameTextIgnoringCase(list, "RunOnce")) return true;
    return std::nullopt;
}

std::string ErrorText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

AutoStartResult Failed(std::string reason) {
    return {false, std::move(reason)};
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

// Relative folders in the XDG variables are to be ignored.
std::string AbsoluteOrEmpty(const char* path) {
    return path != nullptr && path[0] == '/' ? path : "";
}

std::string FirstAbsoluteFolder(std::string_view list) {
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        const std::string_view folder = list.substr(0, colon);
        if (!folder.empty() && folder.front() == '/') return std::string(folder);
        if (colon == std::string_view::npos) break;
        list.remove_prefix(colon + 1);
    }
    return {};
}

std::string HomeFolder(const EnvironmentLookup& environment) {
    std::string home = AbsoluteOrEmpty(environment("HOME"));
    if (!home.empty()) return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr) {
        return {};
    }
    return AbsoluteOrEmpty(found->pw_dir);
}

// Creates the folder and any missing parents with `mode`.
AutoStartResult MakeFolder(const std::string& folder, mode_t mode) {
    if (IsFolder(folder)) return {true, {}};
    int error = 0;
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), mode) != 0 && errno != EEXIST) error = errno;
        if (slash == std::string::npos) break;
    }
    if (IsFolder(folder)) return {true, {}};
    if (Exists(folder)) return Failed(folder + " is not a folder");
    return Failed("the folder " + folder + " could not be created (" + ErrorText(error) + ")");
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { close(); }
    int get() const { return fd_; }
    // The result of the last close, which is where some file systems report write errors.
    bool close() {
        const int fd = std::exchange(fd_, -1);
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = EIO;
        if (n <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Writes through a temporary file in the same folder and renames it over the
// target, so a reader at logon sees the old entry or the new one, never a part.
// Launchers skip the temporary file, whose name does not end in ".desktop".
// Returns 0 or the error number of the step that failed.
int WriteFileAtomically(const std::string& folder, const std::string& path, std::string_view text) {
    std::string temp = folder + "/.vintrel-XXXXXX";
    FileDescriptor fd(mkostemp(temp.data(), O_CLOEXEC));
    if (fd.get() < 0) return errno;
    if (fchmod(fd.get(), 0644) != 0 || !WriteAll(fd.get(), text) || fsync(fd.get()) != 0 ||
        !fd.close() || rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        unlink(temp.c_str());
        return error;
    }
    // Makes the rename itself durable; the entry is in place whatever this says.
    FileDescriptor dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) fsync(dir.get());
    return 0;
}

// Walks `program` as the kernel would, link by link, and names the first
// place where someone other than root could change what it starts: an object
// that is not root's, a folder others may write (unless it is sticky and the
// entry in it is root's, so nobody else may rename or delete it) or a program
// file others may write. Empty when only root can change it.
std::string ReplaceableByOthers(const std::string& program) {
    if (program.empty() || program.front() != '/') {
        return "the program path " + program + " is not absolute";
    }
    const auto problem = [](const std::string& path, const struct stat& info) -> std::string {
        const std::string consequence =
            ", so a machine-wide entry would start at every user's "
            "logon whatever that user puts there";
        if (info.st_uid != 0) {
            return path + " belongs to user " + std::to_string(info.st_uid) + consequence;
        }
        return path + " can be written by users other than root" + consequence;
    };
    // The components still to walk, the next one last.
    std::vector<std::string> pending;
    const auto push = [&pending](std::string_view path) {
        std::vector<std::string> parts;
        while (!path.empty()) {
            const std::size_t slash = path.find('/');
            const std::string_view part = path.substr(0, slash);
            if (!part.empty() && part != ".") parts.emplace_back(part);
            if (slash == std::string_view::npos) break;
            path.remove_prefix(slash + 1);
        }
        pending.insert(pending.end(), parts.rbegin(), parts.rend());
    };
    push(program);
    std::string folder = "/";
    struct stat folderInfo {};
    if (lstat("/", &folderInfo) != 0) return "the root folder cannot be examined";
    int links = 0;
    while (!pending.empty()) {
        const std::string name = std::move(pending.back());
        pending.pop_back();
        if (name == "..") {
            folder = folder.substr(0, std::max<std::size_t>(folder.rfind('/'), 1));
            if (lstat(folder.c_str(), &folderInfo) != 0) {
                return folder + " cannot be examined (" + ErrorText(errno) + ")";
            }
            continue;
        }
        const std::string path = (folder == "/" ? "" : folder) + "/" + name;
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0) {
            return path + " cannot be examined (" + ErrorText(errno) + ")";
        }
        const bool othersMayWrite = (folderInfo.st_mode & (S_IWGRP | S_IWOTH)) != 0;
        const bool stickyGuards = (folderInfo.st_mode & S_ISVTX) != 0 && info.st_uid == 0;
        if (folderInfo.st_uid != 0 || (othersMayWrite && !stickyGuards)) {
            return problem(folder, folderInfo);
        }
        if (S_ISLNK(info.st_mode)) {
            if (++links > 40) return path + " goes through too many symbolic links";
            std::vector<char> target(static_cast<std::size_t>(PATH_MAX) + 1);
            const ssize_t length = readlink(path.c_str(), target.data(), target.size() - 1);
            if (length < 0) return path + " cannot be examined (" + ErrorText(errno) + ")";
            const std::string_view to(target.data(), static_cast<std::size_t>(length));
            if (!to.empty() && to.front() == '/') {
                folder = "/";
                if (lstat("/", &folderInfo) != 0) return "the root folder cannot be examined";
            }
            push(to);
            continue;
        }
        if (pending.empty()) {
            if (!S_ISREG(info.st_mode)) return path + " is not a program file";
            if (info.st_uid != 0 || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
                return problem(path, info);
            }
            return {};
        }
        if (!S_ISDIR(info.st_mode)) return path + " is not a folder";
        folder = path;
        folderInfo = info;
    }
    return program + " names no program file";
}

std::string NameProblem(std::string_view name) {
    if (name.empty()) return "the entry has no name";
    if (name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) {
        return "the entry name \"" + std::string(name) + "\" cannot name a file";
    }
    return {};
}

class XdgAutoStartList final : public AutoStartList {
public:
    XdgAutoStartList(std::string folder, bool runOnce, bool machineWide)
        : folder_(std::move(folder)), runOnce_(runOnce), machineWide_(machineWide) {}

    bool exists(std::string_view name) const override {
        return NameProblem(name).empty() && Exists(PathOf(name));
    }

    AutoStartResult write(std::string_view name, std::string_view value) override {
        if (std::string problem = NameProblem(name); !problem.empty()) return Failed(problem);
        const std::string path = PathOf(name);
        for (const std::string_view text : {name, value, std::string_view(path)}) {
            if (std::string problem = DesktopValueProblem(text); !problem.empty()) {
                return Failed("a desktop entry cannot hold the path: " + problem);
            }
        }
        if (machineWide_) {
            if (std::string problem = ReplaceableByOthers(std::string(value)); !problem.empty()) {
                return Failed(problem);
            }
        }
        const int error = WriteFileAtomically(folder_, path, EntryText(name, value, path));
        if (error != 0) {
            return Failed("the file " + path + " could not be written (" + ErrorText(error) + ")");
        }
        return {true, {}};
    }

    AutoStartResult remove(std::string_view name) override {
        if (std::string problem = NameProblem(name); !problem.empty()) return Failed(problem);
        const std::string path = PathOf(name);
        if (unlink(path.c_str()) != 0) {
            const int error = errno;
            return Failed("the file " + path + " could not be deleted (" + ErrorText(error) + ")");
        }
        return {true, {}};
    }

private:
    std::string PathOf(std::string_view name) const {
        return folder_ + "/" + std::string(name) + ".desktop";
    }

    std::string EntryText(std::string_view name, std::string_view program,
                          const std::string& path) const {
        // GLib and KDE look the first word of Exec up before they undo "%%",
        // so a program path with "%" never starts unless another program
        // comes first. That is /bin/sh, not env: env would take a path
        // holding "=" for a variable to set.
        std::string exec;
        if (runOnce_) {
            exec = "/bin/sh -c " + QuoteExecArgument(kRunOnceScript) + " " +
                   QuoteExecArgument(path) + " " + QuoteExecArgument(program);
        } else if (program.find('%') != std::string_view::npos) {
            exec =
                "/bin/sh -c " + QuoteExecArgument(kStartScript) + " " + QuoteExecArgument(program);
        } else {
            exec = QuoteExecArgument(program);
        }
        return "# Written by Vintrel: starts this program when you log on.\n"
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=" +
               EscapeDesktopValue(name) + "\nExec=" + EscapeDesktopValue(exec) +
               "\nX-Vintrel-List=" + (runOnce_ ? "RunOnce" : "Run") + "\n";
    }

    std::string folder_;
    bool runOnce_;
    bool machineWide_;
};

}  // namespace

std::string XdgAutoStartFolder(AutoStartRoot root, const EnvironmentLookup& environment) {
    if (root == AutoStartRoot::Machine) {
        const char* dirs = environment("XDG_CONFIG_DIRS");
        std::string first = FirstAbsoluteFolder(dirs != nullptr ? dirs : "");
        return (first.empty() ? "/etc/xdg" : first) + "/autostart";
    }
    std::string config = AbsoluteOrEmpty(environment("XDG_CONFIG_HOME"));
    if (config.empty()) {
        const std::string home = HomeFolder(environment);
        if (home.empty()) return {};
        config = home + "/.config";
    }
    return config + "/autostart";
}

XdgAutoStartLists::XdgAutoStartLists(EnvironmentLookup environment)
    : environment_(environment ? std::move(environment) : [](const char* name) -> const char* {
          return std::getenv(name);
      }) {}

AutoStartLists::Opened XdgAutoStartLists::open(const AutoStartLocation& location,
                                               AutoStartOpen mode) {
    const std::optional<bool> runOnce = IsRunOnceList(location.keyPath);
    if (!runOnce) return {nullptr, "this system has no auto-start list " + location.keyPath};
    const std::string folder = XdgAutoStartFolder(location.root, environment_);
    if (folder.empty()) return {nullptr, "there is no home folder to hold the autostart folder"};
    if (mode == AutoStartOpen::CreateIfMissing) {
        // Other users must read the machine-wide entries; a user's own stay private.
        AutoStartResult made =
            MakeFolder(folder, location.root == AutoStartRoot::Machine ? 0755 : 0700);
        if (!made.ok) return {nullptr, std::move(made.reason)};
    } else if (!IsFolder(folder)) {
        return {nullptr, "there is no folder " + folder};
    }
    return {std::make_unique<XdgAutoStartList>(folder, *runOnce,
                                               location.root == AutoStartRoot::Machine),
            {}};
}

AutoStartLists& realAutoStartLists() {
    static XdgAutoStartLists lists;
    return lists;
}

}  // namespace vintrel
