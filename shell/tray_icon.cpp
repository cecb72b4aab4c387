#include "shell/tray_icon.h"

#include <algorithm>
#include <utility>

#include "shell/application_exception.h"

namespace vintrel {
namespace {

// The tip field holds 63 bytes and a zero. Texts are UTF-8 here, so the cut
// must not leave half a character behind.
std::string cutToTipLength(std::string text) {
    if (text.size() <= TkvTrayIcon::kMaxHintLength) return text;
    std::size_t cut = TkvTrayIcon::kMaxHintLength;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
    return text;
}

std::string failureText(const std::string& name, const char* step) {
    return name + "." + step + " failed";
}

}  // namespace

// The application's owner window gets our procedure in front of its own. The
// state outlives the component: a procedure installed after ours keeps ours
// as its saved one, and once we are gone it must only pass messages on.
struct TkvTrayIcon::Hook {
    TkvTrayIcon* icon = nullptr;
    WindowProcedure saved;
};

TkvTrayIcon::TkvTrayIcon(TComponent* owner, TrayBackend& backend)
    : TkvCustomTimer(owner, backend), backend_(backend) {
    changeLink_.OnChange = [this] { UpdateIconFromImageList(); };
    if (!Designing()) {
        // The cycling itself is the `Timer` override; a handler must be
        // assigned for the timer to run at all. It is assigned with the timer
        // held off, so that creating the icon never starts a timer.
        TkvCustomTimer::SetEnabled(false);
        SetOnTimer([](TComponent*) {});
    }
    SetCycleIcons(false);
    SetCycleInterval(200);
    HookApplication();
}

TkvTrayIcon::~TkvTrayIcon() {
    // A destructor cannot pass the failure on; the application hears of it.
    try {
        SetVisible(false);
    } catch (...) {
        handleApplicationException(std::current_exception());
    }
    UnhookApplication();
}

void TkvTrayIcon::SetHint(std::string hint) {
    if (hint == hint_) return;
    hint_ = cutToTipLength(std::move(hint));
    ModifyIcon();
}

void TkvTrayIcon::SetShowHint(bool show) {
    if (show == showHint_) return;
    showHint_ = show;
    ModifyIcon();
}

void TkvTrayIcon::SetIcon(const IconImage& icon) {
    icon_ = icon;
    ModifyIcon();
}

void TkvTrayIcon::SetImageList(TCustomImageList* list) {
    if (list == imageList_) return;
    if (imageList_ != nullptr) imageList_->UnRegisterChanges(&changeLink_);
    imageList_ = list;
    imageListComponent_ = list;
    if (imageList_ != nullptr) {
        imageList_->FreeNotification(this);
        imageList_->RegisterChanges(&changeLink_);
    }
    UpdateIconFromImageList();
}

void TkvTrayIcon::SetImageIndex(int index) {
    imageIndex_ = index;
    UpdateIconFromImageList();
}

void TkvTrayIcon::SetIconID(int id) {
    if (id == iconId_) return;
    const bool wasVisible = visible_;
    SetVisible(false);
    iconId_ = id;
    SetVisible(wasVisible);
}

void TkvTrayIcon::SetPopupMenu(TTrayPopupMenu* menu) {
    if (menu == popupMenu_) return;
    popupMenu_ = menu;
    popupMenuComponent_ = menu;
    if (popupMenu_ != nullptr) popupMenu_->FreeNotification(this);
}

void TkvTrayIcon::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (Designing()) return;
    if (visible)
        ShowIcon();
    else
        HideIcon();
}

void TkvTrayIcon::SetVisibleOnDesigning(bool visible) {
    if (visible == visibleOnDesigning_) return;
    visibleOnDesigning_ = visible;
    if (!Designing()) return;
    if (visible)
        ShowIcon();
    else
        HideIcon();
}

void TkvTrayIcon::Loaded() {
    TkvCustomTimer::Loaded();
    if (minimizeOnStart_ && !Designing()) {
        if (ApplicationWindow* app = backend_.application()) app->setShowMainForm(false);
        DoMinimizeToTray();
    }
    if ((visible_ && !Designing()) || (visibleOnDesigning_ && Designing())) ShowIcon();
}

void TkvTrayIcon::UpdateNotifyData() {
    notifyData_ = NotifyIconData{};
    notifyData_.cbSize = kNotifyIconDataSize;
    notifyData_.hWnd = TimerWindow();
    notifyData_.uID = static_cast<std::uint32_t>(iconId_);
    notifyData_.uFlags = iconFlags_;
    notifyData_.uCallbackMessage = kTrayCallbackMessage;
    notifyData_.hIcon = icon_;
    // NIF_TIP stays set either way, so without ShowHint the tip is emptied.
    if (showHint_) std::copy(hint_.begin(), hint_.end(), notifyData_.szTip.begin());
}

void TkvTrayIcon::HookApplication() {
    if (Designing()) return;
    auto hook = std::make_shared<Hook>();
    hook->icon = this;
    hook->saved = backend_.applicationWindowProcedure();
    backend_.setApplicationWindowProcedure([hook](TMessage& message) {
        if (hook->icon != nullptr)
            hook->icon->AppWndProc(message);
        else if (hook->saved)
            hook->saved(message);
    });
    hook_ = std::move(hook);
}

void TkvTrayIcon::UnhookApplication() {
    if (!hook_) return;
    // Put back without asking whether ours is still the installed one.
    backend_.setApplicationWindowProcedure(hook_->saved);
    hook_->icon = nullptr;
    hook_.reset();
}

void TkvTrayIcon::AppWndProc(TMessage& message) {
    const std::shared_ptr<Hook> hook = hook_;  // the minimise step may unhook us
    if (message.Msg == kWmSize && message.WParam == kSizeMinimized && minimizeToTray_)
        DoMinimizeToTray();
    if (hook && hook->saved)
        hook->saved(message);
    else
        message.Result = 0;
}

void TkvTrayIcon::DoMinimizeToTray() {
    if (Designing()) return;
    HideApplication();
    SetVisible(true);
    if (onMinimize_) onMinimize_(this);
}

void TkvTrayIcon::HideApplication() {
    ApplicationWindow* app = backend_.application();
    if (app == nullptr) return;
    if (app->isWindow() && app->isWindowShown()) app->hideWindow();
    if (WindowedControl* main = app->mainWindow()) main->setVisibleProperty(false);
}

void TkvTrayIcon::ShowApplication() {
    ApplicationWindow* app = backend_.application();
    if (app == nullptr) return;
    if (app->isWindow()) app->showWindowNormal();
    if (WindowedControl* main = app->mainWindow()) main->setVisibleProperty(true);
}

void TkvTrayIcon::InsertToTray() {
    try {
        UpdateNotifyData();
        backend_.notifyIcon(NotifyIconMessage::Add, notifyData_);
    } catch (...) {
        throw EkvTrayIcon(failureText(Name(), "InsertToTray"));
    }
}

void TkvTrayIcon::DeleteFromTray() {
    try {
        UpdateNotifyData();
        backend_.notifyIcon(NotifyIconMessage::Delete, notifyData_);
    } catch (...) {
        throw EkvTrayIcon(failureText(Name(), "DeleteFromTray"));
    }
}

void TkvTrayIcon::ModifyIcon() {
    UpdateNotifyData();
    backend_.notifyIcon(NotifyIconMessage::Modify, notifyData_);
}

void TkvTrayIcon::ShowIcon() {
    iconFlags_ |= kNifIcon;
    InsertToTray();
    if (Designing())
        visibleOnDesigning_ = true;
    else
        visible_ = true;
    if (onShow_) onShow_(this);
}

void TkvTrayIcon::HideIcon() {
    iconFlags_ &= ~kNifIcon;
    DeleteFromTray();
    if (Designing())
        visibleOnDesigning_ = false;
    else
        visible_ = false;
    if (onHide_) onHide_(this);
    // An owner that is being destroyed is not brought back on the way out.
    if (ownerDestroying()) return;
    if (minimizeToTray_) ShowApplication();
    if (WindowedControl* owner = ownerControl(); owner != nullptr && !owner->visibleProperty())
        owner->setVisibleProperty(true);
}

void TkvTrayIcon::PopupAtCursor() {
    if (popupMenu_ == nullptr || !popupMenu_->AutoPopup()) return;
    const CursorPoint at = backend_.cursorPos();
    backend_.processMessages();
    // The waiting messages may have freed the menu; its free notice cleared it.
    if (popupMenu_ == nullptr) return;
    if (WindowedControl* owner = ownerControl()) backend_.setForegroundWindow(*owner);
    popupMenu_->SetPopupComponent(this);
    popupMenu_->Popup(at.x, at.y);
    if (WindowedControl* owner = ownerControl()) backend_.postNullMessage(*owner);
    if (onPopupMenu_) onPopupMenu_(this);
}

void TkvTrayIcon::WndProc(TMessage& message) {
    if (message.Msg == kTrayCallbackMessage) {
        if (Designing() || !enabled_) return;
        if (handleMouseMessage(message.LParam)) return;
    } else if (message.Msg == kWmQueryEndSession) {
        message.Result = 1;
        return;
    } else if (message.Msg == backend_.taskbarCreatedMessage()) {
        if (visible_) {
            HideIcon();
            ShowIcon();
        }
    }
    TkvCustomTimer::WndProc(message);
}

bool TkvTrayIcon::handleMouseMessage(std::intptr_t mouseMessage) {
    const CursorPoint at = backend_.cursorPos();
    const TShiftState shift = GetShiftState();
    switch (mouseMessage) {
        case kWmMouseMove:
            MouseMove(shift, at.x, at.y);
            return true;
        case kWmLButtonDown:
            MouseDown(TMouseButton::mbLeft, shift + TShiftMember::ssLeft, at.x, at.y);
            leftDown_ = true;
            return true;
        case kWmLButtonUp:
            MouseUp(TMouseButton::mbLeft, shift + TShiftMember::ssLeft, at.x, at.y);
            if (leftDown_) Click();
            if (popupByLeft_) PopupAtCursor();
            leftDown_ = false;
            return true;
        case kWmLButtonDblClk:
            DblClick();
            return true;
        case kWmRButtonDown:
            MouseDown(TMouseButton::mbRight, shift + TShiftMember::ssRight, at.x, at.y);
            return true;
        case kWmRButtonUp:
            MouseUp(TMouseButton::mbRight, shift + TShiftMember::ssRight, at.x, at.y);
            PopupAtCursor();
            return true;
        case kWmMButtonDown:
            MouseDown(TMouseButton::mbMiddle, shift + TShiftMember::ssMiddle, at.x, at.y);
            return true;
        case kWmMButtonUp:
            MouseUp(TMouseButton::mbMiddle, shift + TShiftMember::ssMiddle, at.x, at.y);
            return true;
        default:
            return false;
    }
}

TShiftState TkvTrayIcon::GetShiftState() const {
    const ModifierKeys keys = backend_.modifierKeys();
    TShiftState shift;
    if (keys.shift) shift = shift + TShiftMember::ssShift;
    if (keys.ctrl) shift = shift + TShiftMember::ssCtrl;
    if (keys.alt) shift = shift + TShiftMember::ssAlt;
    return shift;
}

void TkvTrayIcon::MouseMove(TShiftState shift, int x, int y) {
    if (onMouseMove_) onMouseMove_(this, shift, x, y);
}

void TkvTrayIcon::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (onMouseDown_) onMouseDown_(this, button, shift, x, y);
}

void TkvTrayIcon::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (WindowedControl* owner = ownerControl()) backend_.setForegroundWindow(*owner);
    if (onMouseUp_) onMouseUp_(this, button, shift, x, y);
}

void TkvTrayIcon::Click() {
    if (onClick_) onClick_(this);
}

void TkvTrayIcon::DblClick() {
    if (onDblClick_) onDblClick_(this);
}

void TkvTrayIcon::Timer() {
    if (imageList_ != nullptr)
        SetImageIndex(imageIndex_ < imageList_->Count() - 1 ? imageIndex_ + 1 : 0);
    if (onCycleIcons_) onCycleIcons_(this);
}

void TkvTrayIcon::UpdateIconFromImageList() {
    if (imageList_ == nullptr) return;
    icon_ = IconImage{};
    icon_ = imageList_->GetIcon(imageIndex_);
    ModifyIcon();
}

void TkvTrayIcon::Notification(TComponent* component, TOperation operation) {
    TkvCustomTimer::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == popupMenuComponent_) {
        popupMenu_ = nullptr;
        popupMenuComponent_ = nullptr;
    } else if (component == imageListComponent_) {
        imageList_ = nullptr;
        imageListComponent_ = nullptr;
    }
}

WindowedControl* TkvTrayIcon::ownerControl() const {
    return Owner() != nullptr ? Owner()->AsWindowedControl() : nullptr;
}

bool TkvTrayIcon::ownerDestroying() const {
    return Owner() != nullptr && Owner()->IsDestroying();
}

}  // namespace vintrel
