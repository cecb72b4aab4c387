#include "platform/linux/hive_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

namespace vintrel {
namespace fs = std::filesystem;
namespace {

// Far more than a few settings ever need; a bigger file is not ours to parse.
constexpr std::size_t kMaxHiveBytes = 1024 * 1024;

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    /// Closes now, so that a failing close (a late write error) is seen.
    bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

private:
    int fd_;
};

RegistryResult Failure(RegistryStatus status, std::string_view what, const fs::path& path,
                       int error) {
    return {status, std::string(what) + " " + path.string() + ": " +
                        std::error_code(error, std::generic_category()).message()};
}

/// What a change must replace: the target of a symbolic link, so that the
/// link stays a link.
fs::path WriteTarget(const fs::path& path) {
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        fs::path target = fs::canonical(path, ec);
        if (!ec) return target;
    }
    return path;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

/// Temporary files that a writer killed half-way left behind; only a holder
/// of the lock writes one, so under the lock every one of them is stale.
void RemoveStaleTemporaries(const fs::path& folder, const std::string& prefix) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().filename().string().starts_with(prefix)) fs::remove(it->path(), ec);
    }
}

RegistryResult ReplaceFile(const fs::path& target, std::string_view bytes) {
    const fs::path folder = target.parent_path();
    const std::string prefix = target.filename().string() + ".tmp-";
    RemoveStaleTemporaries(folder, prefix);

    std::string temp = (folder / (prefix + "XXXXXX")).string();
    Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (!fd.valid()) return Failure(RegistryStatus::AccessDenied, "cannot write in", folder, errno);

    struct stat old {};
    const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0600;
    int error = 0;
    if (::fchmod(fd.get(), mode) != 0 || !WriteAll(fd.get(), bytes) || ::fsync(fd.get()) != 0 ||
        !fd.close() || ::rename(temp.c_str(), target.c_str()) != 0) {
        error = errno;
        ::unlink(temp.c_str());
        return Failure(RegistryStatus::AccessDenied, "cannot replace", target, error);
    }
    // The new file is in place; flushing the folder makes the rename survive a
    // power cut. Where that fails the old file comes back at worst, whole.
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) ::fsync(dir.get());
    return {};
}

/// Why the file is not read at all; empty when it may be.
std::string Refusal(const struct stat& info) {
    if (!S_ISREG(info.st_mode)) return "not a regular file";
    if (info.st_size > static_cast<off_t>(kMaxHiveBytes)) return "larger than 1 MiB";
    return {};
}

/// Waits at most `wait` for the lock. A holder that keeps it longer is another
/// program in the middle of something, or stuck: the change fails rather than
/// stall its caller.
RegistryResult Lock(int fd, const fs::path& lockPath, const fs::path& target,
                    std::chrono::milliseconds wait) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + wait;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) {
            return Failure(RegistryStatus::AccessDenied, "cannot lock", lockPath, errno);
        }
        if (Clock::now() >= deadline) {
            return {RegistryStatus::AccessDenied,
                    target.string() + ": the settings are in use by another program"};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return {};
}

}  // namespace

HiveFile::HiveFile(fs::path path, std::chrono::milliseconds lockWait)
    : path_(std::move(path)), lockWait_(lockWait) {}

HiveFile::Load HiveFile::load() const {
    Load load;
    // Looked at before it is opened: opening a FIFO for reading would wait for
    // a writer, and a huge file would be read whole into memory.
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0) {
        // No file (or no folder for one) is an empty registry.
        if (errno != ENOENT && errno != ENOTDIR) {
            load.result = Failure(RegistryStatus::Unreadable, "cannot read", path_, errno);
        }
        return load;
    }
    if (std::string refused = Refusal(info); !refused.empty()) {
        load.result = {RegistryStatus::Unreadable, path_.string() + ": " + refused};
        return load;
    }
    // Non-blocking, and looked at once more, in case the name was given to
    // something else in between.
    Fd fd(::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.valid()) {
        load.result = Failure(RegistryStatus::Unreadable, "cannot read", path_, errno);
        return load;
    }
    if (::fstat(fd.get(), &info) != 0 || !Refusal(info).empty()) {
        load.result = {RegistryStatus::Unreadable, path_.string() + ": changed while being read"};
        return load;
    }
    std::string bytes;
    char buffer[16384];
    while (bytes.size() <= kMaxHiveBytes) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            load.result = Failure(RegistryStatus::Unreadable, "cannot read", path_, errno);
            return load;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    if (bytes.size() > kMaxHiveBytes) {
        // It grew after it was looked at.
        load.result = {RegistryStatus::Unreadable, path_.string() + ": larger than 1 MiB"};
        return load;
    }
    RegFileParse parsed = ParseRegFile(bytes);
    if (!parsed.ok()) {
        load.result = {RegistryStatus::Unreadable, path_.string() + ", " + parsed.error};
        return load;
    }
    load.file = std::move(parsed.file);
    return load;
}

RegistryResult HiveFile::update(const std::function<RegistryResult(RegFile&)>& change) const {
    const fs::path target = WriteTarget(path_);
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    if (ec) {
        return Failure(RegistryStatus::AccessDenied, "cannot create the folder",
                       target.parent_path(), ec.value());
    }
    const fs::path lockPath = fs::path(target).concat(".lock");
    Fd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600));
    if (!lock.valid()) return Failure(RegistryStatus::AccessDenied, "cannot lock", lockPath, errno);
    if (RegistryResult locked = Lock(lock.get(), lockPath, target, lockWait_); !locked.ok()) {
        return locked;
    }
    // Another writer may have changed the file since it was last read.
    Load current = HiveFile(target, lockWait_).load();
    if (!current.result.ok()) return current.result;
    if (RegistryResult result = change(current.file); !result.ok()) return result;
    return ReplaceFile(target, SerializeRegFile(current.file));
}

}  // namespace vintrel
