#pragma once

#include "app/win32/modal_window_win32.h"

namespace vintrel {

class ShellLauncher;

/// The about box on Win32 (TfrmAbout): the product's name, the maker's notice
/// and a link to the maker's web site. Created once and reused.
class Win32AboutBox final : public Win32ModalWindow {
public:
    Win32AboutBox(ShellLauncher& shell, HWND__* owner);
    ~Win32AboutBox() override;

    void Label3Click();

protected:
    bool handleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
                       std::intptr_t& result) override;

private:
    ShellLauncher& shell_;
    HFONT__* title_ = nullptr;
    HFONT__* notice_ = nullptr;
    HFONT__* link_ = nullptr;
};

}  // namespace vintrel
