#include "tests/support/fake_time_zone_source.h"

namespace vintrel::testing {

FakeTimeZoneSource::FakeTimeZoneSource(TimeZoneInformation info, std::uint32_t code) {
    set(info, code);
    installTimeZoneSource(this);
}

FakeTimeZoneSource::~FakeTimeZoneSource() {
    installTimeZoneSource(nullptr);
}

TimeZoneReading FakeTimeZoneSource::read() const {
    ++reads_;
    return reading_;
}

}  // namespace vintrel::testing
