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
        const std::string message = error.what();
        if (message.rfind("' is not a valid integer value") == std::string::npos) __builtin_trap();
    }
    return 0;
}
