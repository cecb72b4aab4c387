#include "menulook/menu_look.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "menulook/control_subclass.h"
#include "menulook/owner_draw_style.h"
#include "menulook/qt_canvas.h"
#include "menulook/qt_conversions.h"
#include "menulook/qt_menus.h"

namespace vintrel {
namespace {

const char* const kCustomDrawButton = kCustomDrawButtonProperty;
const char* const kBandPaint = kBandPaintProperty;
const char* const kLookContainer = "LookContainer";

quintptr SlotHolder(const QObject* object, const char* slot) {
    return object->property(slot).value<quintptr>();
}

bool IsControlBar(const QObject* object) {
    return object->isWidgetType() && object->property(kLookContainer).toString() == "Controlbar";
}

bool IsFrame(const QObject* object) {
    return object->isWidgetType() && object->property(kLookContainer).toString() == "Frame";
}

QToolBar* ToolBarOf(const QWidget* widget) {
    return widget != nullptr ? qobject_cast<QToolBar*>(widget->parentWidget()) : nullptr;
}

Color ColorOfRole(const QWidget& widget, QPalette::ColorRole role) {
    return RgbFromQColor(widget.palette().color(role));
}

// Paints `widget` with `paint` on an image first: the painters read their own
// pixels back, which a widget cannot offer while it paints.
template <typename Paint>
void PaintOffscreen(QWidget& widget, Paint paint) {
    QImage buffer(widget.size(), QImage::Format_ARGB32_Premultiplied);
    buffer.fill(Qt::transparent);
    {
        QtCanvas canvas(buffer, {}, widget.depth());
        canvas.SetWindow(&widget);
        paint(canvas);
    }
    QPainter painter(&widget);
    painter.drawImage(QPoint(0, 0), buffer);
}

// Lets the widget handle `event` itself first (the previous window procedure).
void PassOn(QObject* watched, QEvent* event, QObject* filter) {
    watched->removeEventFilter(filter);
    QCoreApplication::sendEvent(watched, event);
    watched->installEventFilter(filter);
}

Bitmap IconBitmap(const QIcon& icon, const QSize& size, QIcon::Mode mode, const QColor& back) {
    if (icon.isNull()) return {};
    QImage image(icon.actualSize(size), QImage::Format_RGB32);
    image.fill(back);
    QPainter painter(&image);
    icon.paint(&painter, image.rect(), Qt::AlignCenter, mode);
    painter.end();
    return BitmapFromQImage(image);
}

}  // namespace

std::optional<TLookContainer> ContainerKindOf(const QWidget* parent) {
    if (parent == nullptr) return std::nullopt;
    static const std::map<QString, TLookContainer> named = {
        {"Form", xcForm},        {"Toolbar", xcToolbar},
        {"Coolbar", xcCoolbar},  {"Controlbar", xcControlbar},
        {"Panel", xcPanel},      {"ScrollBox", xcScrollBox},
        {"Frame", xcFrame},      {"GroupBox", xcGroupBox},
        {"TabSheet", xcTabSheet}};
    const QString name = parent->property(kLookContainer).toString();
    if (auto found = named.find(name); found != named.end()) return found->second;
    if (qobject_cast<const QToolBar*>(parent) != nullptr) return xcToolbar;
    if (qobject_cast<const QGroupBox*>(parent) != nullptr) return xcGroupBox;
    const QWidget* above = parent->parentWidget();
    if (qobject_cast<const QStackedWidget*>(above) != nullptr &&
        qobject_cast<const QTabWidget*>(above->parentWidget()) != nullptr)
        return xcTabSheet;
    if (above != nullptr) {
        if (const auto* area = qobject_cast<const QScrollArea*>(above->parentWidget());
            area != nullptr && area->widget() == parent)
            return xcScrollBox;
    }
    if (parent->isWindow()) return xcForm;
    if (const auto* window = qobject_cast<const QMainWindow*>(above);
        window != nullptr && window->centralWidget() == parent)
        return xcForm;
    const QMetaObject* kind = parent->metaObject();
    if (kind == &QWidget::staticMetaObject || kind == &QFrame::staticMetaObject) return xcPanel;
    return std::nullopt;
}

std::optional<TLookControl> ControlKindOf(const QWidget* widget) {
    if (qobject_cast<const QComboBox*>(widget) != nullptr) return xcCombo;
    if (qobject_cast<const QLineEdit*>(widget) != nullptr) return xcEdit;
    if (qobject_cast<const QCheckBox*>(widget) != nullptr) return xcCheckBox;
    if (qobject_cast<const QRadioButton*>(widget) != nullptr) return xcRadioButton;
    if (qobject_cast<const QPushButton*>(widget) != nullptr) return xcButton;
    return std::nullopt;
}

int TagOf(const QObject* object) {
    return object != nullptr ? object->property("Tag").toInt() : 0;
}

/// Hears of items added to a hooked menu (the insertion notice of AutoDetect).
class TMenuLook::MenuWatch final : public MenuObserver {
public:
    explicit MenuWatch(TMenuLook& look) : look_(look) {}
    void ItemInserted(TMenuItem& /*item*/) override { look_.ItemInsertedIntoMenu(); }
    void ItemRemoving(TMenuItem& /*item*/) override {}
    void ItemChanged(TMenuItem& /*item*/) override {}
    void MenuChanged(TMenu& /*menu*/) override {}

private:
    TMenuLook& look_;
};

TMenuLook::TMenuLook(QObject* owner, const LookEnvironment& environment)
    : QObject(owner),
      MenuLookRules(environment),
      containers_(kDefaultLookContainers),
      controls_(kDefaultLookControls),
      controlPainter_(*this),
      menuWatch_(std::make_unique<MenuWatch>(*this)) {
    if (owner != nullptr && !owner->isWidgetType()) throw EInvalidCast();
    host_ = static_cast<QWidget*>(owner);
    SetLookContainers(kDefaultLookContainers);
    SetLookControls(kDefaultLookControls);
    if (host_) host_->installEventFilter(this);
}

TMenuLook::~TMenuLook() {
    DeactivateForDestruction();
}

// The host may be half destroyed by now (the look is one of its children), so
// the walk goes over what this look recorded rather than over the host.
void TMenuLook::DeactivateForDestruction() {
    SetActiveFlag(false);
    for (const QPointer<QtMenu>& menu : menus_) {
        if (menu) {
            menu->RemoveObserver(menuWatch_.get());
            ApplyToMenu(*menu, false);
        }
    }
    for (const QPointer<QToolBar>& toolBar : toolBars_) {
        if (toolBar) ApplyToToolBar(*toolBar, false, false);
    }
    for (const QPointer<QWidget>& bar : controlBars_) {
        if (bar) ApplyToControlBar(*bar, false, false);
    }
    const auto subclasses = subclasses_;
    for (const auto& [control, subclass] : subclasses) delete subclass;
    for (QWidget* popup : popups_) popup->removeEventFilter(this);
}

int TMenuLook::Tag() const {
    return TagOf(this);
}

void TMenuLook::SetTag(int tag) {
    setProperty("Tag", tag);
}

void TMenuLook::SetActive(bool active) {
    if (active == Active()) return;
    SetActiveFlag(active);
    if (host_) ApplyToContainer(host_, active, true);
    if (HostMainMenu() != nullptr) RedrawMenuBar();
}

void TMenuLook::SetLookContainers(LookSet containers) {
    if (containers != containers_ && Active()) {
        SetActiveFlag(false);
        if (host_) ApplyToContainer(host_, false, true);
        containers_ = containers;
        SetActiveFlag(true);
        if (host_) ApplyToContainer(host_, true, true);
        DropIneligibleInterceptors();
    }
    containers_ = containers;
}

void TMenuLook::SetLookControls(LookSet controls) {
    if (controls != controls_ && Active()) {
        SetActiveFlag(false);
        if (host_) ApplyToContainer(host_, false, true);
        controls_ = controls;
        SetActiveFlag(true);
        if (host_) ApplyToContainer(host_, true, true);
        DropIneligibleInterceptors();
    }
    controls_ = controls;
}

void TMenuLook::Notification(QObject* component, Operation operation) {
    if (!Active() || !AutoDetect() || operation != Operation::Insert || component == nullptr)
        return;
    // A toolbar stands for the tool buttons it brings: on Qt they are its
    // children, not the window's.
    const bool wanted = qobject_cast<QtMenu*>(component) != nullptr ||
                        qobject_cast<QToolButton*>(component) != nullptr ||
                        qobject_cast<QToolBar*>(component) != nullptr || IsControlBar(component);
    if (wanted && host_) ApplyToContainer(host_, true, true);
}

void TMenuLook::ItemInsertedIntoMenu() {
    if (Active() && AutoDetect() && host_) ApplyToContainer(host_, true, true);
}

// A child is announced while it is being constructed; what it is can be told
// once its constructor has run.
void TMenuLook::QueueInsertionCheck(QObject* child) {
    QPointer<QObject> added(child);
    QTimer::singleShot(0, this, [this, added] {
        if (added) Notification(added, Operation::Insert);
    });
}

void TMenuLook::RunActivationWalk() {
    if (host_) ApplyToContainer(host_, true, true);
}

const TMenu* TMenuLook::HostMainMenu() const {
    if (!host_) return nullptr;
    const auto* window = qobject_cast<const QMainWindow*>(host_.data());
    for (QObject* child : host_->children()) {
        auto* menu = qobject_cast<TMainMenu*>(child);
        if (menu == nullptr) continue;
        if (window == nullptr || window->menuWidget() == menu->MenuBar()) return menu;
    }
    return nullptr;
}

void TMenuLook::RedrawMenuBar() {
    const auto* menu = dynamic_cast<const TMainMenu*>(HostMainMenu());
    if (menu != nullptr && menu->MenuBar() != nullptr) menu->MenuBar()->update();
}

// It is learnt while an item paints: the menus measure again once that paint
// is through.
void TMenuLook::MenuFontChanged() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            for (const QPointer<QtMenu>& menu : menus_)
                if (menu) menu->Remeasure();
        },
        Qt::QueuedConnection);
}

void TMenuLook::ApplyToContainer(QWidget* container, bool activate, bool repaint) {
    if (container == nullptr) return;
    for (QObject* child : container->children()) ApplyToObject(child, activate, repaint);
}

void TMenuLook::ApplyToObject(QObject* object, bool activate, bool repaint) {
    if (object == nullptr || object == this) return;
    if (auto* menu = qobject_cast<QtMenu*>(object)) {
        const bool held =
            menu->IsMainMenu() ? controls_.Has(xcMainMenu) : controls_.Has(xcPopupMenu);
        if (held) ApplyToQtMenu(*menu, activate);
        return;
    }
    if (!object->isWidgetType()) return;
    auto* widget = static_cast<QWidget*>(object);
    if (auto* toolBar = qobject_cast<QToolBar*>(widget); toolBar && controls_.Has(xcCToolbar))
        ApplyToToolBar(*toolBar, activate, repaint);
    if (IsControlBar(widget) && controls_.Has(xcCControlbar))
        ApplyToControlBar(*widget, activate, repaint);
    if (ControlKindOf(widget)) {
        ApplyToControl(*widget, activate, repaint);
        return;
    }
    // A frame holds components of its own, walked only when frames are held.
    if (IsFrame(widget)) {
        if (containers_.Has(xcFrame)) ApplyToContainer(widget, activate, repaint);
        return;
    }
    ApplyToContainer(widget, activate, repaint);
}

void TMenuLook::ApplyToQtMenu(QtMenu& menu, bool activate) {
    ApplyToMenu(menu, activate);
    if (activate) {
        menu.AddObserver(menuWatch_.get());
        if (std::find(menus_.begin(), menus_.end(), &menu) == menus_.end())
            menus_.emplace_back(&menu);
    } else {
        menu.RemoveObserver(menuWatch_.get());
    }
}

void TMenuLook::ApplyToToolBar(QToolBar& toolBar, bool activate, bool repaint) {
    const auto buttons = toolBar.findChildren<QToolButton*>(Qt::FindDirectChildrenOnly);
    for (QToolButton* button : buttons) button->setAutoRaise(true);
    const quintptr self = reinterpret_cast<quintptr>(this);
    const quintptr holder = SlotHolder(&toolBar, kCustomDrawButton);
    if (activate && !buttons.isEmpty() && (holder == 0 || OverrideOwnerDraw())) {
        toolBar.setProperty(kCustomDrawButton, QVariant::fromValue(self));
        toolBar.installEventFilter(this);
        for (QWidget* child : toolBar.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            child->installEventFilter(this);
        if (std::find(toolBars_.begin(), toolBars_.end(), &toolBar) == toolBars_.end())
            toolBars_.emplace_back(&toolBar);
    } else if (!activate && holder == self) {
        toolBar.setProperty(kCustomDrawButton, QVariant::fromValue(quintptr{0}));
    }
    if (repaint) {
        toolBar.update();
        for (QToolButton* button : buttons) button->update();
    }
}

void TMenuLook::ApplyToControlBar(QWidget& bar, bool activate, bool repaint) {
    const quintptr self = reinterpret_cast<quintptr>(this);
    const quintptr holder = SlotHolder(&bar, kBandPaint);
    if (activate && (holder == 0 || OverrideOwnerDraw())) {
        bar.setProperty(kBandPaint, QVariant::fromValue(self));
        bar.installEventFilter(this);
        if (std::find(controlBars_.begin(), controlBars_.end(), &bar) == controlBars_.end())
            controlBars_.emplace_back(&bar);
    } else if (!activate && holder == self) {
        bar.setProperty(kBandPaint, QVariant::fromValue(quintptr{0}));
    }
    if (repaint) bar.update();
}

bool TMenuLook::Eligible(const QWidget& control) const {
    return RestylesControl(controls_, containers_, ControlKindOf(&control),
                           ContainerKindOf(control.parentWidget()));
}

void TMenuLook::ApplyToControl(QWidget& control, bool activate, bool repaint) {
    if (!Eligible(control)) return;
    if (activate && TagOf(&control) != kNoInterceptTag &&
        TagOf(control.parentWidget()) != kNoInterceptTag && !Intercepts(&control)) {
        subclasses_[&control] = new TControlSubClass(control, *this);
    }
    if (repaint) control.update();
}

// A set change that drops a control's kind or its parent's kind leaves no
// interceptor on that control: the re-activation alone would keep it.
void TMenuLook::DropIneligibleInterceptors() {
    const auto subclasses = subclasses_;
    for (const auto& [control, subclass] : subclasses) {
        if (!Eligible(*control)) subclass->Remove();
    }
}

void TMenuLook::SubClassGone(QWidget* control) {
    subclasses_.erase(control);
}

std::vector<QWidget*> TMenuLook::InterceptedControls() const {
    std::vector<QWidget*> controls;
    for (const auto& [control, subclass] : subclasses_) controls.push_back(subclass->Control());
    return controls;
}

bool TMenuLook::Intercepts(const QWidget* control) const {
    return subclasses_.count(control) > 0;
}

void TMenuLook::PopupItemDrawn(Canvas& canvas) {
    auto* qtCanvas = dynamic_cast<QtCanvas*>(&canvas);
    if (qtCanvas == nullptr) return;
    QWidget* window = qtCanvas->Window();
    if (window == nullptr || window == host_ || qobject_cast<QMenu*>(window) == nullptr) return;
    if (popups_.insert(window).second) {
        window->installEventFilter(this);
        connect(window, &QObject::destroyed, this, [this, window] { popups_.erase(window); });
        window->update();
    }
}

// The style fills the bar beyond its items with the palette's window colour,
// which differs from the items' button face under many palettes (a two-tone
// bar under a dark scheme).
void TMenuLook::BarItemDrawn(Canvas& canvas, Color background) {
    auto* qtCanvas = dynamic_cast<QtCanvas*>(&canvas);
    if (qtCanvas == nullptr) return;
    auto* bar = qobject_cast<QMenuBar*>(qtCanvas->Window());
    if (bar == nullptr) return;
    const QColor colour = QColorFromRgb(background);
    if (bar->palette().color(QPalette::Window) == colour) return;
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, colour);
    bar->setPalette(palette);
}

bool TMenuLook::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == host_ || qobject_cast<QToolBar*>(watched) != nullptr) {
        if (type == QEvent::ChildAdded && Active() && AutoDetect())
            QueueInsertionCheck(static_cast<QChildEvent*>(event)->child());
        if (watched != host_ && type == QEvent::ChildAdded && Active()) {
            // Buttons added to a hooked toolbar are painted like the others.
            QObject* child = static_cast<QChildEvent*>(event)->child();
            if (child->isWidgetType()) child->installEventFilter(this);
        }
        if (watched == host_ || type != QEvent::Paint) return false;
    }
    if (type != QEvent::Paint || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (popups_.count(widget) > 0) return PaintPopupBorder(*widget, event);
    if (IsControlBar(widget)) return PaintControlBar(*widget, event);
    if (qobject_cast<QToolButton*>(widget) != nullptr) return PaintToolButton(*widget);
    if (ToolBarOf(widget) != nullptr) return PaintToolSeparator(*widget);
    return false;
}

bool TMenuLook::PaintToolButton(QWidget& widget) {
    QToolBar* toolBar = ToolBarOf(&widget);
    if (toolBar == nullptr || !Active() ||
        SlotHolder(toolBar, kCustomDrawButton) != reinterpret_cast<quintptr>(this))
        return false;
    auto& button = static_cast<QToolButton&>(widget);
    ToolButtonFace face;
    face.bounds = {0, 0, button.width(), button.height()};
    face.toolbarColor = ColorOfRole(*toolBar, QPalette::Button);
    face.transparentToolbar = toolBar->property("Transparent").toBool();
    face.enabled = button.isEnabled();
    face.hot = face.enabled && button.underMouse();
    face.checked = button.isChecked();
    face.down = button.isDown();
    face.opensMenu = button.menu() != nullptr || (button.defaultAction() != nullptr &&
                                                  button.defaultAction()->menu() != nullptr);
    face.dropDown = button.popupMode() == QToolButton::MenuButtonPopup;
    face.captionsBelow = button.toolButtonStyle() == Qt::ToolButtonTextUnderIcon;
    if (button.toolButtonStyle() != Qt::ToolButtonIconOnly)
        face.caption = button.text().toStdString();
    face.font = FaceFromQFont(button.font(), button.logicalDpiY());
    face.font.Color = ColorOfRole(button, QPalette::ButtonText);
    if (button.toolButtonStyle() != Qt::ToolButtonTextOnly) {
        face.image = IconBitmap(button.icon(), button.iconSize(), QIcon::Normal,
                                toolBar->palette().color(QPalette::Button));
    }
    PaintOffscreen(button, [&](Canvas& canvas) { controlPainter_.PaintToolButton(canvas, face); });
    if (controls_.Has(xcMainMenu)) {
        if (TMenuItem* item = MenuItemOfAction(button.defaultAction())) RehookSiblings(*item);
    }
    return true;
}

bool TMenuLook::PaintToolSeparator(QWidget& separator) {
    QToolBar* toolBar = ToolBarOf(&separator);
    if (toolBar == nullptr || !Active() ||
        SlotHolder(toolBar, kCustomDrawButton) != reinterpret_cast<quintptr>(this))
        return false;
    for (QAction* action : toolBar->actions()) {
        if (!action->isSeparator() || toolBar->widgetForAction(action) != &separator) continue;
        const Color color = ColorOfRole(*toolBar, QPalette::Button);
        const int tag = TagOf(action);
        PaintOffscreen(separator, [&](Canvas& canvas) {
            controlPainter_.PaintToolSeparator(
                canvas, {0, 0, separator.width(), separator.height()}, color, tag);
        });
        return true;
    }
    return false;
}

bool TMenuLook::PaintControlBar(QWidget& bar, QEvent* event) {
    if (!Active() || SlotHolder(&bar, kBandPaint) != reinterpret_cast<quintptr>(this)) return false;
    PassOn(&bar, event, this);
    const Color color = ColorOfRole(bar, QPalette::Button);
    PaintOffscreen(bar, [&](Canvas& canvas) {
        for (QWidget* band : bar.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!band->isVisibleTo(&bar)) continue;
            const QRect g = band->geometry();
            // The band reaches past its control by the grabber on the leading side.
            controlPainter_.PaintBand(
                canvas,
                {std::max(0, g.left() - 11), std::max(0, g.top() - 2),
                 std::min(bar.width(), g.right() + 3), std::min(bar.height(), g.bottom() + 3)},
                color);
        }
    });
    return true;
}

bool TMenuLook::PaintPopupBorder(QWidget& popup, QEvent* event) {
    const int frame = OwnerDrawMenuStyle::kPopupFrame;
    const bool ownBorder = popup.style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, &popup) ==
                           OwnerDrawMenuStyle::kPopupBorder;
    if (!Active() || (!FlatMenu() && !ownBorder)) {
        popup.removeEventFilter(this);
        popups_.erase(&popup);
        return false;
    }
    // The border goes over what the menu painted.
    PassOn(&popup, event, this);
    QPainter painter(&popup);
    QtCanvas canvas(painter, popup.depth());
    canvas.SetWindow(&popup);
    ApplyWorkingPalette(canvas);
    if (FlatMenu()) {
        DrawFlatBorder(canvas, {0, 0, popup.width(), popup.height()});
    } else {
        // The style's own frame stays; between it and the items it would show
        // its panel colour in a band around the icon column.
        DrawPopupMargin(canvas, {frame, frame, popup.width() - frame, popup.height() - frame},
                        popup.layoutDirection() == Qt::RightToLeft);
    }
    return true;
}

}  // namespace vintrel
