#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QVector>
#include <memory>

#include "menulook/canvas.h"

class QWidget;

namespace vintrel {

/// The canvas on Qt: draws with a QPainter and reads pixels from the QImage
/// behind it. Shapes are drawn without antialiasing, so fills, frames and
/// lines land on exactly the pixels the drawing rules name.
class QtCanvas final : public Canvas {
public:
    /// Paints into `image`, whose pixel (0, 0) is the canvas point `origin`.
    /// `surfaceDepth` is the depth the rules see (0: the image's own). An
    /// 8-bit indexed image is drawn on a true-colour copy that is written back,
    /// mapped to the image's colour table, when the canvas ends.
    explicit QtCanvas(QImage& image, QPoint origin = {}, int surfaceDepth = 0);
    /// Paints through `painter`; pixels are read back only when it paints on a QImage.
    QtCanvas(QPainter& painter, int surfaceDepth);
    ~QtCanvas() override;

    int BitsPerPixel() const override { return depth_; }
    Color NearestColor(Color rgb) const override;
    Color Pixel(int x, int y) const override;
    int TextWidth(std::string_view text) override;
    int TextHeight(std::string_view text) override;
    void DrawText(std::string_view text, const Rect& box, unsigned format, Color rgb) override;

    /// The window that owns the surface (WindowFromDC), when known.
    QWidget* Window() const { return window_; }
    void SetWindow(QWidget* window) { window_ = window; }

protected:
    void DoFillRect(const Rect& r, Color rgb) override;
    void DoSetPixel(int x, int y, Color rgb) override;
    void DoEllipse(const Rect& r, Color pen, std::optional<Color> brush) override;
    void DoRoundRect(const Rect& r, int cornerWidth, int cornerHeight, Color pen,
                     std::optional<Color> brush) override;
    void DoDrawImage(int x, int y, const Bitmap& image, std::optional<Color> transparent) override;
    void FontChanged() override;

private:
    void Prepare(Color pen, std::optional<Color> brush);

    QImage* target_ = nullptr;  // the indexed image written back at the end
    QImage indexedCopy_;        // true-colour stand-in for an indexed image
    const QImage* pixels_ = nullptr;
    std::unique_ptr<QPainter> ownPainter_;
    QPainter* painter_ = nullptr;
    QPoint origin_;
    int depth_ = 32;
    QVector<QRgb> colorTable_;
    std::vector<Color> nearestTable_;
    QFont font_;
    QWidget* window_ = nullptr;
};

}  // namespace vintrel
