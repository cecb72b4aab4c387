#pragma once

#include "platform/time_zone_source.h"

namespace vintrel::testing {

/// A time-zone source that gives whatever the test set and counts its reads.
/// Installs itself for its lifetime.
class FakeTimeZoneSource final : public TimeZoneSource {
public:
    explicit FakeTimeZoneSource(TimeZoneInformation info = {},
                                std::uint32_t code = kTimeZoneIdUnknown);
    ~FakeTimeZoneSource() override;
    FakeTimeZoneSource(const FakeTimeZoneSource&) = delete;
    FakeTimeZoneSource& operator=(const FakeTimeZoneSource&) = delete;

    void set(const TimeZoneInformation& info, std::uint32_t code) {
        reading_.info = info;
        reading_.code = code;
    }
    int reads() const { return reads_; }

    TimeZoneReading read() const override;

private:
    TimeZoneReading reading_;
    mutable int reads_ = 0;
};

}  // namespace vintrel::testing
