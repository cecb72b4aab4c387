#pragma once

#include <string>

namespace vintrel {

/// The three ways of reaching the time server, as the dialog's radio buttons show them.
enum class ConnectionChoice { Direct, FollowSystem, Proxy };

/// What the Internet settings handler needs of its dialog.
class InternetSettingsView {
public:
    virtual ~InternetSettingsView() = default;
    virtual void setChoice(ConnectionChoice choice) = 0;
    virtual ConnectionChoice choice() const = 0;
    virtual void setProxyAddress(const std::string& text) = 0;
    virtual std::string proxyAddress() const = 0;
    virtual void setProxyPort(const std::string& text) = 0;
    virtual std::string proxyPort() const = 0;
    /// Shows the dialog modally; true when it ended with OK.
    virtual bool showModal() = 0;
};

/// Fills the dialog from the stored settings, shows it, and stores what it
/// holds when it ends with OK; a cancelled edit stores nothing.
void EditInternetSettings(InternetSettingsView& dialog);

}  // namespace vintrel
