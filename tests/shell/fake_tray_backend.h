#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "shell/component.h"
#include "shell/image_list.h"
#include "shell/popup_menu.h"
#include "shell/tray_backend.h"

namespace vintrel::testing {

/// A main window as Windows keeps it: the visible property shows and hides the
/// window, while the close box and "show normally" change only the window.
class FakeMainWindow final : public WindowedControl {
public:
    bool visibleProperty() const override { return property; }
    void setVisibleProperty(bool visible) override;
    void closeBox() { shown = false; }
    void showNormal() { shown = true; }

    bool property = true;
    bool shown = true;
};

/// The application's owner window and its main window.
class FakeApplication final : public ApplicationWindow {
public:
    explicit FakeApplication(WindowedControl* main) : main_(main) {}
    bool isWindow() const override { return ownerExists; }
    bool isWindowShown() const override { return ownerShown; }
    void hideWindow() override { ownerShown = false; }
    void showWindowNormal() override { ownerShown = true; }
    WindowedControl* mainWindow() override { return main_; }
    void setShowMainForm(bool show) override { showMainForm = show; }

    bool ownerExists = true;
    bool ownerShown = true;
    bool showMainForm = true;

private:
    WindowedControl* main_;
};

/// The form that owns the components: a windowed control.
class FakeForm final : public TComponent {
public:
    explicit FakeForm(WindowedControl* window) : window_(window) {}
    WindowedControl* AsWindowedControl() override { return window_; }

private:
    WindowedControl* window_;
};

class FakePopupMenu final : public TTrayPopupMenu {
public:
    FakePopupMenu(TComponent* owner, std::vector<std::string>* log)
        : TTrayPopupMenu(owner), log_(log) {}
    void Popup(int x, int y) override;

private:
    std::vector<std::string>* log_;
};

class FakeImageList final : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
    int Count() const override { return static_cast<int>(images.size()); }
    IconImage GetIcon(int index) const override;
    void replaceImages(std::vector<IconImage> replacement);

    std::vector<IconImage> images;
};

/// The shell, the timers and the application's hook as a test wants them:
/// everything asked is recorded, and the test delivers the messages.
class FakeTrayBackend final : public TrayBackend {
public:
    static constexpr std::uint32_t kTaskbarCreated = 0xC123;

    FakeTrayBackend(ApplicationWindow* application, std::vector<std::string>* log);

    WindowHandle allocateWindow(WindowProcedure procedure) override;
    void deallocateWindow(WindowHandle window) override { windows.erase(window); }
    bool setTimer(WindowHandle window, std::uint32_t id, std::uint32_t intervalMs) override;
    void killTimer(WindowHandle window, std::uint32_t id) override { timers.erase({window, id}); }
    std::intptr_t defWindowProc(WindowHandle, const TMessage& message) override;

    bool notifyIcon(NotifyIconMessage message, const NotifyIconData& data) override;
    std::uint32_t taskbarCreatedMessage() const override { return kTaskbarCreated; }
    CursorPoint cursorPos() const override { return cursor; }
    ModifierKeys modifierKeys() const override { return keys; }
    void setForegroundWindow(WindowedControl&) override { log_->push_back("foreground"); }
    void postNullMessage(WindowedControl&) override { log_->push_back("post null"); }
    void processMessages() override;
    WindowProcedure applicationWindowProcedure() const override { return appProcedure; }
    void setApplicationWindowProcedure(WindowProcedure procedure) override {
        appProcedure = std::move(procedure);
    }
    ApplicationWindow* application() override { return application_; }

    /// Sends a message to a window; answers its result.
    std::intptr_t send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam = 0,
                       std::intptr_t lParam = 0);
    /// Sends the icon's callback for each mouse message, as the shell does.
    void mouse(WindowHandle window, std::initializer_list<std::uint32_t> mouseMessages);
    /// WM_TIMER for each running timer of the window.
    void tick(WindowHandle window);
    /// The notification area comes back empty and tells every window.
    void recreateTaskbar();
    std::intptr_t sendToApplication(std::uint32_t message, std::uintptr_t wParam);
    /// The icon present for (window, id), nullptr when there is none.
    const NotifyIconData* icon(WindowHandle window, std::uint32_t id = 0) const;
    int count(NotifyIconMessage message) const;

    bool shellPresent = true;
    bool failNotify = false;  // the shell call itself raises
    bool timersAvailable = true;
    CursorPoint cursor{10, 20};
    ModifierKeys keys;
    std::function<void()> onProcessMessages;
    WindowProcedure appProcedure;
    std::vector<TMessage>
        originalProcedureMessages;  // what reached the application's own procedure
    std::vector<std::pair<NotifyIconMessage, NotifyIconData>> calls;
    std::map<std::pair<WindowHandle, std::uint32_t>, NotifyIconData> icons;
    std::map<std::pair<WindowHandle, std::uint32_t>, std::uint32_t> timers;
    std::map<WindowHandle, WindowProcedure> windows;

private:
    ApplicationWindow* application_;
    std::vector<std::string>* log_;
    WindowHandle next_ = 0x100;
};

/// A solid 16 × 16 image, told apart by its colour.
IconImage solidIcon(std::uint32_t argb);

}  // namespace vintrel::testing
