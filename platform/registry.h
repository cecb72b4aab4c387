#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vintrel {

/// The registry trees a key path starts from.
enum class RegistryRoot {
    CurrentUser,   // HKEY_CURRENT_USER
    LocalMachine,  // HKEY_LOCAL_MACHINE
};

/// The name a root carries in exports and key texts ("HKEY_CURRENT_USER").
std::string_view RegistryRootName(RegistryRoot root);

/// Value types, numbered as the Windows registry numbers them; any other number
/// may occur in a stored value and is kept as it is.
enum class RegistryValueType : std::uint32_t {
    None = 0,
    String = 1,        // REG_SZ
    ExpandString = 2,  // REG_EXPAND_SZ, kept unexpanded
    Binary = 3,
    Dword = 4,  // little-endian
    DwordBigEndian = 5,
    Link = 6,
    MultiString = 7,
    Qword = 11,
};

struct RegistryValue {
    RegistryValueType type = RegistryValueType::None;
    /// String and ExpandString: the text in the program's 8-bit encoding (UTF-8
    /// on Linux) without a terminating zero. Every other type: the raw bytes.
    std::string data;

    friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

enum class RegistryStatus {
    Ok,
    /// The key or value does not exist.
    NotFound,
    /// The key or value exists but cannot be changed or created (rights,
    /// read-only storage, a folder that cannot be made).
    AccessDenied,
    /// The stored registry cannot be read or understood; it is left as it is.
    Unreadable,
    /// A key path or value name the registry cannot hold.
    InvalidName,
};

struct RegistryResult {
    RegistryStatus status = RegistryStatus::Ok;
    /// Why the call failed, in words a user can read; empty on success.
    std::string reason;

    bool ok() const { return status == RegistryStatus::Ok; }
};

/// An open key. Every call reaches the stored registry afresh; destroying the
/// object closes the key.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;

    /// Type and data of the value `name` ("" is the key's default value);
    /// NotFound when it is absent.
    virtual RegistryResult queryValue(std::string_view name, RegistryValue& value) = 0;
    /// Whether the value `name` exists, whatever its type.
    virtual bool valueExists(std::string_view name) = 0;
    /// Stores `text` as a string value (REG_SZ), replacing any value of that name.
    virtual RegistryResult setString(std::string_view name, std::string_view text) = 0;
    /// Stores several string values together. Where the registry can, readers
    /// see all of them changed or none; elsewhere they are set in order and the
    /// first failure stops the rest.
    virtual RegistryResult setStrings(
        const std::vector<std::pair<std::string, std::string>>& values);
    /// Removes the value `name`; NotFound when there is none.
    virtual RegistryResult deleteValue(std::string_view name) = 0;
};

struct RegistryKeyResult {
    /// The open key; null unless `result` is Ok.
    std::unique_ptr<RegistryKey> key;
    RegistryResult result;
};

/// The system registry. Key paths are relative to the root, their parts
/// separated by "\"; a leading or trailing "\" is ignored, and names compare
/// without regard to ASCII case.
class Registry {
public:
    virtual ~Registry() = default;

    /// Opens an existing key with full access; NotFound when it is missing.
    virtual RegistryKeyResult openKey(RegistryRoot root, std::string_view path) = 0;
    /// Opens the key with full access, creating it (and its parents) when missing.
    virtual RegistryKeyResult createKey(RegistryRoot root, std::string_view path) = 0;
};

/// The registry in use: the operating system's, unless a test installed another.
Registry& registry();

/// Makes `registry` the one in use until the next call; nullptr restores the
/// operating system's. The caller keeps ownership.
void installRegistry(Registry* registry);

/// The operating system's registry.
Registry& systemRegistry();

/// How long a change waits while another program is changing the stored
/// registry before it fails as AccessDenied. Short by default, so that a
/// window never stalls on it; a command-line tool may wait longer. The
/// Windows registry serialises changes itself and does not wait on this.
void setRegistryWriteWait(std::chrono::milliseconds wait);
std::chrono::milliseconds registryWriteWait();

}  // namespace vintrel
