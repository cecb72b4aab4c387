#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vintrel::testing {

/// A fresh folder under the system's temporary folder, removed with all it
/// holds when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

/// Points XDG_CONFIG_HOME at a fresh temporary folder for its lifetime, so no
/// test touches the real settings.
class TempConfigHome {
public:
    TempConfigHome();
    ~TempConfigHome();
    TempConfigHome(const TempConfigHome&) = delete;
    TempConfigHome& operator=(const TempConfigHome&) = delete;

    const std::filesystem::path& path() const { return dir_.path(); }
    /// Where the per-user registry file lies under it.
    std::filesystem::path hivePath() const { return path() / "vintrel" / "user.reg"; }

private:
    TempDir dir_;
    std::optional<std::string> saved_;
};

/// While alive, the process lacks the capabilities that let root pass over
/// file permissions, so a read-only folder or an unreadable file stops root
/// as it stops a user. Tests run as root here; as a user it changes nothing.
class WithoutFileRights {
public:
    WithoutFileRights();
    ~WithoutFileRights();
    WithoutFileRights(const WithoutFileRights&) = delete;
    WithoutFileRights& operator=(const WithoutFileRights&) = delete;

    /// False where the process is root and cannot give the rights up.
    bool works() const;

private:
    bool dropped_ = false;
};

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace vintrel::testing
