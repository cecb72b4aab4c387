#pragma once

#include <string>

#include "timesync/serial_time.h"

namespace vintrel {

enum class CursorShape { Default, Hourglass };

/// What the clock correction needs of the main window: the window's fields it
/// reads and writes, and the few things it does on screen. The main window
/// implements it over its widgets; `PlainCorrectionView` keeps the state in
/// plain fields for the command-line tool and the tests.
class CorrectionView {
public:
    virtual ~CorrectionView() = default;

    /// The dotted address of the time server the user chose.
    virtual std::string selectedServer() const = 0;

    /// Local time of the last successful correction of this run, 0 before the first.
    virtual SerialTime lastSyncTime() const = 0;
    virtual void setLastSyncTime(SerialTime localTime) = 0;

    /// The text of `lblLastPing`, the "Date && Time of Last Successful Ping" value.
    virtual void setLastPingLabel(const std::string& text) = 0;

    /// Turns the sixty-second `Timer2` of the daily schedule on or off.
    virtual void setTimer2Enabled(bool enabled) = 0;

    virtual void setCursor(CursorShape shape) = 0;

    /// A modal box with `text` and one OK button under the application's title.
    virtual void showMessage(const std::string& text) = 0;
};

}  // namespace vintrel
