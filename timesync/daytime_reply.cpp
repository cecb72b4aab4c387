#include "timesync/daytime_reply.h"

#include <array>
#include <cstdint>
#include <vector>

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

// The words of the line after its seconds: TT, L, H, msADV, "UTC(NIST)", OTM.
// They end with the line.
std::vector<std::string_view> WordsAfterTheTime(std::string_view line) {
    constexpr std::size_t kAfterSeconds = 23;
    std::vector<std::string_view> words;
    if (line.size() <= kAfterSeconds) return words;
    std::string_view rest = line.substr(kAfterSeconds);
    rest = rest.substr(0, rest.find_first_of("\r\n"));
    while (!rest.empty()) {
        const std::size_t start = rest.find_first_not_of(" \t");
        if (start == std::string_view::npos) break;
        rest.remove_prefix(start);
        const std::size_t end = rest.find_first_of(" \t");
        words.push_back(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
    }
    return words;
}

// msADV as NIST writes it, "50.0": digits, at most one point. An advance of
// a second or more would name another second than the one meant, so such a
// field is taken as broken.
bool ReadAdvance(std::string_view word, double& seconds) {
    double value = 0;
    double scale = 0;
    bool digits = false;
    for (const char c : word) {
        if (c == '.' && scale == 0) {
            scale = 1;
        } else if (c >= '0' && c <= '9') {
            digits = true;
            if (scale == 0) {
                value = value * 10 + (c - '0');
            } else {
                scale /= 10;
                value += (c - '0') * scale;
            }
        } else {
            return false;
        }
    }
    if (!digits || value >= 1000) return false;
    seconds = value / 1000;
    return true;
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

NistLineStatus ReadNistLineStatus(std::string_view reply) noexcept {
    NistLineStatus status;
    try {
        if (PositionOf("NIST", UpperCaseAscii(reply)) == 0) return status;
        const std::size_t p = PositionOf("-", reply);
        if (p == 0) return status;
        // The same line the time is read from.
        const std::string line = Substring(reply, static_cast<std::int64_t>(p) - 8, 255);
        const std::vector<std::string_view> words = WordsAfterTheTime(line);
        if (words.size() > 2 && words[2].size() == 1 && words[2][0] >= '0' && words[2][0] <= '9') {
            status.health = words[2][0] - '0';
        }
        if (words.size() > 4 && UpperCaseAscii(words[4]) == "UTC(NIST)") {
            status.advanceRead = ReadAdvance(words[3], status.advance);
        }
    } catch (...) {
        return {};
    }
    return status;
}

std::string UnhealthyReason(int health) {
    const std::string digit = " (H = " + IntegerText(health) + ")";
    switch (health) {
        case 2:
            return "the server reports its time off by more than 5 s" + digit;
        case 3:
            return "the server reports a hardware or software failure" + digit;
        case 4:
            return "the server is in maintenance mode" + digit;
        default:
            return "the server does not vouch for its time" + digit;
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
