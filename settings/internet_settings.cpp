#include "settings/internet_settings.h"

#include "settings/settings_store.h"

namespace vintrel {
namespace {

ConnectionChoice ChoiceOf(const std::string& connectionType) {
    if (connectionType == "3") return ConnectionChoice::Proxy;
    if (connectionType == "2") return ConnectionChoice::FollowSystem;
    return ConnectionChoice::Direct;
}

const char* ConnectionTypeOf(ConnectionChoice choice) {
    switch (choice) {
        case ConnectionChoice::Proxy:
            return "3";
        case ConnectionChoice::FollowSystem:
            return "2";
        case ConnectionChoice::Direct:
            break;
    }
    return "1";
}

}  // namespace

void EditInternetSettings(InternetSettingsView& dialog) {
    dialog.setChoice(ChoiceOf(ReadSetting(kSettingsKey, "ConnectionType", "1")));
    dialog.setProxyAddress(ReadSetting(kSettingsKey, "Address", ""));
    dialog.setProxyPort(ReadSetting(kSettingsKey, "Port", ""));
    if (!dialog.showModal()) return;
    // Stored together: a mode without its proxy address would send the next
    // query to the wrong place.
    WriteSettings(kSettingsKey, {{"ConnectionType", ConnectionTypeOf(dialog.choice())},
                                 {"Address", dialog.proxyAddress()},
                                 {"Port", dialog.proxyPort()}});
}

}  // namespace vintrel
