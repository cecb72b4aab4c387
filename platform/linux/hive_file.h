#pragma once

#include <chrono>
#include <filesystem>
#include <functional>

#include "platform/linux/reg_file.h"
#include "platform/registry.h"

namespace vintrel {

/// One registry file on disk. Readers see either the old or the new file,
/// never a half-written one: every change replaces the file whole (a temporary
/// file in the same folder, flushed, renamed over it, the folder flushed),
/// under an advisory lock on a lock file beside it, and re-reads the file under
/// that lock so that concurrent writers keep each other's values. A file that
/// cannot be read or understood is reported and never replaced; one that is
/// not a regular file or is larger than 1 MiB is not read at all.
class HiveFile {
public:
    /// `lockWait`: how long a change waits for another writer's lock.
    explicit HiveFile(std::filesystem::path path,
                      std::chrono::milliseconds lockWait = registryWriteWait());

    const std::filesystem::path& path() const { return path_; }

    struct Load {
        RegistryResult result;
        RegFile file;  // empty when the file does not exist
    };
    Load load() const;

    /// Reads the file afresh under the lock and lets `change` edit it; writes
    /// it back when `change` returns Ok. The folder is created when missing.
    RegistryResult update(const std::function<RegistryResult(RegFile&)>& change) const;

private:
    std::filesystem::path path_;
    std::chrono::milliseconds lockWait_;
};

}  // namespace vintrel
