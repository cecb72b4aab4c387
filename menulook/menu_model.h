#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "menulook/bitmap.h"
#include "menulook/geometry.h"

namespace vintrel {

class Canvas;
class TImageList;
class TMenu;
class TMenuItem;

/// A handler slot of a menu item that remembers which object installed it, so
/// an installer can tell its own handler from one the application put there.
template <typename Signature>
class ItemHandler {
public:
    ItemHandler() = default;
    ItemHandler(std::function<Signature> call, const void* owner = nullptr)
        : call_(std::move(call)), owner_(call_ ? owner : nullptr) {}

    explicit operator bool() const { return static_cast<bool>(call_); }
    bool IsFrom(const void* owner) const { return call_ && owner != nullptr && owner_ == owner; }
    const void* Owner() const { return owner_; }

    template <typename... Args>
    void operator()(Args&&... args) const {
        if (call_) call_(std::forward<Args>(args)...);
    }

private:
    std::function<Signature> call_;
    const void* owner_ = nullptr;
};

/// Asked for an owner-drawn item's size: may enlarge (or set) the proposed width and height.
using MeasureItemHandler = ItemHandler<void(TMenuItem&, Canvas&, int& width, int& height)>;
/// Asked for an owner-drawn item's picture in `rect`.
using DrawItemHandler = ItemHandler<void(TMenuItem&, Canvas&, const Rect& rect, bool selected)>;

/// Told of every change of a menu's items, so a toolkit can mirror them.
class MenuObserver {
public:
    virtual ~MenuObserver() = default;
    /// `item` (with its sub-items) has joined the menu.
    virtual void ItemInserted(TMenuItem& item) = 0;
    /// `item` (with its sub-items) is about to leave the menu.
    virtual void ItemRemoving(TMenuItem& item) = 0;
    /// A property of `item` changed.
    virtual void ItemChanged(TMenuItem& item) = 0;
    /// A property of the menu itself changed.
    virtual void MenuChanged(TMenu& menu) = 0;
};

/// One entry of a menu: a command, a separator (caption "-") or a sub-menu.
/// An item owns its sub-items.
class TMenuItem {
public:
    explicit TMenuItem(std::string caption = {});
    TMenuItem(const TMenuItem&) = delete;
    TMenuItem& operator=(const TMenuItem&) = delete;
    ~TMenuItem();

    // Tree.
    TMenuItem* Parent() const { return parent_; }
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem& Item(int index) const { return *items_.at(static_cast<std::size_t>(index)); }
    int IndexOf(const TMenuItem* item) const;
    TMenuItem& Add(std::unique_ptr<TMenuItem> item);
    TMenuItem& Add(std::string caption);
    TMenuItem& Insert(int index, std::unique_ptr<TMenuItem> item);
    std::unique_ptr<TMenuItem> Remove(TMenuItem& item);
    /// The menu the item belongs to, through its ancestors; none while detached.
    TMenu* GetParentMenu() const;

    // Properties; every setter tells the menu's observers.
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    bool IsSeparator() const { return caption_ == "-"; }
    const Bitmap& GetBitmap() const { return bitmap_; }
    void SetBitmap(Bitmap bitmap);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    /// The key combination in Qt's portable text form ("Ctrl+P"); empty for none.
    const std::string& ShortCut() const { return shortCut_; }
    void SetShortCut(std::string shortCut);
    /// The shortcut as the framework writes it, trimmed.
    std::string ShortCutText() const;
    bool Checked() const { return checked_; }
    /// Checking a radio item unchecks the radio items of its group under the same parent.
    void SetChecked(bool checked);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool radio);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int group);
    /// The item inverts its own check when clicked.
    bool AutoCheck() const { return autoCheck_; }
    void SetAutoCheck(bool autoCheck) { autoCheck_ = autoCheck; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    const std::string& Hint() const { return hint_; }
    void SetHint(std::string hint);
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }
    /// The image list of the item's sub-menu.
    TImageList* SubMenuImages() const { return subMenuImages_; }
    void SetSubMenuImages(TImageList* images);

    // Events.
    std::function<void(TMenuItem&)> OnClick;
    MeasureItemHandler OnMeasureItem;
    DrawItemHandler OnDrawItem;

    /// What choosing the item does: an auto-check item inverts its check, then
    /// OnClick runs. A disabled item does nothing. A parent item is clicked when
    /// its sub-menu opens.
    void Click();

private:
    friend class TMenu;
    void Changed();
    void TurnSiblingsOff();

    TMenuItem* parent_ = nullptr;
    TMenu* rootOf_ = nullptr;  // set on a menu's root item only
    std::vector<std::unique_ptr<TMenuItem>> items_;
    std::string name_;
    std::string caption_;
    Bitmap bitmap_;
    int imageIndex_ = -1;
    std::string shortCut_;
    bool checked_ = false;
    bool radioItem_ = false;
    int groupIndex_ = 0;
    bool autoCheck_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    bool default_ = false;
    std::string hint_;
    int tag_ = 0;
    TImageList* subMenuImages_ = nullptr;
};

enum class MenuKind { Main, Popup };

/// A menu bar or a popup menu: its top-level items are the sub-items of Items().
class TMenu {
public:
    explicit TMenu(MenuKind kind);
    TMenu(const TMenu&) = delete;
    TMenu& operator=(const TMenu&) = delete;
    virtual ~TMenu();

    MenuKind Kind() const { return kind_; }
    bool IsMainMenu() const { return kind_ == MenuKind::Main; }
    TMenuItem& Items() { return items_; }
    const TMenuItem& Items() const { return items_; }
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);
    /// The menu framework asks the items' handlers for their size and picture.
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool ownerDraw);
    bool IsRightToLeft() const { return rightToLeft_; }
    void SetRightToLeft(bool rightToLeft);

    void AddObserver(MenuObserver* observer);
    void RemoveObserver(MenuObserver* observer);

private:
    friend class TMenuItem;
    void NotifyInserted(TMenuItem& item);
    void NotifyRemoving(TMenuItem& item);
    void NotifyChanged(TMenuItem& item);
    void NotifyMenuChanged();

    MenuKind kind_;
    TMenuItem items_;
    std::string name_;
    TImageList* images_ = nullptr;
    bool ownerDraw_ = false;
    bool rightToLeft_ = false;
    std::vector<MenuObserver*> observers_;
};

/// Calls `visit` for `item` and then for every item below it, depth first.
void ForEachItem(TMenuItem& item, const std::function<void(TMenuItem&)>& visit);

}  // namespace vintrel
