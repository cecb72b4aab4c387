#include "timesync/daytime_reply.h"

#include <array>
#include <cstdint>

#include "platform/system_clock.h"
#include "timesync/text_format.h"

namespace vintrel {
namespace {

// A NIST line reads "JJJJJ YR-MO-DA HH:MM:SS ...": the first hyphen follows the
// year, so the line starts eight characters before it and each field sits at a
// fixed place from there.
constexpr std::array<int, 6> kFieldStarts = {7, 10, 13, 16, 19, 22};

// Reads the fields in order; the first one that is not a number ends the
// reading and leaves it and the rest at 0.
std::array<int, 6> ReadFields(std::string_view line) {
    std::array<int, 6> fields{};
    for (std::size_t i = 0; i < kFieldStarts.size(); ++i) {
        try {
            fields[i] = IntegerFromText(Substring(line, kFieldStarts[i], 2));
        } catch (const EConvertError&) {
            break;
        }
    }
    return fields;
}

bool WithinWindow(int year, const std::array<int, 6>& f) {
    return year >= 1980 && year <= 2040 && f[1] <= 12 && f[2] <= 31 && f[3] <= 24 && f[4] <= 60 &&
           f[5] <= 60;
}

}  // namespace

SerialTime ParseDaytimeReply(std::string_view reply) noexcept {
    try {
        if (PositionOf("NIST", UpperCaseAscii(reply)) == 0) return 0;
        const std::size_t p = PositionOf("-", reply);
        if (p == 0) return 0;
        if (p + 3 > reply.size() || reply[p + 3 - 1] != '-') return 0;
        const std::string line = Substring(reply, static_cast<std::int64_t>(p) - 8, 255);
        const std::array<int, 6> f = ReadFields(line);
        const int year = f[0] + 2000;
        if (!WithinWindow(year, f)) return 0;
        // Word-sized arguments, as the date and time conversions take them: a
        // negative field wraps around and is refused there.
        auto word = [](int v) { return static_cast<std::uint16_t>(v); };
        return DateFromParts(word(year), word(f[1]), word(f[2])) +
               TimeFromParts(word(f[3]), word(f[4]), word(f[5]), 0);
    } catch (...) {
        return 0;
    }
}

std::string UnusableReplyReason(std::string_view reply) {
    if (reply.empty()) return "it is empty";
    if (PositionOf("NIST", UpperCaseAscii(reply)) == 0) {
        return "it is not a NIST time code (it does not say \"UTC(NIST)\"; another kind of "
               "daytime service, perhaps)";
    }
    return "it is not a NIST time code of the form \"JJJJJ YY-MM-DD HH:MM:SS\" with a year from "
           "1980 to 2040";
}

SerialTime CurrentUtc() {
    return FromSystemTime(systemClock().utcNow());
}

}  // namespace vintrel
