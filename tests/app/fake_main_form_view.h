#pragma once

#include <array>
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "app/main_form_view.h"
#include "app/time_servers.h"

namespace vintrel::testing {

/// The main window as plain fields, kept as the window would keep them: the
/// visible property and the window's own showing are told apart, and the
/// timers remember whether enabling them started a new countdown.
class FakeMainFormView final : public MainFormView {
public:
    std::string caption;
    std::string localText = "lblSystemUtc";  // the label's text at creation
    std::string systemUtcText = "lblSystemUtc";
    std::string lastPingText = "lblLastPing";
    std::map<TimeZoneLabel, std::string> zoneTexts;
    std::array<bool, 4> checks{};
    std::array<bool, kTimeServers.size()> serverChecks{};

    bool timer1 = true;
    std::chrono::milliseconds timer1Interval{1000};
    bool timer2 = false;
    /// How often enabling Timer2 started a new sixty-second countdown.
    int timer2Countdowns = 0;

    bool property = false;
    bool shown = false;
    bool minimized = false;
    bool trayPresent = true;
    CursorShape cursor = CursorShape::Default;
    CursorShape screenCursor = CursorShape::Default;
    std::vector<std::string> messages;
    int pendingEventRuns = 0;
    int aboutBoxes = 0;
    bool closed = false;

    bool check(MenuCheck item) const { return checks.at(static_cast<std::size_t>(item)); }

    void setLabelText(TimeZoneLabel label, const std::string& text) override {
        zoneTexts[label] = text;
    }
    void setCaption(const std::string& text) override { caption = text; }
    void setLocalText(const std::string& text) override { localText = text; }
    void setSystemUtcText(const std::string& text) override { systemUtcText = text; }
    void setLastPingText(const std::string& text) override { lastPingText = text; }
    void showCheck(MenuCheck item, bool checked) override {
        checks.at(static_cast<std::size_t>(item)) = checked;
    }
    void showServerCheck(std::size_t index, bool checked) override {
        serverChecks.at(index) = checked;
    }
    void setTimer1Enabled(bool enabled) override { timer1 = enabled; }
    void setTimer1Interval(std::chrono::milliseconds interval) override {
        timer1Interval = interval;
    }
    void setTimer2Enabled(bool enabled) override {
        if (enabled && !timer2) ++timer2Countdowns;
        timer2 = enabled;
    }
    bool timer2Enabled() const override { return timer2; }
    void setVisibleProperty(bool visible) override {
        property = visible;
        shown = visible;
    }
    bool visibleProperty() const override { return property; }
    void showWindowNormal() override {
        shown = true;
        minimized = false;
    }
    void hideWindow() override { shown = false; }
    void minimizeWindow() override {
        shown = true;
        minimized = true;
    }
    bool windowShown() const override { return shown; }
    bool notificationAreaPresent() const override { return trayPresent; }
    void setCursor(CursorShape shape) override { cursor = shape; }
    void setScreenCursor(CursorShape shape) override { screenCursor = shape; }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void processPendingEvents() override { ++pendingEventRuns; }
    void showAboutBox() override { ++aboutBoxes; }
    void closeApplication() override { closed = true; }
};

}  // namespace vintrel::testing
