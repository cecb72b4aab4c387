#include "app/win32/win32_menu.h"

#include <atomic>
#include <cwctype>
#include <string>

#include "menulook/gdi_canvas.h"
#include "shell/win32/wide_text.h"

#include "shell/win32/windows_last.h"

namespace vintrel {
namespace {

// Ids are unique over every menu of the program: the main window takes the
// commands of its menu bar and of the notification menu alike.
unsigned NextCommandId() {
    static std::atomic<unsigned> next{100};
    return next++;
}

}  // namespace

Win32Menu::Win32Menu(MenuKind kind) : TMenu(kind) {
    AddObserver(this);
}

Win32Menu::~Win32Menu() {
    RemoveObserver(this);
    Destroy();
}

HMENU Win32Menu::Handle() {
    if (root_ == nullptr) Build();
    return root_;
}

void Win32Menu::Release() {
    root_ = nullptr;
    entries_.clear();
    commands_.clear();
    popups_.clear();
}

void Win32Menu::Destroy() {
    if (root_ != nullptr) DestroyMenu(root_);
    Release();
}

void Win32Menu::Build() {
    root_ = IsMainMenu() ? CreateMenu() : CreatePopupMenu();
    AddItems(root_, Items());
}

void Win32Menu::AddItems(HMENU menu, TMenuItem& parent) {
    UINT position = 0;
    for (int i = 0; i < parent.Count(); ++i) {
        TMenuItem& item = parent.Item(i);
        if (!item.Visible()) continue;
        Entry entry{menu, NextCommandId(), nullptr};
        if (item.Count() > 0) {
            entry.sub = CreatePopupMenu();
            popups_[entry.sub] = &item;
            AddItems(entry.sub, item);
        }
        entries_[&item] = entry;
        commands_[entry.id] = &item;
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_DATA | (entry.sub != nullptr ? MIIM_SUBMENU : 0u);
        info.wID = entry.id;
        info.dwItemData = reinterpret_cast<ULONG_PTR>(&item);
        info.hSubMenu = entry.sub;
        InsertMenuItemW(menu, position++, TRUE, &info);
        Update(item);
    }
}

void Win32Menu::Update(TMenuItem& item) {
    const auto it = entries_.find(&item);
    if (it == entries_.end()) return;
    const Entry& entry = it->second;
    std::wstring caption = WideText(item.Caption());
    const std::string shortCut = item.ShortCutText();
    if (!shortCut.empty()) caption += L"\t" + WideText(shortCut);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    if (OwnerDraw()) {
        // The item paints itself; its data says which model item it is.
        info.fType = MFT_OWNERDRAW;
        if (item.IsSeparator()) info.fType |= MFT_SEPARATOR;
    } else if (item.IsSeparator()) {
        info.fType = MFT_SEPARATOR;
    } else {
        info.fMask |= MIIM_STRING;
        info.fType = MFT_STRING;
        info.dwTypeData = caption.data();
    }
    if (item.RadioItem()) info.fType |= MFT_RADIOCHECK;
    if (IsRightToLeft()) info.fType |= MFT_RIGHTORDER;
    info.fState = (item.Checked() ? MFS_CHECKED : 0u) | (item.Enabled() ? 0u : MFS_DISABLED) |
                  (item.Default() ? MFS_DEFAULT : 0u);
    SetMenuItemInfoW(entry.parent, entry.id, FALSE, &info);
}

bool Win32Menu::Owns(const TMenuItem* item) const {
    return entries_.count(item) != 0;
}

void Win32Menu::ItemInserted(TMenuItem&) {
    if (root_ == nullptr) return;
    Destroy();
    Build();
    if (OnRebuilt) OnRebuilt(root_);
}

void Win32Menu::ItemRemoving(TMenuItem& item) {
    if (root_ == nullptr) return;
    // Rebuilt without it once the model has let it go.
    entries_.erase(&item);
    ForEachItem(item, [this](TMenuItem& gone) { entries_.erase(&gone); });
    Destroy();
}

void Win32Menu::ItemChanged(TMenuItem& item) {
    if (!Owns(&item)) {
        // A hidden item that became visible needs a place of its own.
        if (root_ != nullptr && item.Visible()) ItemInserted(item);
        return;
    }
    if (!item.Visible()) {
        ItemRemoving(item);
        Build();
        if (OnRebuilt) OnRebuilt(root_);
        return;
    }
    Update(item);
}

void Win32Menu::MenuChanged(TMenu&) {
    for (const auto& entry : entries_) Update(*const_cast<TMenuItem*>(entry.first));
}

bool Win32Menu::Command(unsigned id) {
    TMenuItem* item = ItemOfCommand(id);
    if (item == nullptr) return false;
    item->Click();
    return true;
}

bool Win32Menu::PopupOpening(HMENU popup) {
    const auto it = popups_.find(popup);
    if (it == popups_.end()) return false;
    it->second->Click();
    return true;
}

TMenuItem* Win32Menu::ItemOfCommand(unsigned id) const {
    const auto it = commands_.find(id);
    return it == commands_.end() ? nullptr : it->second;
}

HMENU Win32Menu::SubMenuOf(const TMenuItem& item) const {
    const auto it = entries_.find(&item);
    return it == entries_.end() ? nullptr : it->second.sub;
}

bool Win32Menu::MenuChar(HMENU popup, wchar_t key, std::intptr_t& result) const {
    const TMenuItem* parent = nullptr;
    if (popup == root_) {
        parent = &Items();
    } else if (const auto it = popups_.find(popup); it != popups_.end()) {
        parent = it->second;
    }
    if (parent == nullptr) return false;
    const wchar_t wanted = static_cast<wchar_t>(std::towupper(key));
    int position = 0;
    for (int i = 0; i < parent->Count(); ++i) {
        const TMenuItem& item = parent->Item(i);
        if (!item.Visible()) continue;
        const std::wstring caption = WideText(item.Caption());
        for (std::size_t at = caption.find(L'&');
             at != std::wstring::npos && at + 1 < caption.size(); at = caption.find(L'&', at + 2)) {
            if (caption[at + 1] == L'&') continue;
            const auto mnemonic = static_cast<wchar_t>(std::towupper(caption[at + 1]));
            if (mnemonic == wanted && item.Enabled()) {
                result = MAKELRESULT(position, MNC_EXECUTE);
                return true;
            }
            break;
        }
        ++position;
    }
    result = MAKELRESULT(0, MNC_IGNORE);
    return true;
}

bool Win32Menu::MeasureItem(MEASUREITEMSTRUCT& measure) {
    if (measure.CtlType != ODT_MENU) return false;
    // The item data, not the id: the system gives a sub-menu's item no id of ours.
    auto* item = reinterpret_cast<TMenuItem*>(measure.itemData);
    if (!Owns(item) || !item->OnMeasureItem) return false;
    HDC screen = GetDC(nullptr);
    int width = 0;
    int height = 0;
    {
        GdiCanvas canvas(screen);
        item->OnMeasureItem(*item, canvas, width, height);
    }
    ReleaseDC(nullptr, screen);
    measure.itemWidth = static_cast<UINT>(width > 0 ? width : 0);
    measure.itemHeight = static_cast<UINT>(height > 0 ? height : 0);
    return true;
}

bool Win32Menu::DrawItem(const DRAWITEMSTRUCT& draw) {
    if (draw.CtlType != ODT_MENU) return false;
    auto* item = reinterpret_cast<TMenuItem*>(draw.itemData);
    if (!Owns(item) || !item->OnDrawItem) return false;
    GdiCanvas canvas(draw.hDC);
    const Rect rect{draw.rcItem.left, draw.rcItem.top, draw.rcItem.right, draw.rcItem.bottom};
    item->OnDrawItem(*item, canvas, rect, (draw.itemState & ODS_SELECTED) != 0);
    return true;
}

}  // namespace vintrel
