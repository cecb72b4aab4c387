#include "app/win32/proxy_dialog_win32.h"

#include "app/win32/resource_ids.h"
#include "app/win32/win32_images.h"
#include "menulook/color.h"
#include "shell/win32/wide_text.h"

#include "shell/win32/windows_last.h"
// After windows.h, which it needs.
#include <uxtheme.h>

namespace vintrel {
namespace {

constexpr int kDirect = 201;
constexpr int kFollowSystem = 202;
constexpr int kProxy = 203;
constexpr int kGroup = 204;
constexpr int kAddressLabel = 205;
constexpr int kAddress = 206;
constexpr int kPortLabel = 207;
constexpr int kPort = 208;
constexpr int kOk = 209;
constexpr int kCancel = 210;

const Color kBackground = RGB(0x57, 0x57, 0x57);

std::string EditText(HWND edit) {
    const int length = GetWindowTextLengthW(edit);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(edit, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return NarrowWide(text);
}

}  // namespace

Win32ProxyDialog::Win32ProxyDialog(HWND owner)
    : Win32ModalWindow(owner, L"TfrmProxy", L"Server Settings", 332, 203, kBackground) {
    font_ = MakeFont(L"MS Sans Serif", 8);
    okGlyph_ = LoadBitmapResource(IDB_OK);
    cancelGlyph_ = LoadBitmapResource(IDB_CANCEL);
    background_brush_ = CreateSolidBrush(kBackground);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x,
                          int y, int w, int h, DWORD exStyle = 0) {
        HWND child =
            CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        return child;
    };
    // Created in tab order: the edit boxes in the group come first, so the
    // address has the focus when the dialog opens; of the three modes, Tab
    // stops at the checked one.
    make(L"BUTTON", L"", BS_GROUPBOX, kGroup, 8, 74, 313, 79);
    make(L"STATIC", L"Proxy Address", SS_LEFT, kAddressLabel, 8 + 16, 74 + 24, 100, 13);
    make(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, kAddress, 8 + 16, 74 + 40, 185, 21,
         WS_EX_CLIENTEDGE);
    make(L"STATIC", L"Proxy Port", SS_LEFT, kPortLabel, 8 + 214, 74 + 24, 80, 13);
    make(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, kPort, 8 + 216, 74 + 40, 73, 21,
         WS_EX_CLIENTEDGE);
    // The caption stands on the left of the button, which keeps its place at
    // the right (128 + 185).
    const DWORD radio = BS_AUTORADIOBUTTON | BS_LEFTTEXT | BS_RIGHT;
    make(L"BUTTON", L"Direct Connection", radio | WS_GROUP | WS_TABSTOP, kDirect, 8, 8, 305, 17);
    make(L"BUTTON", L"Follow Internet Explorer Settings", radio, kFollowSystem, 8, 28, 305, 17);
    make(L"BUTTON", L"Use Proxy Server", radio, kProxy, 8, 48, 305, 17);
    make(L"BUTTON", L"OK", BS_OWNERDRAW, kOk, 184, 164, 65, 30);
    make(L"BUTTON", L"Cancel", BS_OWNERDRAW, kCancel, 256, 164, 65, 30);
    // Themed buttons draw their captions in the theme's colour, not ours.
    for (int id : {kGroup, kDirect, kFollowSystem, kProxy}) SetWindowTheme(control(id), L"", L"");
    setChoice(ConnectionChoice::Direct);
}

Win32ProxyDialog::~Win32ProxyDialog() {
    if (font_ != nullptr) DeleteObject(font_);
    if (okGlyph_ != nullptr) DeleteObject(okGlyph_);
    if (cancelGlyph_ != nullptr) DeleteObject(cancelGlyph_);
    if (background_brush_ != nullptr) DeleteObject(static_cast<HBRUSH>(background_brush_));
}

HWND Win32ProxyDialog::control(int id) const {
    return GetDlgItem(window_, id);
}

void Win32ProxyDialog::aboutToShow() {
    SetFocus(control(kAddress));
}

void Win32ProxyDialog::setChoice(ConnectionChoice choice) {
    int checked = kDirect;
    if (choice == ConnectionChoice::Proxy) checked = kProxy;
    if (choice == ConnectionChoice::FollowSystem) checked = kFollowSystem;
    CheckRadioButton(window_, kDirect, kProxy, checked);
}

ConnectionChoice Win32ProxyDialog::choice() const {
    if (IsDlgButtonChecked(window_, kProxy) == BST_CHECKED) return ConnectionChoice::Proxy;
    if (IsDlgButtonChecked(window_, kFollowSystem) == BST_CHECKED)
        return ConnectionChoice::FollowSystem;
    return ConnectionChoice::Direct;
}

void Win32ProxyDialog::setProxyAddress(const std::string& text) {
    SetWindowTextW(control(kAddress), WideText(text).c_str());
}

std::string Win32ProxyDialog::proxyAddress() const {
    return EditText(control(kAddress));
}

void Win32ProxyDialog::setProxyPort(const std::string& text) {
    SetWindowTextW(control(kPort), WideText(text).c_str());
}

std::string Win32ProxyDialog::proxyPort() const {
    return EditText(control(kPort));
}

bool Win32ProxyDialog::handleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
                                     std::intptr_t& result) {
    switch (message) {
        case WM_COMMAND:
            // A quick second click on a flat button comes as a double click.
            if (HIWORD(wParam) != BN_CLICKED && HIWORD(wParam) != BN_DOUBLECLICKED) return false;
            if (LOWORD(wParam) == kOk) end(kModalOk);
            if (LOWORD(wParam) == kCancel) end(kModalCancel);
            return LOWORD(wParam) == kOk || LOWORD(wParam) == kCancel;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
            SetBkColor(dc, kBackground);
            result = reinterpret_cast<std::intptr_t>(background_brush_);
            return true;
        }
        case WM_DRAWITEM: {
            const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            HDC dc = draw.hDC;
            RECT r = draw.rcItem;
            FillRect(dc, &r, static_cast<HBRUSH>(background_brush_));
            const bool pressed = (draw.itemState & ODS_SELECTED) != 0;
            if (pressed) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
            const int shift = pressed ? 1 : 0;
            const bool ok = draw.CtlID == kOk;
            HDC images = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(images, ok ? okGlyph_ : cancelGlyph_);
            TransparentBlt(dc, 6 + shift, (r.bottom - 16) / 2 + shift, 16, 16, images, 0, 0, 16, 16,
                           RGB(0xC0, 0xC0, 0xC0));
            SelectObject(images, old);
            DeleteDC(images);
            HGDIOBJ oldFont = SelectObject(dc, font_);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
            RECT text{24 + shift, shift, r.right, r.bottom + shift};
            DrawTextW(dc, ok ? L"OK" : L"Cancel", -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
            SelectObject(dc, oldFont);
            result = TRUE;
            return true;
        }
        default:
            return false;
    }
}

}  // namespace vintrel
