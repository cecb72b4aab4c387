#pragma once

#include <QToolButton>

namespace vintrel {

/// A flat button whose glyph and caption sit side by side as one pair,
/// centred on the button, a fixed distance apart (the style would put them
/// at its left with its own small gap).
class GlyphButton final : public QToolButton {
    Q_OBJECT
public:
    /// Between the glyph's right edge and the caption.
    static constexpr int kGlyphGap = 18;

    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace vintrel
