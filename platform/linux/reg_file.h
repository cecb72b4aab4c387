#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace vintrel {

// The Windows registry export format ("Windows Registry Editor Version 5.00")
// as the Linux registry stores its hives, so that a user can read and edit the
// file and carry it to and from a Windows registry export. Reading keeps every
// line as it was read; only values that are changed are written anew, so
// comments, other keys and the file's encoding survive a change.

inline constexpr std::string_view kRegFileHeader = "Windows Registry Editor Version 5.00";

enum class RegFileEncoding {
    Utf8,
    Utf8Bom,
    Utf16Le,  // with its byte-order mark, as regedit writes exports
};

struct RegFileValue {
    std::string name;  // "" is the key's default value, written "@"
    RegistryValue value;
};

/// One logical line of a section: a value (with the physical lines it was read
/// from, continuations included), or a comment or blank line.
struct RegFileItem {
    std::vector<std::string> lines;
    std::optional<RegFileValue> value;
};

struct RegFileSection {
    std::string header;  // the line as read: "[HKEY_CURRENT_USER\SOFTWARE\Kavrin\Proxy]"
    std::string path;    // "HKEY_CURRENT_USER\SOFTWARE\Kavrin\Proxy"
    std::vector<RegFileItem> items;
};

struct RegFile {
    // A new file takes the form regedit writes, the one every regedit imports
    // intact (Wine's garbles UTF-8 and refuses it with a byte-order mark).
    RegFileEncoding encoding = RegFileEncoding::Utf16Le;
    bool crlf = true;
    /// The header line and whatever stands before the first section.
    std::vector<std::string> preamble{std::string(kRegFileHeader), ""};
    std::vector<RegFileSection> sections;
};

struct RegFileParse {
    RegFile file;
    /// Why the text is not a registry file ("line 4: ..."); empty when it is.
    std::string error;

    bool ok() const { return error.empty(); }
};

/// Reads a whole file: UTF-8 with or without a byte-order mark or UTF-16LE
/// with one, LF or CRLF line ends. An empty file is an empty registry in the
/// form of a new one.
RegFileParse ParseRegFile(std::string_view bytes);

/// The file's bytes in the encoding and line ends it was read with.
std::string SerializeRegFile(const RegFile& file);

/// The lines regedit writes for one value: `"Name"="text"` (line breaks as
/// `\n` and `\r`), `dword:`, `hex:`, `hex(n):` wrapped with `\` continuations.
/// A string with a zero character, which no quoted text can hold, is written
/// as `hex(1):`.
std::vector<std::string> FormatRegValue(std::string_view name, const RegistryValue& value);

/// Whether `text` can name a value or a key part in the file.
bool IsStorableName(std::string_view text);

// Keys are full paths starting with the root's name
// ("HKEY_CURRENT_USER\SOFTWARE\Kavrin\Proxy"); keys and value names compare
// without regard to ASCII case. When a key or value stands more than once,
// the last one counts, as when Windows imports the file.

/// A key exists when it or a key below it has a section.
bool RegKeyExists(const RegFile& file, std::string_view key);
/// Adds an empty section for the key unless it exists.
void AddRegKey(RegFile& file, std::string_view key);
const RegistryValue* FindRegValue(const RegFile& file, std::string_view key, std::string_view name);
/// Sets the value, creating the key's section when it has none.
void SetRegValue(RegFile& file, std::string_view key, std::string_view name,
                 const RegistryValue& value);
/// Removes every copy of the value; false when there was none.
bool DeleteRegValue(RegFile& file, std::string_view key, std::string_view name);

}  // namespace vintrel
