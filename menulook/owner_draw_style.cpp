#include "menulook/owner_draw_style.h"

#include <QImage>
#include <QPainter>
#include <QStyleOptionMenuItem>

#include "menulook/qt_canvas.h"
#include "menulook/qt_menus.h"

namespace vintrel {
namespace {

int SurfaceDepth(const QWidget* widget) {
    return widget != nullptr ? widget->depth() : 32;
}

}  // namespace

TMenuItem* OwnerDrawMenuStyle::ItemBeingStyled(const QWidget* widget) {
    if (const auto* menu = qobject_cast<const OwnerDrawMenu*>(widget))
        return MenuItemOfAction(menu->StyledAction());
    if (const auto* bar = qobject_cast<const OwnerDrawMenuBar*>(widget))
        return MenuItemOfAction(bar->StyledAction());
    return nullptr;
}

bool OwnerDrawMenuStyle::IsOwnerDrawn(const TMenuItem* item) {
    if (item == nullptr) return false;
    const TMenu* menu = item->GetParentMenu();
    return menu != nullptr && menu->OwnerDraw();
}

QSize OwnerDrawMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                           const QSize& size, const QWidget* widget) const {
    if (type != CT_MenuItem && type != CT_MenuBarItem)
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    TMenuItem* item = ItemBeingStyled(widget);
    if (!IsOwnerDrawn(item) || !item->OnMeasureItem)
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    QtCanvas canvas(scratch, {}, SurfaceDepth(widget));
    int width = size.width();
    int height = size.height();
    item->OnMeasureItem(*item, canvas, width, height);
    if (type == CT_MenuBarItem) {
        const bool rtl = item->GetParentMenu()->IsRightToLeft();
        width += rtl ? kBarItemOverhangRightToLeft : kBarItemOverhang + kBarItemCaptionRoom;
    } else {
        width += kPopupItemCheckRoom;
    }
    return {width, height};
}

void OwnerDrawMenuStyle::drawControl(ControlElement element, const QStyleOption* option,
                                     QPainter* painter, const QWidget* widget) const {
    if (element != CE_MenuItem && element != CE_MenuBarItem) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    TMenuItem* item = ItemBeingStyled(widget);
    if (!IsOwnerDrawn(item) || !item->OnDrawItem) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const QRect r = option->rect;
    const Rect rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    const bool selected = (option->state & State_Selected) != 0;
    const int depth = SurfaceDepth(widget);
    auto* window = const_cast<QWidget*>(widget);
    if (painter->device() != nullptr && painter->device()->devType() == QInternal::Image) {
        QtCanvas canvas(*painter, depth);
        canvas.SetWindow(window);
        item->OnDrawItem(*item, canvas, rect, selected);
        return;
    }
    // A widget cannot be read back while it paints: the item is drawn on an
    // image, where its own pixels can be read (the default item's halo), and
    // then copied; what it leaves untouched stays transparent. The image has
    // the screen's pixels, so text and lines stay sharp on a scaled screen.
    const qreal scale = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
    QImage buffer(r.size() * scale, QImage::Format_ARGB32_Premultiplied);
    buffer.setDevicePixelRatio(scale);
    buffer.fill(Qt::transparent);
    {
        QtCanvas canvas(buffer, r.topLeft(), depth);
        canvas.SetWindow(window);
        item->OnDrawItem(*item, canvas, rect, selected);
    }
    painter->drawImage(r.topLeft(), buffer);
}

int OwnerDrawMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                    const QWidget* widget) const {
    // Items paint their whole rectangle: without a border of its own, a
    // popup's edge would vanish under them.
    if (metric == PM_MenuPanelWidth) {
        if (const auto* menu = qobject_cast<const OwnerDrawMenu*>(widget)) {
            const QList<QAction*> actions = menu->actions();
            if (!actions.isEmpty() && IsOwnerDrawn(MenuItemOfAction(actions.first())))
                return kPopupBorder;
        }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

int OwnerDrawMenuStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                                  QStyleHintReturn* returnData) const {
    // As on Windows, a disabled item can be highlighted; its handler decides how it looks.
    if (hint == SH_Menu_AllowActiveAndDisabled) return 1;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

}  // namespace vintrel
