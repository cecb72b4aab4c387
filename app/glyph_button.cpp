#include "app/glyph_button.h"

#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace vintrel {

void GlyphButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    // The panel as the style draws a flat button: only under the mouse or pressed.
    const bool raised =
        (option.state & QStyle::State_Enabled) &&
        (option.state & (QStyle::State_MouseOver | QStyle::State_Sunken | QStyle::State_On));
    if (!autoRaise() || raised) painter.drawPrimitive(QStyle::PE_PanelButtonTool, option);

    const QSize glyph = iconSize();
    const int captionWidth = fontMetrics().horizontalAdvance(text());
    const int left = (width() - (glyph.width() + kGlyphGap + captionWidth)) / 2;
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    painter.drawPixmap(left, (height() - glyph.height()) / 2,
                       icon().pixmap(glyph, devicePixelRatioF(), mode));
    const QRect caption(left + glyph.width() + kGlyphGap, 0, captionWidth, height());
    painter.drawItemText(caption, Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(), text(),
                         QPalette::ButtonText);
}

}  // namespace vintrel
