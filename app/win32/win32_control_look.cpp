#include "app/win32/win32_control_look.h"

#include <string>
#include <vector>

#include "app/win32/win32_menu_look.h"
#include "menulook/gdi_canvas.h"
#include "shell/win32/wide_text.h"

#include "shell/win32/windows_last.h"

namespace vintrel {

namespace {

constexpr UINT_PTR kSubclassId = 0x5649;  // one subclass of ours per control

std::wstring ClassNameOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

LRESULT CALLBACK ControlSubclassProc(HWND /*window*/, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR /*id*/, DWORD_PTR data) {
    auto& control = *reinterpret_cast<Win32ControlLook::Control*>(data);
    return control.look->Dispatch(control, message, wParam, lParam);
}

// The colour the parent gives the control to paint on, and the colour of its
// text, as the parent answers the control's colour message.
void ParentColours(HWND window, TLookControl kind, Color& background, Color& text) {
    UINT message = WM_CTLCOLORSTATIC;
    if (kind == xcButton) message = WM_CTLCOLORBTN;
    if (kind == xcEdit || kind == xcCombo) message = WM_CTLCOLOREDIT;
    const bool field = kind == xcEdit || kind == xcCombo;
    background = GetSysColor(field ? COLOR_WINDOW : COLOR_BTNFACE) & 0xFFFFFF;
    text = GetSysColor(field ? COLOR_WINDOWTEXT : COLOR_BTNTEXT) & 0xFFFFFF;
    HWND parent = GetParent(window);
    HDC dc = CreateCompatibleDC(nullptr);
    if (parent == nullptr || dc == nullptr) {
        if (dc != nullptr) DeleteDC(dc);
        return;
    }
    SetTextColor(dc, text);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
    LOGBRUSH described{};
    if (brush != nullptr && GetObjectW(brush, sizeof described, &described) == sizeof described &&
        described.lbStyle == BS_SOLID)
        background = described.lbColor & 0xFFFFFF;
    text = GetTextColor(dc) & 0xFFFFFF;
    DeleteDC(dc);
}

// The messages after which a button has drawn its state straight onto the
// screen, outside its paint: the look's face goes back over it.
bool RedrawnOutsidePaint(UINT message) {
    switch (message) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
        case WM_SETTEXT:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CAPTURECHANGED:
        case WM_UPDATEUISTATE:
        case BM_SETSTATE:
        case BM_SETCHECK:
        case BM_SETSTYLE:
        case CB_SHOWDROPDOWN:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::optional<TLookControl> Win32ControlKind(HWND window) {
    if (window == nullptr) return std::nullopt;
    const std::wstring name = ClassNameOf(window);
    if (_wcsicmp(name.c_str(), L"EDIT") == 0) return xcEdit;
    if (_wcsicmp(name.c_str(), L"COMBOBOX") == 0) return xcCombo;
    if (_wcsicmp(name.c_str(), L"BUTTON") != 0) return std::nullopt;
    switch (GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            return xcButton;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
            return xcCheckBox;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return xcRadioButton;
        default:
            return std::nullopt;
    }
}

std::optional<TLookContainer> Win32ContainerKind(HWND parent) {
    if (parent == nullptr) return std::nullopt;
    if ((GetWindowLongPtrW(parent, GWL_STYLE) & WS_CHILD) == 0) return xcForm;
    const std::wstring name = ClassNameOf(parent);
    if (name == TOOLBARCLASSNAMEW) return xcToolbar;
    if (name == REBARCLASSNAMEW) return xcCoolbar;
    if (name == WC_TABCONTROLW) return xcTabSheet;
    if (_wcsicmp(name.c_str(), L"BUTTON") == 0) {
        if ((GetWindowLongPtrW(parent, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) return xcGroupBox;
        return std::nullopt;
    }
    if (_wcsicmp(name.c_str(), L"STATIC") == 0) return xcPanel;
    WNDCLASSEXW own{};
    own.cbSize = sizeof own;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), name.c_str(), &own)) return xcPanel;
    return std::nullopt;
}

Win32ControlLook::~Win32ControlLook() {
    ReleaseAll();
}

void Win32ControlLook::Apply(HWND container, bool activate, LookSet controls, LookSet containers) {
    if (!activate) {
        ReleaseAll();
        return;
    }
    if (container == nullptr) return;
    // Every window under the container, with the kind of its own parent: a
    // control's inner windows (a combo box's edit) have a control for parent
    // and so are never taken.
    std::vector<HWND> windows;
    EnumChildWindows(
        container,
        [](HWND window, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
        const std::optional<TLookControl> kind = Win32ControlKind(window);
        const bool held =
            RestylesControl(controls, containers, kind, Win32ContainerKind(GetParent(window)));
        if (held && !Intercepts(window)) Take(window, *kind);
        if (!held && Intercepts(window)) Release(window);
    }
}

void Win32ControlLook::Take(HWND window, TLookControl kind) {
    auto control = std::make_unique<Control>();
    control->look = this;
    control->window = window;
    control->kind = kind;
    if (!SetWindowSubclass(window, ControlSubclassProc, kSubclassId,
                           reinterpret_cast<DWORD_PTR>(control.get())))
        return;
    // The look draws an edit box's border itself, one pixel wide.
    if (kind == xcEdit) {
        const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
        control->savedBorder = (exStyle & WS_EX_CLIENTEDGE) != 0 ||
                               (GetWindowLongPtrW(window, GWL_STYLE) & WS_BORDER) != 0;
        if ((exStyle & WS_EX_CLIENTEDGE) != 0) {
            SetWindowLongPtrW(window, GWL_EXSTYLE, exStyle & ~WS_EX_CLIENTEDGE);
            control->borderRemoved = true;
            SetWindowPos(
                window, nullptr, 0, 0, 0, 0,
                SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    controls_[window] = std::move(control);
    InvalidateRect(window, nullptr, TRUE);
}

void Win32ControlLook::Release(HWND window) {
    const auto found = controls_.find(window);
    if (found == controls_.end()) return;
    Control& control = *found->second;
    if (control.leaveTracked) {
        TRACKMOUSEEVENT cancel{sizeof cancel, TME_LEAVE | TME_CANCEL, window, 0};
        TrackMouseEvent(&cancel);
    }
    RemoveWindowSubclass(window, ControlSubclassProc, kSubclassId);
    if (control.borderRemoved) {
        SetWindowLongPtrW(window, GWL_EXSTYLE,
                          GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    controls_.erase(found);
    InvalidateRect(window, nullptr, TRUE);
}

void Win32ControlLook::ReleaseAll() {
    while (!controls_.empty()) Release(controls_.begin()->first);
}

std::intptr_t Win32ControlLook::Dispatch(Control& control, unsigned message, std::uintptr_t wParam,
                                         std::intptr_t lParam) {
    HWND window = control.window;
    if (message == WM_NCDESTROY) {
        // The control goes: so does its record, before the last message is through.
        RemoveWindowSubclass(window, ControlSubclassProc, kSubclassId);
        controls_.erase(window);
        return DefSubclassProc(window, message, wParam, lParam);
    }
    if (message == WM_PAINT) {
        if (PaintsOverControl(control.kind)) {
            const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
            Paint(control, true);
            return result;
        }
        Paint(control, false);
        return 0;
    }
    // The control handles every message first; the look's state follows it.
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    // The message may have ended the control or the look's hold on it.
    const auto still = controls_.find(window);
    if (still == controls_.end() || still->second.get() != &control) return result;
    ControlMessage seen = ControlMessage::Other;
    int virtualKey = 0;
    switch (message) {
        case WM_MOUSEMOVE:
            if (!control.leaveTracked) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
                control.leaveTracked = TrackMouseEvent(&track) != FALSE;
                seen = ControlMessage::MouseEnter;
            }
            break;
        case WM_MOUSELEAVE:
            control.leaveTracked = false;
            seen = ControlMessage::MouseLeave;
            break;
        case WM_SETFOCUS:
            seen = ControlMessage::SetFocus;
            break;
        case WM_KILLFOCUS:
            seen = ControlMessage::KillFocus;
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            seen = ControlMessage::LButtonDown;
            break;
        case WM_LBUTTONUP:
            seen = ControlMessage::LButtonUp;
            break;
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (wParam == VK_SPACE) {
                virtualKey = VK_SPACE;
                seen = message == WM_KEYDOWN ? ControlMessage::KeyDown : ControlMessage::KeyUp;
            }
            break;
        case BM_SETCHECK:
            seen = ControlMessage::SetCheck;
            break;
        default:
            break;
    }
    bool repaint = seen != ControlMessage::Other && control.tracker.Handle(seen, virtualKey);
    if (seen == ControlMessage::KillFocus)
        repaint = control.tracker.Handle(ControlMessage::Exit) || repaint;
    // Buttons and combo boxes draw some state changes straight away.
    if (control.kind != xcEdit && RedrawnOutsidePaint(message)) repaint = true;
    if (repaint) InvalidateRect(window, nullptr, FALSE);
    return result;
}

ControlFace Win32ControlLook::FaceOf(const Control& control) const {
    HWND window = control.window;
    ControlFace face;
    RECT client{};
    GetClientRect(window, &client);
    face.client = {client.left, client.top, client.right, client.bottom};
    face.hot = control.tracker.Hot();
    face.focused = GetFocus() == window;
    const LRESULT state = control.kind == xcEdit || control.kind == xcCombo
                              ? 0
                              : SendMessageW(window, BM_GETSTATE, 0, 0);
    face.buttonDown = control.tracker.ButtonDown() || (state & BST_PUSHED) != 0;
    face.spaceDown = control.tracker.SpaceDown();
    face.checked = (state & BST_CHECKED) != 0;
    face.enabled = IsWindowEnabled(window) != FALSE;
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    const bool boxOnRight = (control.kind == xcCheckBox || control.kind == xcRadioButton) &&
                            ((style & BS_LEFTTEXT) != 0 || (exStyle & WS_EX_RIGHT) != 0);
    face.rightToLeft = (exStyle & WS_EX_LAYOUTRTL) != 0 || boxOnRight;
    face.singleBorder = control.savedBorder;
    face.isDefault = control.kind == xcButton && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    if (control.kind == xcCombo) {
        face.droppedDown = SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0) != 0;
        face.thumbSize = GetSystemMetrics(SM_CXVSCROLL);
    } else {
        face.thumbSize = GetSystemMetrics(SM_CXMENUCHECK);
    }
    const int length = GetWindowTextLengthW(window);
    std::wstring caption(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window, caption.data(), length + 1);
    caption.resize(static_cast<std::size_t>(length));
    face.caption = NarrowWide(caption);
    auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    if (font == nullptr) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW described{};
    if (GetObjectW(font, sizeof described, &described) != 0)
        face.font = FontFaceOfLogFont(described);
    ParentColours(window, control.kind, face.controlColor, face.font.Color);
    return face;
}

void Win32ControlLook::Paint(Control& control, bool overSystemPaint) {
    HWND window = control.window;
    ControlFace face = FaceOf(control);
    ControlPainter painter(rules_);
    if (overSystemPaint) {
        HideCaret(window);
        HDC dc = GetDC(window);
        {
            GdiCanvas canvas(dc);
            painter.PaintControl(canvas, control.kind, face);
        }
        ReleaseDC(window, dc);
        ShowCaret(window);
        return;
    }
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    {
        GdiCanvas canvas(dc);
        painter.PaintControl(canvas, control.kind, face);
    }
    EndPaint(window, &paint);
}

}  // namespace vintrel
