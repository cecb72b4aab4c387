#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "platform/registry.h"

namespace vintrel {

/// Gives the hive file that holds a root's keys, or an empty path when the
/// root has none on this system (no key there exists or can be created).
using HiveLocator = std::function<std::filesystem::path(RegistryRoot)>;

/// A registry kept in `.reg` files. The locator is asked at every opening of
/// a key, so a changed environment is followed.
std::unique_ptr<Registry> makeHiveRegistry(HiveLocator locator);

/// The per-user hive: $XDG_CONFIG_HOME/vintrel/user.reg, where an unset,
/// empty or relative XDG_CONFIG_HOME stands for ~/.config.
std::filesystem::path userHivePath();

}  // namespace vintrel
