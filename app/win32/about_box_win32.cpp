#include "app/win32/about_box_win32.h"

#include "app/about_notice.h"
#include "app/maker.h"
#include "menulook/color.h"
#include "platform/shell_launcher.h"
#include "shell/win32/wide_text.h"

#include "shell/win32/windows_last.h"

namespace vintrel {
namespace {

const Color kBackground = RGB(0x57, 0x57, 0x57);
constexpr RECT kTitle{178, 16, 178 + 170, 16 + 21};
constexpr RECT kNotice{40, 48, 40 + 305, 48 + 129};
constexpr RECT kLink{168, 184, 168 + 180, 184 + 17};

}  // namespace

Win32AboutBox::Win32AboutBox(ShellLauncher& shell, HWND owner)
    : Win32ModalWindow(owner, L"TfrmAbout", L"About", 365, 213, kBackground), shell_(shell) {
    title_ = MakeFont(L"Terminal", 0, false, 21);
    notice_ = MakeFont(L"Comic Sans MS", 8);
    link_ = MakeFont(L"Comic Sans MS", 9, true);
}

Win32AboutBox::~Win32AboutBox() {
    for (HFONT font : {title_, notice_, link_}) {
        if (font != nullptr) DeleteObject(font);
    }
}

void Win32AboutBox::Label3Click() {
    shell_.openUrl(kMakerUrl);
}

bool Win32AboutBox::handleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
                                  std::intptr_t& result) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window_, &ps);
            SetBkMode(dc, TRANSPARENT);
            const auto text = [dc](HFONT font, Color colour, const std::wstring& words, RECT place,
                                   UINT format) {
                HGDIOBJ old = SelectObject(dc, font);
                SetTextColor(dc, colour);
                DrawTextW(dc, words.c_str(), static_cast<int>(words.size()), &place,
                          format | DT_RIGHT | DT_NOPREFIX);
                SelectObject(dc, old);
            };
            text(title_, RGB(0xFF, 0xFF, 0xFF), L"Vintrel", kTitle, DT_SINGLELINE);
            text(notice_, RGB(0xFF, 0xFF, 0), WideText(AboutNoticeText()), kNotice, DT_WORDBREAK);
            text(link_, RGB(0, 0xFF, 0), WideText(kMakerUrl), kLink, DT_SINGLELINE);
            EndPaint(window_, &ps);
            return true;
        }
        case WM_SETCURSOR: {
            POINT at{};
            GetCursorPos(&at);
            ScreenToClient(window_, &at);
            if (!PtInRect(&kLink, at)) return false;
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            result = TRUE;
            return true;
        }
        case WM_COMMAND:
            // Escape closes the about box, which asks nothing.
            if (LOWORD(wParam) != IDCANCEL) return false;
            end(kModalCancel);
            return true;
        case WM_LBUTTONUP: {
            const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (!PtInRect(&kLink, at)) return false;
            Label3Click();
            return true;
        }
        default:
            return false;
    }
}

}  // namespace vintrel
