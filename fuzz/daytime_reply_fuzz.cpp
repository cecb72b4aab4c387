#include <cstddef>
#include <cstdint>
#include <string_view>

#include "timesync/daytime_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    const vintrel::SerialTime value = vintrel::ParseDaytimeReply(reply);
    // A refused reply is 0; an accepted one always lies in the year window.
    if (value != 0 && (value < 29221.0 || value >= 51502.0)) __builtin_trap();
    // A digit, and an advance under a second that was read or is 0.
    const vintrel::NistLineStatus status = vintrel::ReadNistLineStatus(reply);
    if (status.health < 0 || status.health > 9) __builtin_trap();
    if (status.advance < 0 || status.advance >= 1 || (!status.advanceRead && status.advance != 0)) {
        __builtin_trap();
    }
    return 0;
}
