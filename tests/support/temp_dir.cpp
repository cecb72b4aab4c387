#include "tests/support/temp_dir.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace vintrel::testing {
namespace fs = std::filesystem;
namespace {

constexpr unsigned kFileRights[] = {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER};

struct Capabilities {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};

    bool get() { return syscall(SYS_capget, &header, data) == 0; }
    bool set() { return syscall(SYS_capset, &header, data) == 0; }
};

/// Changes only the effective set: the permitted set keeps the rights, so
/// they can be taken up again.
bool SetFileRights(bool effective) {
    Capabilities caps;
    if (!caps.get()) return false;
    bool changed = false;
    for (const unsigned cap : kFileRights) {
        const auto bit = 1u << (cap % 32);
        auto& word = caps.data[cap / 32].effective;
        if (((word & bit) != 0) == effective) continue;
        word = effective ? (word | bit) : (word & ~bit);
        changed = true;
    }
    return changed && caps.set();
}

bool HasAnyFileRight() {
    Capabilities caps;
    if (!caps.get()) return ::geteuid() == 0;
    for (const unsigned cap : kFileRights) {
        if ((caps.data[cap / 32].effective & (1u << (cap % 32))) != 0) return true;
    }
    return false;
}

}  // namespace

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "vintrel-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // A test may have left folders read-only or a file where a folder goes.
    for (fs::recursive_directory_iterator it(path_, ec), end; !ec && it != end; it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(path_, ec);
}

TempConfigHome::TempConfigHome() {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) saved_ = old;
    ::setenv("XDG_CONFIG_HOME", path().c_str(), 1);
}

TempConfigHome::~TempConfigHome() {
    if (saved_) {
        ::setenv("XDG_CONFIG_HOME", saved_->c_str(), 1);
    } else {
        ::unsetenv("XDG_CONFIG_HOME");
    }
}

WithoutFileRights::WithoutFileRights() : dropped_(SetFileRights(false)) {}

bool WithoutFileRights::works() const {
    return !HasAnyFileRight();
}

WithoutFileRights::~WithoutFileRights() {
    if (dropped_) SetFileRights(true);
}

std::string ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFileBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace vintrel::testing
