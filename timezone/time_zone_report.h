#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vintrel {

/// The main window's eight value labels of the time-zone report, named as the
/// window names them.
enum class TimeZoneLabel {
    lblCurrentMode,
    lblStdName,
    lblStdDate,
    lblStdBias,
    lblDLname,
    lblDlDate,
    lblDlBias,
    lblUtcBias,
};

/// The labels top to bottom, as the window shows them.
inline constexpr std::array<TimeZoneLabel, 8> kTimeZoneLabelsInWindowOrder{
    TimeZoneLabel::lblCurrentMode, TimeZoneLabel::lblStdName, TimeZoneLabel::lblStdDate,
    TimeZoneLabel::lblStdBias,     TimeZoneLabel::lblDLname,  TimeZoneLabel::lblDlDate,
    TimeZoneLabel::lblDlBias,      TimeZoneLabel::lblUtcBias,
};

/// The label's name, which is also the text it is created with.
const char* TimeZoneLabelName(TimeZoneLabel label);

/// The caption that stands beside the label.
const char* TimeZoneLabelCaption(TimeZoneLabel label);

/// What the report needs of the window that shows it.
class TimeZoneReportView {
public:
    virtual ~TimeZoneReportView() = default;
    virtual void setLabelText(TimeZoneLabel label, const std::string& text) = 0;
};

/// A bias in minutes as hours and minutes, "%.2d:%.2d"; a negative bias has
/// one minus sign in front (-330 is "-05:30").
std::string FormatBias(std::int32_t minutes);

/// Reads the system's time-zone information into the snapshot and fills the
/// eight labels from it. A failed read leaves lblCurrentMode as it was. A
/// conversion error (EConvertError) of a change-over rule ends the fill at
/// that label and reaches the caller.
void ShowTimeZoneReport(TimeZoneReportView& view);

}  // namespace vintrel
