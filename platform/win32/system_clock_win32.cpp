#include "platform/system_clock.h"
#include "platform/win32/system_time_win32.h"

namespace vintrel {
namespace {

class Win32Clock final : public SystemClock {
public:
    SystemTime utcNow() const override {
        SYSTEMTIME t{};
        GetSystemTime(&t);
        return FromWin32(t);
    }

    SystemTime localNow() const override {
        SYSTEMTIME t{};
        GetLocalTime(&t);
        return FromWin32(t);
    }
};

}  // namespace

const SystemClock& realSystemClock() {
    static const Win32Clock clock;
    return clock;
}

}  // namespace vintrel
