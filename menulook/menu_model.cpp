#include "menulook/menu_model.h"

#include <algorithm>

namespace vintrel {

TMenuItem::TMenuItem(std::string caption) : caption_(std::move(caption)) {}

TMenuItem::~TMenuItem() = default;

int TMenuItem::IndexOf(const TMenuItem* item) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == item) return static_cast<int>(i);
    }
    return -1;
}

TMenuItem& TMenuItem::Add(std::unique_ptr<TMenuItem> item) {
    return Insert(Count(), std::move(item));
}

TMenuItem& TMenuItem::Add(std::string caption) {
    return Add(std::make_unique<TMenuItem>(std::move(caption)));
}

TMenuItem& TMenuItem::Insert(int index, std::unique_ptr<TMenuItem> item) {
    index = std::clamp(index, 0, Count());
    TMenuItem& added = *item;
    added.parent_ = this;
    items_.insert(items_.begin() + index, std::move(item));
    if (TMenu* menu = GetParentMenu()) menu->NotifyInserted(added);
    return added;
}

std::unique_ptr<TMenuItem> TMenuItem::Remove(TMenuItem& item) {
    const int index = IndexOf(&item);
    if (index < 0) return nullptr;
    if (TMenu* menu = GetParentMenu()) menu->NotifyRemoving(item);
    std::unique_ptr<TMenuItem> removed = std::move(items_[static_cast<std::size_t>(index)]);
    items_.erase(items_.begin() + index);
    removed->parent_ = nullptr;
    return removed;
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* item = this;
    while (item->parent_ != nullptr) item = item->parent_;
    return item->rootOf_;
}

void TMenuItem::Changed() {
    if (TMenu* menu = GetParentMenu()) menu->NotifyChanged(*this);
}

void TMenuItem::SetCaption(std::string caption) {
    if (caption == caption_) return;
    caption_ = std::move(caption);
    Changed();
}

void TMenuItem::SetBitmap(Bitmap bitmap) {
    bitmap_ = std::move(bitmap);
    Changed();
}

void TMenuItem::SetImageIndex(int index) {
    if (index == imageIndex_) return;
    imageIndex_ = index;
    Changed();
}

void TMenuItem::SetShortCut(std::string shortCut) {
    if (shortCut == shortCut_) return;
    shortCut_ = std::move(shortCut);
    Changed();
}

std::string TMenuItem::ShortCutText() const {
    const auto first = shortCut_.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const auto last = shortCut_.find_last_not_of(' ');
    return shortCut_.substr(first, last - first + 1);
}

void TMenuItem::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    if (radioItem_ && checked_) TurnSiblingsOff();
    Changed();
}

void TMenuItem::TurnSiblingsOff() {
    if (parent_ == nullptr) return;
    for (const auto& sibling : parent_->items_) {
        if (sibling.get() != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_)
            sibling->SetChecked(false);
    }
}

void TMenuItem::SetRadioItem(bool radio) {
    if (radio == radioItem_) return;
    radioItem_ = radio;
    if (radioItem_ && checked_) TurnSiblingsOff();
    Changed();
}

void TMenuItem::SetGroupIndex(int group) {
    if (group == groupIndex_) return;
    groupIndex_ = group;
    if (radioItem_ && checked_) TurnSiblingsOff();
    Changed();
}

void TMenuItem::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Changed();
}

void TMenuItem::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    Changed();
}

void TMenuItem::SetDefault(bool isDefault) {
    if (isDefault == default_) return;
    default_ = isDefault;
    Changed();
}

void TMenuItem::SetHint(std::string hint) {
    if (hint == hint_) return;
    hint_ = std::move(hint);
    Changed();
}

void TMenuItem::SetSubMenuImages(TImageList* images) {
    if (images == subMenuImages_) return;
    subMenuImages_ = images;
    Changed();
}

void TMenuItem::Click() {
    if (!enabled_) return;
    if (autoCheck_) SetChecked(!checked_);
    if (OnClick) OnClick(*this);
}

TMenu::TMenu(MenuKind kind) : kind_(kind) {
    items_.rootOf_ = this;
}

TMenu::~TMenu() = default;

void TMenu::SetImages(TImageList* images) {
    if (images == images_) return;
    images_ = images;
    NotifyMenuChanged();
}

void TMenu::SetOwnerDraw(bool ownerDraw) {
    if (ownerDraw == ownerDraw_) return;
    ownerDraw_ = ownerDraw;
    NotifyMenuChanged();
}

void TMenu::SetRightToLeft(bool rightToLeft) {
    if (rightToLeft == rightToLeft_) return;
    rightToLeft_ = rightToLeft;
    NotifyMenuChanged();
}

void TMenu::AddObserver(MenuObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void TMenu::RemoveObserver(MenuObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

// Observers may add or remove observers while being told; they are told from a copy.
void TMenu::NotifyInserted(TMenuItem& item) {
    for (MenuObserver* o : std::vector<MenuObserver*>(observers_)) o->ItemInserted(item);
}

void TMenu::NotifyRemoving(TMenuItem& item) {
    for (MenuObserver* o : std::vector<MenuObserver*>(observers_)) o->ItemRemoving(item);
}

void TMenu::NotifyChanged(TMenuItem& item) {
    for (MenuObserver* o : std::vector<MenuObserver*>(observers_)) o->ItemChanged(item);
}

void TMenu::NotifyMenuChanged() {
    for (MenuObserver* o : std::vector<MenuObserver*>(observers_)) o->MenuChanged(*this);
}

void ForEachItem(TMenuItem& item, const std::function<void(TMenuItem&)>& visit) {
    visit(item);
    for (int i = 0; i < item.Count(); ++i) ForEachItem(item.Item(i), visit);
}

}  // namespace vintrel
