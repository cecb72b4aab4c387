#include "app/win32/win32_control_look.h"

#include <gtest/gtest.h>

#include "app/win32/win32_menu_look.h"

#include "shell/win32/windows_last.h"

namespace vintrel {
namespace {

class Rules : public MenuLookRules {
public:
    Rules() : MenuLookRules(DesktopLookEnvironment()) {}
};

// A form (a top-level window out of sight) to hold the controls.
class Form : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 200, HWND_MESSAGE, nullptr,
                                nullptr, nullptr);
        ASSERT_NE(form_, nullptr);
    }
    void TearDown() override {
        look_.Apply(form_, false, {}, {});
        DestroyWindow(form_);
    }
    HWND Add(const wchar_t* cls, DWORD style, DWORD exStyle = 0) {
        return CreateWindowExW(exStyle, cls, L"x", WS_CHILD | style, 0, 0, 80, 24, form_, nullptr,
                               nullptr, nullptr);
    }

    Rules rules_;
    Win32ControlLook look_{rules_};
    HWND form_ = nullptr;
};

// The program's speed buttons are owner-drawn BUTTONs: the look must leave
// them to their owner whatever the sets say; the stored sets hold no edit box
// and no control straight on a form.
TEST_F(Form, TakesOnlyTheKindsAndParentsTheSetsHold) {
    struct Case {
        const wchar_t* cls;
        DWORD style;
        LookSet containers;
        bool taken;
    };
    const LookSet form{xcForm};
    const Case cases[] = {
        {L"BUTTON", BS_PUSHBUTTON, form, true},
        {L"BUTTON", BS_DEFPUSHBUTTON, form, true},
        {L"BUTTON", BS_AUTOCHECKBOX, form, true},
        {L"BUTTON", BS_AUTORADIOBUTTON, form, true},
        {L"BUTTON", BS_OWNERDRAW, form, false},
        {L"BUTTON", BS_GROUPBOX, form, false},
        {L"EDIT", 0, form, false},
        {L"STATIC", 0, form, false},
        {L"BUTTON", BS_PUSHBUTTON, kDefaultLookContainers, false},
    };
    for (const Case& c : cases) {
        HWND control = Add(c.cls, c.style);
        look_.Apply(form_, true, kDefaultLookControls, c.containers);
        EXPECT_EQ(look_.Intercepts(control), c.taken) << c.style;
        look_.Apply(form_, false, {}, {});
        DestroyWindow(control);
    }
}

// Letting go gives an edit box its sunken border back; a control destroyed
// while held leaves no record behind; a set that drops a kind lets it go.
TEST_F(Form, LetsControlsGo) {
    const LookSet form{xcForm};
    HWND edit = Add(L"EDIT", 0, WS_EX_CLIENTEDGE);
    HWND push = Add(L"BUTTON", BS_PUSHBUTTON);
    look_.Apply(form_, true, LookSet{xcEdit, xcButton}, form);
    ASSERT_TRUE(look_.Intercepts(edit));
    EXPECT_EQ(GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);

    look_.Apply(form_, true, LookSet{xcButton}, form);
    EXPECT_FALSE(look_.Intercepts(edit));
    EXPECT_NE(GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);

    DestroyWindow(push);
    EXPECT_EQ(look_.InterceptedCount(), 0u);
}

// The face on screen is the look's while it holds the button and the system's
// again once it lets go: the look's rounded corner leaves the corner pixel in
// the button face, where the system draws its raised frame.
TEST(ShownForm, PaintsAHeldPushButtonItself) {
    Rules rules;
    Win32ControlLook look{rules};
    HWND form = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_NE(form, nullptr);
    HWND push = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10,
                                80, 24, form, nullptr, nullptr, nullptr);
    const auto corner = [push] {
        RedrawWindow(push, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        HDC dc = GetDC(push);
        const COLORREF pixel = GetPixel(dc, 0, 0);
        ReleaseDC(push, dc);
        return pixel;
    };
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    look.Apply(form, true, kDefaultLookControls, LookSet{xcForm});
    ASSERT_TRUE(look.Intercepts(push));
    EXPECT_EQ(corner(), face);
    look.Apply(form, false, {}, {});
    EXPECT_NE(corner(), face);
    DestroyWindow(form);
}

}  // namespace
}  // namespace vintrel
