#include "app/main_menus.h"

#include <stdexcept>
#include <string>
#include <utility>

#include "app/maker.h"
#include "app/tz_main.h"

namespace vintrel {
namespace {

TMenuItem& AddItem(TMenuItem& parent, const char* name, const char* caption,
                   std::function<void()> handler = {}) {
    TMenuItem& item = parent.Add(caption);
    item.SetName(name);
    if (handler) item.OnClick = [handler = std::move(handler)](TMenuItem&) { handler(); };
    return item;
}

}  // namespace

void FillMainMenus(TMenuItem& bar, TMenuItem& popup, std::function<TzMain&()> handlers,
                   const MenuGlyphs& glyphs, std::array<TMenuItem*, kTimeServers.size()>& servers) {
    // Each handler looks the behaviour up when clicked: the window creates it
    // after its menus.
    const auto on = [handlers](void (TzMain::*command)()) {
        return [handlers, command] { (handlers().*command)(); };
    };
    TMenuItem& file = AddItem(bar, "File1", "&File", on(&TzMain::File1Click));
    AddItem(file, "mnuPing", "&Ping Atomic Clock", on(&TzMain::mnuPingClick))
        .SetBitmap(glyphs.ping);
    AddItem(file, "N3", "-");
    AddItem(file, "mnuAutostart", "Auto Start with Windows", on(&TzMain::mnuAutostartClick));
    AddItem(file, "StartMinimized1", "Start Minimized", on(&TzMain::StartMinimized1Click));
    AddItem(file, "mnuAutomatic", "&Auto Synchronize Daily", on(&TzMain::mnuAutomaticClick));
    TMenuItem& serverMenu =
        AddItem(file, "mnuServers", "&Time Servers", on(&TzMain::mnuServersClick));
    for (std::size_t i = 0; i < kTimeServers.size(); ++i) {
        const std::string address(kTimeServers[i]);
        TMenuItem& item =
            AddItem(serverMenu, ("Server" + std::to_string(i + 1)).c_str(), address.c_str(),
                    [handlers, i] { handlers().ServerItemClick(i); });
        item.SetHint(address);
        item.SetRadioItem(true);
        item.SetGroupIndex(1);
        servers[i] = &item;
    }
    AddItem(file, "N2", "-");
    AddItem(file, "mnuExit", "&Exit", on(&TzMain::mnuExitClick));

    TMenuItem& tools = AddItem(bar, "Tools1", "&Tools");
    AddItem(tools, "mnuProxy", "Internet Settings", on(&TzMain::mnuProxyClick));
    AddItem(tools, "mnuControlPanel", "&System Date/Time", on(&TzMain::mnuControlPanelClick))
        .SetBitmap(glyphs.dateTime);

    TMenuItem& help = AddItem(bar, "Help1", "&Help");
    AddItem(help, "mnuReadme", "&Read me", on(&TzMain::mnuReadmeClick)).SetBitmap(glyphs.readme);
    AddItem(help, "mnuQuorrel", kMakerMenuCaption, on(&TzMain::mnuQuorrelClick))
        .SetBitmap(glyphs.web);
    AddItem(help, "mnuAbout", "&About this program", on(&TzMain::mnuAboutClick))
        .SetBitmap(glyphs.about);

    AddItem(popup, "OpenVintrel1", "&Open Vintrel.", on(&TzMain::OpenVintrel1Click));
    AddItem(popup, "PingAtomicClockNow1", "&Ping Now", on(&TzMain::mnuPingClick))
        .SetBitmap(glyphs.ping);
    AddItem(popup, "PingDaily1", "&Auto Synchronized Daily", on(&TzMain::mnuAutomaticClick));
    AddItem(popup, "N1", "-");
    AddItem(popup, "Exit1", "E&xit", on(&TzMain::mnuExitClick));
}

TMenuItem& FindMenuItem(std::initializer_list<TMenu*> menus, const char* name) {
    TMenuItem* found = nullptr;
    for (TMenu* menu : menus) {
        ForEachItem(menu->Items(), [&](TMenuItem& item) {
            if (found == nullptr && item.Name() == name) found = &item;
        });
        if (found != nullptr) return *found;
    }
    throw std::out_of_range(std::string("no menu item ") + name);
}

}  // namespace vintrel
