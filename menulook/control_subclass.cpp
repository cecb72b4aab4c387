#include "menulook/control_subclass.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>

#include "menulook/menu_look.h"
#include "menulook/qt_canvas.h"
#include "menulook/qt_conversions.h"

namespace vintrel {

ControlMessage ControlMessageOf(const QEvent& event, int* virtualKey) {
    switch (event.type()) {
        case QEvent::Enter:
            return ControlMessage::MouseEnter;
        case QEvent::Leave:
            return ControlMessage::MouseLeave;
        case QEvent::FocusIn:
            return ControlMessage::SetFocus;
        case QEvent::FocusOut:
            return ControlMessage::KillFocus;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (static_cast<const QMouseEvent&>(event).button() == Qt::LeftButton)
                return ControlMessage::LButtonDown;
            return ControlMessage::Other;
        case QEvent::MouseButtonRelease:
            if (static_cast<const QMouseEvent&>(event).button() == Qt::LeftButton)
                return ControlMessage::LButtonUp;
            return ControlMessage::Other;
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const auto& key = static_cast<const QKeyEvent&>(event);
            if (key.key() != Qt::Key_Space) return ControlMessage::Other;
            if (event.type() == QEvent::KeyRelease && key.isAutoRepeat())
                return ControlMessage::Other;
            *virtualKey = VK_SPACE;
            return event.type() == QEvent::KeyPress ? ControlMessage::KeyDown
                                                    : ControlMessage::KeyUp;
        }
        case QEvent::Paint:
            return ControlMessage::Paint;
        default:
            return ControlMessage::Other;
    }
}

TControlSubClass::TControlSubClass(QWidget& control, TMenuLook& look)
    : QObject(&look), control_(&control), key_(&control), look_(look) {
    if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
        savedFrame_ = edit->hasFrame();
        edit->setFrame(false);
        borderRemoved_ = true;
    }
    // A check change (BM_SETCHECK) ends the hot state, as it does on Windows.
    if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
        connect(button, &QAbstractButton::toggled, this,
                [this] { Track(ControlMessage::SetCheck); });
    }
    connect(&control, &QObject::destroyed, this, [this] {
        look_.SubClassGone(key_);
        deleteLater();
    });
    control.installEventFilter(this);
    control.update();
}

TControlSubClass::~TControlSubClass() {
    Restore();
}

void TControlSubClass::Restore() {
    if (!control_ || restored_) return;
    restored_ = true;
    control_->removeEventFilter(this);
    if (borderRemoved_) {
        if (auto* edit = qobject_cast<QLineEdit*>(control_.data())) edit->setFrame(savedFrame_);
    }
    control_->update();
}

// Freed once the event that found the look inactive has been handled.
void TControlSubClass::Remove() {
    Restore();
    look_.SubClassGone(key_);
    deleteLater();
}

void TControlSubClass::Track(ControlMessage message, int virtualKey) {
    if (tracker_.Handle(message, virtualKey) && control_ && !restored_) control_->update();
}

bool TControlSubClass::eventFilter(QObject* watched, QEvent* event) {
    if (watched != control_ || restored_) return false;
    if (!look_.Active()) {
        Remove();
        return false;
    }
    int virtualKey = 0;
    const ControlMessage message = ControlMessageOf(*event, &virtualKey);
    if (message == ControlMessage::Other) return false;
    if (message != ControlMessage::Paint) {
        Track(message, virtualKey);
        if (message == ControlMessage::KillFocus) Track(ControlMessage::Exit);
        return false;
    }
    // The control paints itself first; the overlay goes on top.
    watched->removeEventFilter(this);
    QCoreApplication::sendEvent(watched, event);
    watched->installEventFilter(this);
    PaintOverlay();
    return true;
}

ControlFace TControlSubClass::FaceOfControl() const {
    QWidget& control = *control_;
    ControlFace face;
    face.client = {0, 0, control.width(), control.height()};
    face.hot = tracker_.Hot();
    face.focused = control.hasFocus();
    face.buttonDown = tracker_.ButtonDown();
    face.spaceDown = tracker_.SpaceDown();
    face.enabled = control.isEnabled();
    face.rightToLeft = control.layoutDirection() == Qt::RightToLeft;
    face.singleBorder = savedFrame_;
    face.controlColor = RgbFromQColor(control.palette().color(control.backgroundRole()));
    face.font = FaceFromQFont(control.font(), control.logicalDpiY());
    face.font.Color = RgbFromQColor(control.palette().color(QPalette::ButtonText));
    if (auto* combo = qobject_cast<QComboBox*>(&control)) {
        face.droppedDown = combo->view() != nullptr && combo->view()->isVisible();
        face.thumbSize =
            control.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &control);
    } else {
        face.thumbSize = control.style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &control);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
        face.checked = button->isChecked();
        face.caption = button->text().toStdString();
        if (!button->icon().isNull()) {
            QImage glyph(button->iconSize(), QImage::Format_RGB32);
            glyph.fill(control.palette().color(QPalette::Button));
            QPainter painter(&glyph);
            button->icon().paint(&painter, glyph.rect());
            painter.end();
            face.glyph = BitmapFromQImage(glyph);
        }
    }
    if (auto* push = qobject_cast<QPushButton*>(&control)) face.isDefault = push->isDefault();
    return face;
}

void TControlSubClass::PaintOverlay() {
    QWidget& control = *control_;
    ControlFace face = FaceOfControl();
    QImage buffer(control.size(), QImage::Format_ARGB32_Premultiplied);
    buffer.fill(Qt::transparent);
    {
        QtCanvas canvas(buffer, {}, control.depth());
        canvas.SetWindow(&control);
        ControlPainter(look_).PaintControl(canvas, ControlKindOf(&control).value_or(xcCombo), face);
    }
    QPainter painter(&control);
    painter.drawImage(QPoint(0, 0), buffer);
}

}  // namespace vintrel
