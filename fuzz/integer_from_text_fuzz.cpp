#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "timesync/convert_error.h"
#include "timesync/text_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const std::int32_t value = vintrel::IntegerFromText(text);
        // Whatever was accepted as decimal must read back the same.
        if (!text.empty() && text.find_first_of("$xX") == std::string_view::npos) {
            if (vintrel::IntegerFromText(vintrel::IntegerText(value)) != value) __builtin_trap();
        }
    } catch (const vintrel::EConvertError& error) {
        // The message names the text; a NUL in it ends the C string early.
        const std::string message = error.what();
        const bool named = message.rfind("' is not a valid integer value") != std::string::npos;
        if (!named && text.find('\0') == std::string_view::npos) __builtin_trap();
    }
    return 0;
}
