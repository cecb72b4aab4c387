#include "menulook/qt_canvas.h"

#include <QFontMetrics>

#include "menulook/qt_conversions.h"

namespace vintrel {
namespace {

bool PainterCannotDrawOn(const QImage& image) {
    return image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono ||
           image.format() == QImage::Format_MonoLSB;
}

int AlignmentOf(unsigned format) {
    int flags = Qt::AlignAbsolute;
    if ((format & DT_RIGHT) != 0) {
        flags |= Qt::AlignRight;
    } else if ((format & DT_CENTER) != 0) {
        flags |= Qt::AlignHCenter;
    } else {
        flags |= Qt::AlignLeft;
    }
    const bool single = (format & DT_SINGLELINE) != 0;
    if (single && (format & DT_VCENTER) != 0) {
        flags |= Qt::AlignVCenter;
    } else if (single && (format & DT_BOTTOM) != 0) {
        flags |= Qt::AlignBottom;
    } else {
        flags |= Qt::AlignTop;
    }
    if (single) flags |= Qt::TextSingleLine;
    if ((format & DT_NOPREFIX) == 0) flags |= Qt::TextShowMnemonic;
    return flags;
}

}  // namespace

QtCanvas::QtCanvas(QImage& image, QPoint origin, int surfaceDepth)
    : origin_(origin), depth_(surfaceDepth > 0 ? surfaceDepth : image.depth()) {
    QImage* paintOn = &image;
    if (PainterCannotDrawOn(image)) {
        target_ = &image;
        colorTable_ = image.colorTable();
        for (QRgb c : colorTable_) nearestTable_.push_back(RgbFromQRgb(c));
        indexedCopy_ = image.convertToFormat(QImage::Format_RGB32);
        paintOn = &indexedCopy_;
    }
    pixels_ = paintOn;
    ownPainter_ = std::make_unique<QPainter>(paintOn);
    painter_ = ownPainter_.get();
    painter_->translate(-origin_);
    painter_->setRenderHint(QPainter::Antialiasing, false);
    FontChanged();
}

QtCanvas::QtCanvas(QPainter& painter, int surfaceDepth) : painter_(&painter), depth_(surfaceDepth) {
    if (painter.device() != nullptr && painter.device()->devType() == QInternal::Image)
        pixels_ = static_cast<const QImage*>(painter.device());
    painter_->save();
    painter_->setRenderHint(QPainter::Antialiasing, false);
    FontChanged();
}

QtCanvas::~QtCanvas() {
    if (ownPainter_) {
        ownPainter_->end();
    } else {
        painter_->restore();
    }
    if (target_ != nullptr) {
        *target_ = indexedCopy_.convertToFormat(target_->format(), colorTable_,
                                                Qt::ThresholdDither | Qt::AvoidDither);
    }
}

Color QtCanvas::NearestColor(Color rgb) const {
    if (depth_ >= 16 || nearestTable_.empty()) return rgb & 0xFFFFFF;
    return NearestColorIn(nearestTable_, rgb);
}

Color QtCanvas::Pixel(int x, int y) const {
    if (pixels_ == nullptr) return CLR_INVALID;
    const QPoint p = painter_->deviceTransform().map(QPoint(x, y));
    if (!pixels_->valid(p)) return CLR_INVALID;
    return RgbFromQRgb(pixels_->pixel(p));
}

int QtCanvas::TextWidth(std::string_view text) {
    return QFontMetrics(font_, painter_->device()).horizontalAdvance(QStringFromText(text));
}

int QtCanvas::TextHeight(std::string_view /*text*/) {
    return QFontMetrics(font_, painter_->device()).height();
}

void QtCanvas::DrawText(std::string_view text, const Rect& box, unsigned format, Color rgb) {
    if (box.IsEmpty()) return;
    painter_->save();
    painter_->setFont(font_);
    painter_->setPen(QColorFromRgb(rgb));
    painter_->setLayoutDirection((format & DT_RTLREADING) != 0 ? Qt::RightToLeft : Qt::LeftToRight);
    painter_->drawText(QRect(box.left, box.top, box.Width(), box.Height()), AlignmentOf(format),
                       QStringFromText(text));
    painter_->restore();
}

void QtCanvas::DoFillRect(const Rect& r, Color rgb) {
    painter_->fillRect(QRect(r.left, r.top, r.Width(), r.Height()), QColorFromRgb(rgb));
}

void QtCanvas::DoSetPixel(int x, int y, Color rgb) {
    painter_->fillRect(QRect(x, y, 1, 1), QColorFromRgb(rgb));
}

void QtCanvas::Prepare(Color pen, std::optional<Color> brush) {
    painter_->setPen(QPen(QColorFromRgb(pen), 0));
    painter_->setBrush(brush ? QBrush(QColorFromRgb(*brush)) : QBrush(Qt::NoBrush));
}

void QtCanvas::DoEllipse(const Rect& r, Color pen, std::optional<Color> brush) {
    painter_->save();
    Prepare(pen, brush);
    painter_->drawEllipse(QRect(r.left, r.top, r.Width() - 1, r.Height() - 1));
    painter_->restore();
}

void QtCanvas::DoRoundRect(const Rect& r, int cornerWidth, int cornerHeight, Color pen,
                           std::optional<Color> brush) {
    painter_->save();
    Prepare(pen, brush);
    painter_->drawRoundedRect(QRect(r.left, r.top, r.Width() - 1, r.Height() - 1),
                              cornerWidth / 2.0, cornerHeight / 2.0, Qt::AbsoluteSize);
    painter_->restore();
}

void QtCanvas::DoDrawImage(int x, int y, const Bitmap& image, std::optional<Color> transparent) {
    painter_->drawImage(QPoint(x, y), QImageFromBitmap(image, transparent));
}

void QtCanvas::FontChanged() {
    font_ = QFontFromFace(Font());
}

}  // namespace vintrel
