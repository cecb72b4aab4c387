#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include "menulook/menu_model.h"

struct HMENU__;
struct tagMEASUREITEMSTRUCT;
struct tagDRAWITEMSTRUCT;

namespace vintrel {

/// The menu framework on Win32: the menu model mirrored into a menu bar
/// (CreateMenu) or a popup menu (CreatePopupMenu) with one system item per
/// model item. While the model is marked owner-drawn the items are
/// MFT_OWNERDRAW and their size and picture come from the items' own
/// OnMeasureItem and OnDrawItem handlers on a GDI canvas.
class Win32Menu final : public TMenu, private MenuObserver {
public:
    explicit Win32Menu(MenuKind kind);
    ~Win32Menu() override;

    /// The system menu, built on first use and rebuilt when items come or go.
    HMENU__* Handle();
    /// Told after a rebuild, so a window can take the new menu bar.
    std::function<void(HMENU__*)> OnRebuilt;
    /// Gives up the system menu without destroying it (a window that is being
    /// destroyed destroys its own menu bar).
    void Release();

    /// WM_COMMAND for a menu item: runs the item's click; false when the
    /// command is not one of this menu's.
    bool Command(unsigned id);
    /// WM_INITMENUPOPUP: the parent item of an opening sub-menu is clicked.
    bool PopupOpening(HMENU__* popup);
    /// WM_MEASUREITEM and WM_DRAWITEM of an owner-drawn item of this menu.
    bool MeasureItem(tagMEASUREITEMSTRUCT& measure);
    bool DrawItem(const tagDRAWITEMSTRUCT& draw);
    /// WM_MENUCHAR: an owner-drawn item has no text the system could search
    /// for its mnemonic, so the model's captions are searched here. The answer
    /// is WM_MENUCHAR's result; false when `popup` is not one of this menu's.
    bool MenuChar(HMENU__* popup, wchar_t key, std::intptr_t& result) const;

    /// The model item of a command id of this menu; nullptr for none.
    TMenuItem* ItemOfCommand(unsigned id) const;
    /// The system sub-menu of a parent item; nullptr for none.
    HMENU__* SubMenuOf(const TMenuItem& item) const;

private:
    struct Entry {
        HMENU__* parent = nullptr;
        unsigned id = 0;
        HMENU__* sub = nullptr;
    };

    void Build();
    void Destroy();
    void AddItems(HMENU__* menu, TMenuItem& parent);
    void Update(TMenuItem& item);
    bool Owns(const TMenuItem* item) const;

    void ItemInserted(TMenuItem& item) override;
    void ItemRemoving(TMenuItem& item) override;
    void ItemChanged(TMenuItem& item) override;
    void MenuChanged(TMenu& menu) override;

    HMENU__* root_ = nullptr;
    std::map<const TMenuItem*, Entry> entries_;
    std::map<unsigned, TMenuItem*> commands_;
    std::map<HMENU__*, TMenuItem*> popups_;
};

}  // namespace vintrel
