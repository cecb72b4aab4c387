#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "shell/custom_timer.h"
#include "shell/events.h"
#include "shell/icon_image.h"
#include "shell/image_list.h"
#include "shell/popup_menu.h"
#include "shell/tray_backend.h"

namespace vintrel {

/// Adding or removing the icon failed ("%s.InsertToTray failed").
class EkvTrayIcon : public std::runtime_error {
public:
    explicit EkvTrayIcon(const std::string& message) : std::runtime_error(message) {}
};

/// The message the shell sends to the timer window for a mouse action on the icon.
constexpr std::uint32_t kTrayCallbackMessage = kWmUser + 211;  // 1235

/// Keeps one icon with a tip in the notification area, turns mouse actions on
/// it into events, opens a popup menu at the cursor, puts the icon back when
/// the notification area is created anew, and can send the whole application
/// to the notification area when it is minimised.
class TkvTrayIcon : public TkvCustomTimer {
public:
    static constexpr std::size_t kMaxHintLength = kNotifyTipSize - 1;

    TkvTrayIcon(TComponent* owner, TrayBackend& backend);
    /// Removes a present icon (with every step of `HideIcon`) and unhooks the application.
    ~TkvTrayIcon() override;

    /// Whether the icon steps through `ImageList` (the timer's `Enabled`).
    bool CycleIcons() const { return TkvCustomTimer::Enabled(); }
    void SetCycleIcons(bool cycle) { TkvCustomTimer::SetEnabled(cycle); }
    std::uint32_t CycleInterval() const { return TkvCustomTimer::Interval(); }
    void SetCycleInterval(std::uint32_t ms) { TkvCustomTimer::SetInterval(ms); }

    /// When false, mouse actions on the icon are ignored.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    /// The tip text, at most 63 bytes (cut on a character boundary).
    const std::string& Hint() const { return hint_; }
    void SetHint(std::string hint);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show);
    const IconImage& Icon() const { return icon_; }
    void SetIcon(const IconImage& icon);
    TCustomImageList* ImageList() const { return imageList_; }
    void SetImageList(TCustomImageList* list);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    int IconID() const { return iconId_; }
    void SetIconID(int id);
    bool MinimizeToTray() const { return minimizeToTray_; }
    void SetMinimizeToTray(bool minimize) { minimizeToTray_ = minimize; }
    bool MinimizeOnStart() const { return minimizeOnStart_; }
    void SetMinimizeOnStart(bool minimize) { minimizeOnStart_ = minimize; }
    TTrayPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TTrayPopupMenu* menu);
    bool PopupByLeft() const { return popupByLeft_; }
    void SetPopupByLeft(bool byLeft) { popupByLeft_ = byLeft; }
    /// Whether the icon is present; setting it adds or removes the icon at once.
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool VisibleOnDesigning() const { return visibleOnDesigning_; }
    void SetVisibleOnDesigning(bool visible);

    void SetOnMinimize(TNotifyEvent handler) { onMinimize_ = std::move(handler); }
    void SetOnClick(TNotifyEvent handler) { onClick_ = std::move(handler); }
    void SetOnDblClick(TNotifyEvent handler) { onDblClick_ = std::move(handler); }
    void SetOnPopupMenu(TNotifyEvent handler) { onPopupMenu_ = std::move(handler); }
    void SetOnShow(TNotifyEvent handler) { onShow_ = std::move(handler); }
    void SetOnHide(TNotifyEvent handler) { onHide_ = std::move(handler); }
    void SetOnCycleIcons(TNotifyEvent handler) { onCycleIcons_ = std::move(handler); }
    void SetOnMouseMove(TMouseMoveEvent handler) { onMouseMove_ = std::move(handler); }
    void SetOnMouseDown(TMouseEvent handler) { onMouseDown_ = std::move(handler); }
    void SetOnMouseUp(TMouseEvent handler) { onMouseUp_ = std::move(handler); }

    /// After the stored properties: minimises to the tray when `MinimizeOnStart`
    /// asks, then adds the icon when `Visible` (a second add of a present icon
    /// is refused by the shell and does no harm).
    void Loaded() override;

protected:
    virtual void UpdateNotifyData();
    virtual void AppWndProc(TMessage& message);
    virtual void ModifyIcon();
    virtual void ShowIcon();
    virtual void HideIcon();
    virtual void PopupAtCursor();
    virtual void ShowApplication();
    virtual void HideApplication();

    void WndProc(TMessage& message) override;
    void Timer() override;
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Click();
    virtual void DblClick();
    virtual void DoMinimizeToTray();

    void Notification(TComponent* component, TOperation operation) override;

    void HookApplication();
    void UnhookApplication();
    void InsertToTray();
    void DeleteFromTray();
    TShiftState GetShiftState() const;
    const NotifyIconData& NotifyData() const { return notifyData_; }

private:
    struct Hook;

    void UpdateIconFromImageList();
    bool handleMouseMessage(std::intptr_t mouseMessage);
    WindowedControl* ownerControl() const;
    bool ownerDestroying() const;

    TrayBackend& backend_;
    std::shared_ptr<Hook> hook_;
    IconImage icon_;
    int imageIndex_ = 0;
    TChangeLink changeLink_;
    int iconId_ = 0;
    std::uint32_t iconFlags_ = kNifMessage | kNifTip;
    bool enabled_ = true;
    bool showHint_ = true;
    bool visible_ = false;
    bool visibleOnDesigning_ = false;
    bool leftDown_ = false;
    bool minimizeToTray_ = false;
    bool minimizeOnStart_ = false;
    bool popupByLeft_ = false;
    std::string hint_;
    TCustomImageList* imageList_ = nullptr;
    TTrayPopupMenu* popupMenu_ = nullptr;
    // The same two as components: a free notice arrives when the derived part
    // is already gone, so it is compared with these, never converted.
    TComponent* imageListComponent_ = nullptr;
    TComponent* popupMenuComponent_ = nullptr;
    NotifyIconData notifyData_;

    TNotifyEvent onMinimize_, onClick_, onDblClick_, onPopupMenu_, onShow_, onHide_, onCycleIcons_;
    TMouseMoveEvent onMouseMove_;
    TMouseEvent onMouseDown_, onMouseUp_;
};

}  // namespace vintrel
