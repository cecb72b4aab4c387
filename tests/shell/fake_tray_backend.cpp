#include "tests/shell/fake_tray_backend.h"

#include <algorithm>
#include <stdexcept>

namespace vintrel::testing {

void FakeMainWindow::setVisibleProperty(bool visible) {
    if (visible == property) return;
    property = visible;
    shown = visible;
}

void FakePopupMenu::Popup(int x, int y) {
    const std::string by = PopupComponent() != nullptr ? PopupComponent()->Name() : "nobody";
    log_->push_back("popup " + std::to_string(x) + "," + std::to_string(y) + " by " + by);
}

IconImage FakeImageList::GetIcon(int index) const {
    if (index < 0 || index >= Count()) return {};
    return images[static_cast<std::size_t>(index)];
}

void FakeImageList::replaceImages(std::vector<IconImage> replacement) {
    images = std::move(replacement);
    Change();
}

FakeTrayBackend::FakeTrayBackend(ApplicationWindow* application, std::vector<std::string>* log)
    : application_(application), log_(log) {
    appProcedure = [this](TMessage& message) {
        originalProcedureMessages.push_back(message);
        message.Result = 42;
    };
}

WindowHandle FakeTrayBackend::allocateWindow(WindowProcedure procedure) {
    windows[next_] = std::move(procedure);
    return next_++;
}

bool FakeTrayBackend::setTimer(WindowHandle window, std::uint32_t id, std::uint32_t intervalMs) {
    if (!timersAvailable || windows.count(window) == 0) return false;
    timers[{window, id}] = intervalMs;
    return true;
}

std::intptr_t FakeTrayBackend::defWindowProc(WindowHandle, const TMessage& message) {
    log_->push_back("default " + std::to_string(message.Msg));
    return 0;
}

bool FakeTrayBackend::notifyIcon(NotifyIconMessage message, const NotifyIconData& data) {
    if (failNotify) throw std::runtime_error("shell gone");
    calls.emplace_back(message, data);
    const auto key = std::make_pair(data.hWnd, data.uID);
    const bool present = icons.count(key) != 0;
    if (!shellPresent) return false;
    switch (message) {
        case NotifyIconMessage::Add:
            if (present) return false;
            icons[key] = data;
            return true;
        case NotifyIconMessage::Modify:
            if (!present) return false;
            icons[key] = data;
            return true;
        case NotifyIconMessage::Delete:
            return icons.erase(key) != 0;
    }
    return false;
}

void FakeTrayBackend::processMessages() {
    log_->push_back("process messages");
    if (onProcessMessages) onProcessMessages();
}

std::intptr_t FakeTrayBackend::send(WindowHandle window, std::uint32_t message,
                                    std::uintptr_t wParam, std::intptr_t lParam) {
    const auto it = windows.find(window);
    if (it == windows.end()) throw std::logic_error("no such window");
    const WindowProcedure procedure = it->second;
    TMessage m{message, wParam, lParam, 0};
    procedure(m);
    return m.Result;
}

void FakeTrayBackend::mouse(WindowHandle window,
                            std::initializer_list<std::uint32_t> mouseMessages) {
    for (std::uint32_t m : mouseMessages) send(window, 1235, 0, static_cast<std::intptr_t>(m));
}

void FakeTrayBackend::tick(WindowHandle window) {
    std::vector<std::uint32_t> running;
    for (const auto& [key, interval] : timers)
        if (key.first == window) running.push_back(key.second);
    for (std::uint32_t id : running) send(window, 0x0113, id);
}

void FakeTrayBackend::recreateTaskbar() {
    icons.clear();
    shellPresent = true;
    std::vector<WindowHandle> all;
    for (const auto& entry : windows) all.push_back(entry.first);
    for (WindowHandle window : all) send(window, kTaskbarCreated);
}

std::intptr_t FakeTrayBackend::sendToApplication(std::uint32_t message, std::uintptr_t wParam) {
    const WindowProcedure procedure = appProcedure;
    TMessage m{message, wParam, 0, 0};
    procedure(m);
    return m.Result;
}

const NotifyIconData* FakeTrayBackend::icon(WindowHandle window, std::uint32_t id) const {
    const auto it = icons.find({window, id});
    return it == icons.end() ? nullptr : &it->second;
}

int FakeTrayBackend::count(NotifyIconMessage message) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                          [message](const auto& c) { return c.first == message; }));
}

IconImage solidIcon(std::uint32_t argb) {
    return IconImage(16, 16, std::vector<std::uint32_t>(256, argb));
}

}  // namespace vintrel::testing
