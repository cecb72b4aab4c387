#include "menulook/qt_menus.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QKeySequence>
#include <QMainWindow>
#include <QPixmap>

#include "menulook/owner_draw_style.h"
#include "menulook/qt_conversions.h"

namespace vintrel {
namespace {

const char* const kItemProperty = "vintrelMenuItem";

}  // namespace

void OwnerDrawMenu::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const {
    QMenu::initStyleOption(option, action);
    styled_ = action;
}

void OwnerDrawMenuBar::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const {
    QMenuBar::initStyleOption(option, action);
    styled_ = action;
}

TMenuItem* MenuItemOfAction(const QAction* action) {
    if (action == nullptr) return nullptr;
    const QVariant value = action->property(kItemProperty);
    if (!value.isValid()) return nullptr;
    return reinterpret_cast<TMenuItem*>(value.value<quintptr>());
}

QtMenu::QtMenu(MenuKind kind, QObject* owner, QWidget* root)
    : QObject(owner), TMenu(kind), root_(root), style_(std::make_unique<OwnerDrawMenuStyle>()) {
    root_->setStyle(style_.get());
    AddObserver(this);
}

// The Qt objects go before the style they are painted with.
QtMenu::~QtMenu() {
    RemoveObserver(this);
    for (auto& [item, entry] : entries_) {
        if (entry.subMenu) delete entry.subMenu.data();
    }
    delete root_.data();
}

QAction* QtMenu::ActionOf(const TMenuItem& item) const {
    const auto found = entries_.find(&item);
    return found == entries_.end() ? nullptr : found->second.action;
}

QMenu* QtMenu::SubMenuOf(const TMenuItem& item) const {
    const auto found = entries_.find(&item);
    return found == entries_.end() ? nullptr : found->second.subMenu.data();
}

std::vector<QMenu*> QtMenu::PopupWidgets() const {
    std::vector<QMenu*> popups;
    if (auto* menu = qobject_cast<QMenu*>(root_.data())) popups.push_back(menu);
    for (const auto& [item, entry] : entries_) {
        if (entry.subMenu) popups.push_back(entry.subMenu.data());
    }
    return popups;
}

void QtMenu::ItemInserted(TMenuItem& item) {
    Build(item);
}

void QtMenu::ItemRemoving(TMenuItem& item) {
    TMenuItem* parent = item.Parent();
    Forget(item);
    // A parent left without sub-items is a plain command again.
    if (parent != nullptr && parent != &Items() && parent->Count() == 1) {
        auto found = entries_.find(parent);
        if (found != entries_.end() && found->second.subMenu) {
            found->second.action->setMenu(nullptr);
            delete found->second.subMenu.data();
        }
    }
}

void QtMenu::ItemChanged(TMenuItem& item) {
    Sync(item);
}

void QtMenu::MenuChanged(TMenu& /*menu*/) {
    const Qt::LayoutDirection direction = IsRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
    if (root_) {
        root_->setLayoutDirection(direction);
        Relayout(root_);
    }
    for (auto& [item, entry] : entries_) {
        if (!entry.subMenu) continue;
        entry.subMenu->setLayoutDirection(direction);
        Relayout(entry.subMenu);
    }
}

void QtMenu::Remeasure() {
    if (root_) Relayout(root_);
    for (auto& [item, entry] : entries_)
        if (entry.subMenu) Relayout(entry.subMenu);
}

// Item sizes are cached by the menu widgets; a style change makes them ask again.
void QtMenu::Relayout(QWidget* widget) {
    QEvent change(QEvent::StyleChange);
    QCoreApplication::sendEvent(widget, &change);
    widget->update();
}

void QtMenu::Build(TMenuItem& item) {
    TMenuItem* parent = item.Parent();
    if (parent == nullptr || !root_) return;
    QWidget* container = ContainerFor(*parent);
    auto* action = new QAction(container);
    action->setProperty(kItemProperty, QVariant::fromValue(reinterpret_cast<quintptr>(&item)));
    connect(action, &QAction::triggered, this, [this, &item, action] { Triggered(item, action); });
    container->insertAction(ActionAfter(item), action);
    entries_[&item].action = action;
    Sync(item);
    for (int i = 0; i < item.Count(); ++i) Build(item.Item(i));
}

void QtMenu::Forget(TMenuItem& item) {
    for (int i = 0; i < item.Count(); ++i) Forget(item.Item(i));
    auto found = entries_.find(&item);
    if (found == entries_.end()) return;
    if (found->second.subMenu) delete found->second.subMenu.data();
    delete found->second.action;
    entries_.erase(found);
}

QWidget* QtMenu::ContainerFor(TMenuItem& parent) {
    if (&parent == &Items()) return root_;
    Entry& entry = entries_[&parent];
    if (!entry.subMenu) {
        auto* subMenu = new OwnerDrawMenu(root_);
        subMenu->setStyle(style_.get());
        subMenu->setLayoutDirection(root_->layoutDirection());
        // A parent item is clicked when its sub-menu opens.
        connect(subMenu, &QMenu::aboutToShow, this, [&parent] { parent.Click(); });
        entry.subMenu = subMenu;
        if (entry.action != nullptr) entry.action->setMenu(subMenu);
    }
    return entry.subMenu;
}

QAction* QtMenu::ActionAfter(const TMenuItem& item) const {
    const TMenuItem* parent = item.Parent();
    for (int i = parent->IndexOf(&item) + 1; i < parent->Count(); ++i) {
        if (QAction* action = ActionOf(parent->Item(i))) return action;
    }
    return nullptr;
}

void QtMenu::Sync(TMenuItem& item) {
    QAction* action = ActionOf(item);
    if (action == nullptr) return;
    action->setText(QStringFromText(item.Caption()));
    action->setSeparator(item.IsSeparator());
    action->setEnabled(item.Enabled());
    action->setVisible(item.Visible());
    action->setCheckable(item.Checked() || item.RadioItem() || item.AutoCheck());
    action->setChecked(item.Checked());
    action->setShortcut(QKeySequence::fromString(QStringFromText(item.ShortCut())));
    action->setToolTip(QStringFromText(item.Hint()));
    action->setStatusTip(QStringFromText(item.Hint()));
    QFont font = action->font();
    font.setBold(item.Default());
    action->setFont(font);
    // A bar item with an icon would show only the icon in Qt's own look.
    const bool barItem = IsMainMenu() && item.Parent() == &Items();
    const Bitmap& bitmap = item.GetBitmap();
    if (bitmap.IsEmpty() || barItem) {
        action->setIcon(QIcon());
    } else {
        const Color key = bitmap.Pixel(0, bitmap.Height() - 1);
        action->setIcon(QIcon(QPixmap::fromImage(QImageFromBitmap(bitmap, key))));
    }
}

// The item decides about its check (auto-check, radio groups), not the action.
void QtMenu::Triggered(TMenuItem& item, QAction* action) {
    action->setChecked(item.Checked());
    item.Click();
}

TMainMenu::TMainMenu(QWidget* owner) : QtMenu(MenuKind::Main, owner, new OwnerDrawMenuBar(owner)) {
    if (auto* window = qobject_cast<QMainWindow*>(owner)) window->setMenuBar(MenuBar());
}

QMenuBar* TMainMenu::MenuBar() const {
    return static_cast<QMenuBar*>(RootWidget());
}

TPopupMenu::TPopupMenu(QObject* owner) : QtMenu(MenuKind::Popup, owner, new OwnerDrawMenu()) {}

QMenu* TPopupMenu::Menu() const {
    return static_cast<QMenu*>(RootWidget());
}

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(*this);
    Menu()->exec(QPoint(x, y));
}

}  // namespace vintrel
