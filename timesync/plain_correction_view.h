#pragma once

#include <string>
#include <utility>
#include <vector>

#include "timesync/correction_view.h"

namespace vintrel {

/// The window's state without a window: for the command-line tool and tests.
/// Message boxes are collected instead of shown.
class PlainCorrectionView : public CorrectionView {
public:
    explicit PlainCorrectionView(std::string server = {}) : server_(std::move(server)) {}

    std::string selectedServer() const override { return server_; }
    void setSelectedServer(std::string server) { server_ = std::move(server); }

    SerialTime lastSyncTime() const override { return lastSync_; }
    void setLastSyncTime(SerialTime localTime) override { lastSync_ = localTime; }

    const std::string& lastPingLabel() const { return lastPingLabel_; }
    void setLastPingLabel(const std::string& text) override { lastPingLabel_ = text; }

    bool timer2Enabled() const { return timer2_; }
    void setTimer2Enabled(bool enabled) override { timer2_ = enabled; }

    CursorShape cursor() const { return cursor_; }
    void setCursor(CursorShape shape) override { cursor_ = shape; }

    const std::vector<std::string>& messages() const { return messages_; }
    void showMessage(const std::string& text) override { messages_.push_back(text); }

private:
    std::string server_;
    SerialTime lastSync_ = 0;
    std::string lastPingLabel_;
    bool timer2_ = false;
    CursorShape cursor_ = CursorShape::Default;
    std::vector<std::string> messages_;
};

}  // namespace vintrel
