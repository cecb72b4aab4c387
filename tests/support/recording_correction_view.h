#pragma once

#include <string>
#include <vector>

#include "timesync/plain_correction_view.h"

namespace vintrel::testing {

/// A plain view that also logs, in order, what was done to the window.
class RecordingCorrectionView final : public PlainCorrectionView {
public:
    using PlainCorrectionView::PlainCorrectionView;

    std::vector<std::string> log;
    void setTimer2Enabled(bool enabled) override {
        log.push_back(enabled ? "Timer2 on" : "Timer2 off");
        PlainCorrectionView::setTimer2Enabled(enabled);
    }
    void setCursor(CursorShape shape) override {
        log.push_back(shape == CursorShape::Hourglass ? "hourglass" : "default cursor");
        PlainCorrectionView::setCursor(shape);
    }
    void showMessage(const std::string& text) override {
        log.push_back("message");
        PlainCorrectionView::showMessage(text);
    }
};

}  // namespace vintrel::testing
