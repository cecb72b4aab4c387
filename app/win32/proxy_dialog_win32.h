#pragma once

#include "app/win32/modal_window_win32.h"
#include "settings/internet_settings.h"

struct HBITMAP__;

namespace vintrel {

/// The "Server Settings" dialog on Win32 (TfrmProxy): how the time server is
/// reached. Created once and reused.
class Win32ProxyDialog final : public Win32ModalWindow, public InternetSettingsView {
public:
    explicit Win32ProxyDialog(HWND__* owner);
    ~Win32ProxyDialog() override;

    void setChoice(ConnectionChoice choice) override;
    ConnectionChoice choice() const override;
    void setProxyAddress(const std::string& text) override;
    std::string proxyAddress() const override;
    void setProxyPort(const std::string& text) override;
    std::string proxyPort() const override;
    bool showModal() override { return runModal() == kModalOk; }

protected:
    bool handleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
                       std::intptr_t& result) override;
    void aboutToShow() override;

private:
    HWND__* control(int id) const;

    HFONT__* font_ = nullptr;
    HBITMAP__* okGlyph_ = nullptr;
    HBITMAP__* cancelGlyph_ = nullptr;
    void* background_brush_ = nullptr;
};

}  // namespace vintrel
