#include "timezone/time_zone_report.h"

#include <cstdlib>

#include "platform/time_zone_source.h"
#include "timesync/regional_format.h"
#include "timesync/text_format.h"
#include "timezone/win_tz_info.h"

namespace vintrel {
namespace {

const char* ModeText(std::uint32_t code) {
    switch (code) {
        case kTimeZoneIdUnknown:
            return "Unknown";
        case kTimeZoneIdStandard:
            return "Standard Time";
        case kTimeZoneIdDaylight:
            return "Daylight Time";
        default:
            return nullptr;
    }
}

std::string BiasText(std::int32_t minutes) {
    return FormatBias(minutes) + " hh:mm";
}

}  // namespace

const char* TimeZoneLabelName(TimeZoneLabel label) {
    switch (label) {
        case TimeZoneLabel::lblCurrentMode:
            return "lblCurrentMode";
        case TimeZoneLabel::lblStdName:
            return "lblStdName";
        case TimeZoneLabel::lblStdDate:
            return "lblStdDate";
        case TimeZoneLabel::lblStdBias:
            return "lblStdBias";
        case TimeZoneLabel::lblDLname:
            return "lblDLname";
        case TimeZoneLabel::lblDlDate:
            return "lblDlDate";
        case TimeZoneLabel::lblDlBias:
            return "lblDlBias";
        case TimeZoneLabel::lblUtcBias:
            return "lblUtcBias";
    }
    return "";
}

const char* TimeZoneLabelCaption(TimeZoneLabel label) {
    switch (label) {
        case TimeZoneLabel::lblCurrentMode:
            return "Currently in";
        case TimeZoneLabel::lblStdName:
            return "Standard Time Zone Name";
        case TimeZoneLabel::lblStdDate:
            return "Standard Time Zone Date";
        case TimeZoneLabel::lblStdBias:
            return "Standard Time Zone Bias";
        case TimeZoneLabel::lblDLname:
            return "Daylight Time Zone Name";
        case TimeZoneLabel::lblDlDate:
            return "Daylight Time Zone Date";
        case TimeZoneLabel::lblDlBias:
            return "Daylight Time Zone Bias";
        case TimeZoneLabel::lblUtcBias:
            return "Unadjusted UTC Bias";
    }
    return "";
}

std::string FormatBias(std::int32_t minutes) {
    // Hours and minutes share one sign: writing it in both parts gave
    // "-05:-30" for India.
    const std::int64_t magnitude = std::llabs(static_cast<std::int64_t>(minutes));
    const std::string text = TwoDigitText(magnitude / 60) + ":" + TwoDigitText(magnitude % 60);
    return minutes < 0 ? "-" + text : text;
}

void ShowTimeZoneReport(TimeZoneReportView& view) {
    const std::uint32_t code = ReadTimeZoneInfo();
    if (const char* mode = ModeText(code)) view.setLabelText(TimeZoneLabel::lblCurrentMode, mode);
    view.setLabelText(TimeZoneLabel::lblUtcBias, BiasText(GetBias()));
    view.setLabelText(TimeZoneLabel::lblStdName, GetStandardName());
    view.setLabelText(TimeZoneLabel::lblStdDate, DateTimeText(GetStandardDate()));
    view.setLabelText(TimeZoneLabel::lblStdBias, BiasText(GetStandardBias()));
    view.setLabelText(TimeZoneLabel::lblDLname, GetDaylightName());
    view.setLabelText(TimeZoneLabel::lblDlDate, DateTimeText(GetDaylightDate()));
    view.setLabelText(TimeZoneLabel::lblDlBias, BiasText(GetDaylightBias()));
}

}  // namespace vintrel
