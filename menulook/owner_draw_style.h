#pragma once

#include <QProxyStyle>

namespace vintrel {

class TMenuItem;

/// The style of owner-drawn menus: for an item of a menu marked owner-drawn
/// that has handlers, the size request (CT_MenuItem, CT_MenuBarItem) runs its
/// OnMeasureItem and the paint (CE_MenuItem, CE_MenuBarItem) its OnDrawItem
/// with a canvas on the painter; every other item keeps the normal look. It is
/// set on the menu bar and on every popup menu, since a QMenu does not take
/// its menu bar's style.
class OwnerDrawMenuStyle final : public QProxyStyle {
    Q_OBJECT
public:
    /// Room the menu bar gives an owner-drawn bar item beyond its measured
    /// width: the strip the highlight's shadow takes on the NT family.
    static constexpr int kBarItemOverhang = 8;
    static constexpr int kBarItemOverhangRightToLeft = 5;
    /// More room for a left-to-right bar item: its caption is centred across
    /// the whole item, and the highlight's frame, which ends where the shadow
    /// strip begins, would otherwise cut into its last letter.
    static constexpr int kBarItemCaptionRoom = 8;
    /// Room the menu gives an owner-drawn popup item beyond its measured
    /// width, as the system does: a check mark's width (13 pixels at 96 dots
    /// per inch), where the submenu arrow goes and the text keeps clear of
    /// the menu's edge.
    static constexpr int kPopupItemCheckRoom = 13;
    /// The border of an owner-drawn popup menu, which its items leave alone:
    /// the system's three pixels (an edge and a line), where the frame is drawn.
    static constexpr int kPopupBorder = 3;
    /// Of that border, the frame the style draws; the two pixels inside it
    /// are the look's.
    static constexpr int kPopupFrame = 1;

    OwnerDrawMenuStyle() = default;

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;

    /// The item whose size or picture `widget` is asking for right now.
    static TMenuItem* ItemBeingStyled(const QWidget* widget);
    /// Whether `item` is painted by its own handler.
    static bool IsOwnerDrawn(const TMenuItem* item);
};

}  // namespace vintrel
