#include "app/win32/main_window_win32.h"

#include <algorithm>
#include <stdexcept>

#include "app/main_menus.h"
#include "app/maker.h"
#include "app/win32/resource_ids.h"
#include "app/win32/single_instance_win32.h"
#include "app/win32/win32_application.h"
#include "app/win32/win32_images.h"
#include "app/win32/win32_menu.h"
#include "app/win32/win32_menu_look.h"
#include "menulook/color.h"
#include "platform/win32/message_pump.h"
#include "shell/application_exception.h"
#include "shell/kv_auto_run.h"
#include "shell/popup_menu.h"
#include "shell/tray_icon.h"
#include "shell/win32/tray_backend_win32.h"
#include "shell/win32/wide_text.h"
#include "timesync/regional_format.h"

#include "shell/win32/windows_last.h"

namespace vintrel {
namespace {

constexpr wchar_t kOwnerClass[] = L"VintrelApplication";
constexpr wchar_t kWindowClass[] = L"TfrmTzMain";
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kTimer2 = 2;
constexpr UINT kTimer2Interval = 60000;
constexpr int kPingButtonId = 1001;
constexpr int kLogoButtonId = 1002;

const Color kWindowColour = RGB(0x40, 0x40, 0x40);
const Color kCaptionColour = RGB(0, 0xFF, 0);
const Color kValueColour = RGB(0xFF, 0xFF, 0);
const Color kHeadingColour = RGB(0xFF, 0xFF, 0xFF);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr || form->Handle() != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // An exception must not cross the system's code back to the message loop.
    try {
        return form->handleMessage(message, wParam, lParam);
    } catch (...) {
        handleApplicationException(std::current_exception());
        return 0;
    }
}

void RegisterClasses() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_VINTREL));
    WNDCLASSEXW owner{};
    owner.cbSize = sizeof owner;
    owner.lpfnWndProc = DefWindowProcW;
    owner.hInstance = instance;
    owner.hIcon = icon;
    owner.lpszClassName = kOwnerClass;
    RegisterClassExW(&owner);
    WNDCLASSEXW main{};
    main.cbSize = sizeof main;
    main.lpfnWndProc = MainWindowProc;
    main.hInstance = instance;
    main.hIcon = icon;
    main.hIconSm = icon;
    main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    main.lpszClassName = kWindowClass;
    RegisterClassExW(&main);
}

}  // namespace

struct Win32MainWindow::Label {
    const char* name;
    RECT place;
    Color colour;
    UINT format;
    std::wstring text;
};

// The window as a component owner: the notification icon shows a window
// whose visible property is false when it hides its icon.
class Win32MainWindow::FormComponent final : public TComponent {
public:
    explicit FormComponent(WindowedControl& form) : form_(form) { SetName("frmTzMain"); }
    WindowedControl* AsWindowedControl() override { return &form_; }

private:
    WindowedControl& form_;
};

// The notification menu opened at the cursor: its commands come to the main
// window, which the tray icon has brought to the foreground first.
class Win32MainWindow::TrayMenu final : public TTrayPopupMenu {
public:
    TrayMenu(TComponent* owner, Win32Menu& menu, HWND window)
        : TTrayPopupMenu(owner), menu_(menu), window_(window) {}

    void Popup(int x, int y) override {
        TrackPopupMenuEx(menu_.Handle(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, x, y,
                         window_, nullptr);
    }

private:
    Win32Menu& menu_;
    HWND window_;
};

Win32MainWindow::Win32MainWindow(TzMainServices services, CorrectionOptions options)
    : component_(std::make_unique<FormComponent>(*this)) {
    buildLabels();
    buildMenus();
    createWindows();
    buildComponents();
    services.autoRun = kvAutoRun1;
    handlers_ = std::make_unique<TzMain>(*this, std::move(services), std::move(options));
    startTimer1();
}

Win32MainWindow::~Win32MainWindow() {
    // The icon's last hide must not bring back a window that is going away.
    component_->Destroying();
    delete TrayIcon1;
    TrayIcon1 = nullptr;
    delete kvAutoRun1;
    kvAutoRun1 = nullptr;
    MenuLook1.reset();
    handlers_.reset();
    if (window_ != nullptr) {
        KillTimer(window_, kTimer1);
        KillTimer(window_, kTimer2);
        // The menu bar is the model's to destroy, not the window's.
        SetMenu(window_, nullptr);
        HWND gone = window_;
        window_ = nullptr;
        DestroyWindow(gone);
    }
    if (owner_ != nullptr) DestroyWindow(owner_);
    if (font_ != nullptr) DeleteObject(font_);
    if (pingGlyph_ != nullptr) DeleteObject(pingGlyph_);
    if (logo_ != nullptr) DeleteObject(logo_);
}

TComponent& Win32MainWindow::component() {
    return *component_;
}

void Win32MainWindow::buildLabels() {
    const auto row = [this](int top, const char* caption, const char* valueName,
                            int captionWidth = 200) {
        labels_.push_back({caption,
                           {14, top, 14 + captionWidth, top + 13},
                           kCaptionColour,
                           DT_LEFT | DT_SINGLELINE | DT_NOPREFIX,
                           WideText(caption)});
        // Right-aligned at the designed right edge (272 + 136); a long zone
        // name may use the room up to its caption instead of being cut off.
        const int valueLeft = 14 + captionWidth + 4;
        labels_.push_back({valueName,
                           {valueLeft, top, 272 + 136, top + 13},
                           kValueColour,
                           DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX,
                           WideText(valueName)});
    };
    labels_.push_back({"heading",
                       {5, 48, 205, 61},
                       kHeadingColour,
                       DT_LEFT | DT_SINGLELINE | DT_NOPREFIX,
                       L"Your System Settings . . ."});
    row(73, "Local Time Now", "lblLocal");
    row(89, "Current UTC", "lblSystemUtc");
    row(104, "Currently in", "lblCurrentMode");
    row(128, "Standard Time Zone Name", "lblStdName");
    row(144, "Standard Time Zone Date", "lblStdDate");
    row(160, "Standard Time Zone Bias", "lblStdBias");
    row(184, "Daylight Time Zone Name", "lblDLname");
    row(200, "Daylight Time Zone Date", "lblDlDate");
    row(216, "Daylight Time Zone Bias", "lblDlBias");
    row(241, "Unadjusted UTC Bias", "lblUtcBias");
    row(257, "Date & Time of Last Successful Ping", "lblLastPing", 227);
    label("lblLocal")->text = L"lblSystemUtc";
}

void Win32MainWindow::createWindows() {
    RegisterClasses();
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // The application's own window: never shown, it owns the main window,
    // which therefore has no taskbar button.
    owner_ = CreateWindowExW(0, kOwnerClass, WideText(Win32ApplicationTitle()).c_str(), WS_POPUP, 0,
                             0, 0, 0, nullptr, nullptr, instance, nullptr);
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_TOPMOST;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, style, TRUE, exStyle);
    window_ = CreateWindowExW(exStyle, kWindowClass, L"frmTzMain", style, CW_USEDEFAULT,
                              CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                              owner_, MainMenu1->Handle(), instance, this);
    if (window_ == nullptr) throw std::runtime_error("The main window cannot be created");
    MainMenu1->OnRebuilt = [this](HMENU bar) {
        SetMenu(window_, bar);
        DrawMenuBar(window_);
    };
    // The menu bar may wrap on a narrow, large-font desktop: the client area
    // keeps its designed size whatever the bar takes.
    RECT client{};
    GetClientRect(window_, &client);
    if (client.bottom != kClientHeight || client.right != kClientWidth) {
        RECT outer{};
        GetWindowRect(window_, &outer);
        SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left + kClientWidth - client.right,
                     outer.bottom - outer.top + kClientHeight - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    HDC screen = GetDC(nullptr);
    const int pointHeight = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    font_ = CreateFontW(pointHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
    pingGlyph_ = LoadBitmapResource(IDB_PING);
    logo_ = LoadBitmapResource(IDB_LOGO);
    const DWORD buttonStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
    SpeedButton1 = CreateWindowExW(0, L"BUTTON", L"Ping Now", buttonStyle, 2, 3, 100, 35, window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPingButtonId)),
                                   instance, nullptr);
    SpeedButton2 = CreateWindowExW(0, L"BUTTON", L"", buttonStyle, 250, 3, 169, 35, window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLogoButtonId)),
                                   instance, nullptr);
    SendMessageW(SpeedButton1, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SetWin32BoxOwner(window_);
}

void Win32MainWindow::buildMenus() {
    MainMenu1 = std::make_unique<Win32Menu>(MenuKind::Main);
    MainMenu1->SetName("MainMenu1");
    PopupMenu1 = std::make_unique<Win32Menu>(MenuKind::Popup);
    PopupMenu1->SetName("PopupMenu1");
    FillMainMenus(
        MainMenu1->Items(), PopupMenu1->Items(), [this]() -> TzMain& { return *handlers_; },
        {GlyphBitmap(IDB_PING), GlyphBitmap(IDB_DATETIME), GlyphBitmap(IDB_README),
         GlyphBitmap(IDB_WEB), GlyphBitmap(IDB_ABOUT)},
        serverItems_);
}

void Win32MainWindow::buildComponents() {
    application_ = std::make_unique<Win32ApplicationWindow>(owner_, window_, this);
    trayBackend_ = std::make_unique<Win32TrayBackend>(application_.get(), window_);
    trayMenu_ = std::make_unique<TrayMenu>(component_.get(), *PopupMenu1, window_);

    TrayIcon1 = new TkvTrayIcon(component_.get(), *trayBackend_);
    TrayIcon1->SetName("TrayIcon1");
    TrayIcon1->SetHint("Vintrel");
    TrayIcon1->SetIcon(ProgramIconImage(16));
    TrayIcon1->SetMinimizeToTray(true);
    TrayIcon1->SetPopupMenu(trayMenu_.get());
    TrayIcon1->SetVisible(true);

    kvAutoRun1 = new TkvAutoRun(component_.get());
    kvAutoRun1->SetName("kvAutoRun1");
    MenuLook1 = std::make_unique<Win32MenuLook>(window_, *MainMenu1);
    SetMainMenuLook(*MenuLook1);
    MenuLook1->SetActive(true, {MainMenu1.get(), PopupMenu1.get()});

    // The loaded step, once every stored property is set.
    TrayIcon1->Loaded();
    kvAutoRun1->Loaded();
}

TMenuItem& Win32MainWindow::menuItem(const char* name) const {
    return FindMenuItem({MainMenu1.get(), PopupMenu1.get()}, name);
}

Win32MainWindow::Label* Win32MainWindow::label(const char* name) {
    for (Label& l : labels_) {
        if (std::string_view(l.name) == name) return &l;
    }
    return nullptr;
}

const Win32MainWindow::Label* Win32MainWindow::label(const char* name) const {
    return const_cast<Win32MainWindow*>(this)->label(name);
}

std::string Win32MainWindow::valueText(const char* name) const {
    const Label* l = label(name);
    return l == nullptr ? std::string() : NarrowWide(l->text);
}

void Win32MainWindow::setValue(const char* name, const std::string& text) {
    Label* l = label(name);
    if (l == nullptr) return;
    std::wstring wide = WideText(text);
    if (wide == l->text) return;
    l->text = std::move(wide);
    if (window_ != nullptr) InvalidateRect(window_, &l->place, FALSE);
}

void Win32MainWindow::runFormCreate() {
    try {
        handlers_->FormCreate();
    } catch (...) {
        handleApplicationException(std::current_exception());
        // Start-up ended before the window was shown (settings that cannot be
        // read): without a notification area nothing else would reach it.
        setVisibleProperty(true);
    }
    // A window that starts hidden gets no hide message.
    if (!IsWindowVisible(window_)) handlers_->FormHide();
}

void Win32MainWindow::setDialogs(InternetSettingsView* internetSettings,
                                 std::function<void()> showAbout) {
    handlers_->setInternetSettings(internetSettings);
    showAbout_ = std::move(showAbout);
}

void Win32MainWindow::setLabelText(TimeZoneLabel which, const std::string& text) {
    setValue(TimeZoneLabelName(which), text);
}

void Win32MainWindow::setCaption(const std::string& caption) {
    SetWindowTextW(window_, WideText(caption).c_str());
}

void Win32MainWindow::setLocalText(const std::string& text) {
    setValue("lblLocal", text);
}

void Win32MainWindow::setSystemUtcText(const std::string& text) {
    setValue("lblSystemUtc", text);
}

void Win32MainWindow::setLastPingText(const std::string& text) {
    setValue("lblLastPing", text);
}

void Win32MainWindow::showCheck(MenuCheck item, bool checked) {
    static constexpr const char* kNames[] = {"mnuAutostart", "StartMinimized1", "mnuAutomatic",
                                             "PingDaily1"};
    menuItem(kNames[static_cast<int>(item)]).SetChecked(checked);
}

void Win32MainWindow::showServerCheck(std::size_t index, bool checked) {
    serverItems_.at(index)->SetChecked(checked);
}

void Win32MainWindow::startTimer1() {
    timer1Enabled_ = true;
    SetTimer(window_, kTimer1, static_cast<UINT>(timer1Interval_.count()), nullptr);
}

void Win32MainWindow::setTimer1Enabled(bool enabled) {
    if (!enabled) {
        KillTimer(window_, kTimer1);
        timer1Enabled_ = false;
    } else if (!timer1Enabled_) {
        startTimer1();
    }
}

void Win32MainWindow::setTimer1Interval(std::chrono::milliseconds interval) {
    timer1Interval_ = interval;
    // A new period starts a new countdown, as the timer component does.
    if (timer1Enabled_) startTimer1();
}

void Win32MainWindow::setTimer2Enabled(bool enabled) {
    if (!enabled) {
        KillTimer(window_, kTimer2);
    } else if (!timer2Enabled_) {
        SetTimer(window_, kTimer2, kTimer2Interval, nullptr);
    }
    timer2Enabled_ = enabled;
}

void Win32MainWindow::setVisibleProperty(bool visible) {
    if (visible == visibleProperty_) return;
    visibleProperty_ = visible;
    if (!visible) {
        ShowWindow(window_, SW_HIDE);
        return;
    }
    if (!everShown_) {
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        RECT outer{};
        GetWindowRect(window_, &outer);
        const int width = outer.right - outer.left;
        const int height = outer.bottom - outer.top;
        SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
                     work.top + (work.bottom - work.top - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    everShown_ = true;
    ShowWindow(window_, SW_SHOW);
}

void Win32MainWindow::showWindowNormal() {
    // A window first brought up this way appears at its stored place.
    if (!everShown_) {
        SetWindowPos(window_, nullptr, 381, 192, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    everShown_ = true;
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
}

void Win32MainWindow::hideWindow() {
    ShowWindow(window_, SW_HIDE);
}

void Win32MainWindow::minimizeWindow() {
    if (!everShown_) {
        SetWindowPos(window_, nullptr, 381, 192, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    everShown_ = true;
    ShowWindow(window_, SW_SHOWMINNOACTIVE);
}

bool Win32MainWindow::windowShown() const {
    return IsWindowVisible(window_) != FALSE;
}

void Win32MainWindow::setCursor(CursorShape shape) {
    hourglass_ = shape == CursorShape::Hourglass;
    SetCursor(LoadCursorW(nullptr, hourglass_ || screenHourglass_ ? IDC_WAIT : IDC_ARROW));
}

// The program's windows show the hourglass; Win32 gives no program the
// cursor of other programs' windows.
void Win32MainWindow::setScreenCursor(CursorShape shape) {
    screenHourglass_ = shape == CursorShape::Hourglass;
    SetCursor(LoadCursorW(nullptr, hourglass_ || screenHourglass_ ? IDC_WAIT : IDC_ARROW));
}

void Win32MainWindow::showMessage(const std::string& text) {
    ShowWin32MessageBox(window_, text);
}

void Win32MainWindow::processPendingEvents() {
    ProcessWin32Messages();
}

void Win32MainWindow::showAboutBox() {
    if (showAbout_) showAbout_();
}

void Win32MainWindow::closeApplication() {
    ShowWindow(window_, SW_HIDE);
    PostQuitMessage(0);
}

void Win32MainWindow::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    const RECT client{0, 0, kClientWidth, kClientHeight};
    HBRUSH background = CreateSolidBrush(kWindowColour);
    FillRect(dc, &client, background);
    DeleteObject(background);
    RECT bevel{0, 0, kClientWidth, 41};
    DrawEdge(dc, &bevel, BDR_RAISEDINNER, BF_RECT);
    HGDIOBJ oldFont = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    for (Label& l : labels_) {
        SetTextColor(dc, l.colour);
        RECT place = l.place;
        DrawTextW(dc, l.text.c_str(), static_cast<int>(l.text.size()), &place, l.format);
    }
    SelectObject(dc, oldFont);
    EndPaint(window_, &ps);
}

void Win32MainWindow::drawButton(const void* item) {
    const auto& draw = *static_cast<const DRAWITEMSTRUCT*>(item);
    HDC dc = draw.hDC;
    RECT r = draw.rcItem;
    HBRUSH background = CreateSolidBrush(kWindowColour);
    FillRect(dc, &r, background);
    DeleteObject(background);
    // Flat buttons: an edge only while pressed.
    if ((draw.itemState & ODS_SELECTED) != 0) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    const int shift = (draw.itemState & ODS_SELECTED) != 0 ? 1 : 0;
    HDC images = CreateCompatibleDC(dc);
    if (draw.hwndItem == SpeedButton1) {
        HGDIOBJ old = SelectObject(images, pingGlyph_);
        const int top = (r.bottom - r.top - 16) / 2 + shift;
        TransparentBlt(dc, 8 + shift, top, 16, 16, images, 0, 0, 16, 16, RGB(0xC0, 0xC0, 0xC0));
        SelectObject(images, old);
        HGDIOBJ oldFont = SelectObject(dc, font_);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
        RECT text{28 + shift, r.top + shift, r.right, r.bottom + shift};
        DrawTextW(dc, L"Ping Now", -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, oldFont);
    } else {
        HGDIOBJ old = SelectObject(images, logo_);
        BitBlt(dc, (r.right - r.left - 150) / 2 + shift, (r.bottom - r.top - 27) / 2 + shift, 150,
               27, images, 0, 0, SRCCOPY);
        SelectObject(images, old);
    }
    DeleteDC(images);
}

std::intptr_t Win32MainWindow::handleMessage(unsigned message, std::uintptr_t wParam,
                                             std::intptr_t lParam) {
    // The messages of the window's creation come before its behaviour is there.
    // The menus are measured as soon as the look is on, before that.
    const bool drawing = message == WM_PAINT || message == WM_MEASUREITEM || message == WM_DRAWITEM;
    if (!handlers_ && !drawing) return DefWindowProcW(window_, message, wParam, lParam);
    if (showRequest_ != 0 && message == showRequest_) {
        showWindowNormal();
        return Win32SingleInstance::kShownAnswer;
    }
    switch (message) {
        case WM_PAINT:
            paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_TIMER:
            if (wParam == kTimer1) handlers_->Timer1Timer();
            if (wParam == kTimer2) handlers_->Timer2Timer();
            return 0;
        case WM_COMMAND:
            if (lParam == 0) {
                const auto id = static_cast<unsigned>(LOWORD(wParam));
                if (!MainMenu1->Command(id)) PopupMenu1->Command(id);
            } else if (HIWORD(wParam) == BN_CLICKED) {
                if (LOWORD(wParam) == kPingButtonId) handlers_->mnuPingClick();
                if (LOWORD(wParam) == kLogoButtonId) handlers_->SpeedButton2Click();
            }
            return 0;
        case WM_INITMENUPOPUP:
            if (!MainMenu1->PopupOpening(reinterpret_cast<HMENU>(wParam)))
                PopupMenu1->PopupOpening(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_MEASUREITEM: {
            auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (!MainMenu1->MeasureItem(measure)) PopupMenu1->MeasureItem(measure);
            return TRUE;
        }
        case WM_DRAWITEM: {
            const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (draw.CtlType == ODT_BUTTON) {
                drawButton(&draw);
            } else if (!MainMenu1->DrawItem(draw)) {
                PopupMenu1->DrawItem(draw);
            }
            return TRUE;
        }
        case WM_MENUCHAR: {
            std::intptr_t result = 0;
            const auto key = static_cast<wchar_t>(LOWORD(wParam));
            if (MainMenu1->MenuChar(reinterpret_cast<HMENU>(lParam), key, result) ||
                PopupMenu1->MenuChar(reinterpret_cast<HMENU>(lParam), key, result))
                return result;
            break;
        }
        case WM_SETCURSOR:
            if (hourglass_ || screenHourglass_) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_SHOWWINDOW:
            // Also the owner's minimising and restoring (lParam says so).
            if (wParam != 0) {
                handlers_->FormShow();
            } else {
                handlers_->FormHide();
            }
            return 0;
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED) {
                minimised_ = true;
                handlers_->FormHide();
                trayBackend_->applicationMinimised();
            } else if (minimised_ && wParam == SIZE_RESTORED) {
                minimised_ = false;
                handlers_->FormShow();
            }
            return 0;
        case WM_CLOSE:
            // Closing only hides the window unless the program is ending.
            if (handlers_->FormClose()) PostQuitMessage(0);
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wParam != 0) PostQuitMessage(0);
            return 0;
        case WM_SETTINGCHANGE:
            // The dates and times written from now on follow new regional settings.
            if (lParam != 0 &&
                std::wstring_view(reinterpret_cast<const wchar_t*>(lParam)) == L"intl")
                ReloadRegionalSettings();
            break;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace vintrel
