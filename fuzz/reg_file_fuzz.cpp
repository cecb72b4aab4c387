#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/linux/reg_file.h"

namespace {

constexpr std::string_view kKey = "HKEY_CURRENT_USER\\SOFTWARE\\Kavrin\\Proxy";

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vintrel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    RegFileParse parsed = ParseRegFile(bytes);
    if (!parsed.ok()) return 0;

    // A file read and written back unchanged reads the same.
    const RegFileParse again = ParseRegFile(SerializeRegFile(parsed.file));
    Check(again.ok());
    Check(again.file.sections.size() == parsed.file.sections.size());

    // Every value written anew reads back as it was.
    for (const RegFileSection& section : parsed.file.sections) {
        for (const RegFileItem& item : section.items) {
            if (!item.value || !IsStorableName(item.value->name)) continue;
            RegFile fresh;
            SetRegValue(fresh, kKey, item.value->name, item.value->value);
            const RegFileParse reread = ParseRegFile(SerializeRegFile(fresh));
            Check(reread.ok());
            const RegistryValue* value = FindRegValue(reread.file, kKey, item.value->name);
            Check(value != nullptr && *value == item.value->value);
        }
    }

    // Changing the file keeps it readable and holds the change.
    SetRegValue(parsed.file, kKey, "Address", {RegistryValueType::String, "proxy \"x\" \\"});
    const RegFileParse changed = ParseRegFile(SerializeRegFile(parsed.file));
    Check(changed.ok());
    const RegistryValue* address = FindRegValue(changed.file, kKey, "Address");
    Check(address != nullptr && address->data == "proxy \"x\" \\");
    return 0;
}
