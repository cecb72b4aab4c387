#pragma once

#include <QObject>
#include <QPointer>

#include "menulook/control_painter.h"
#include "menulook/control_tracker.h"

class QWidget;

namespace vintrel {

class TMenuLook;

/// Sits in front of one restyled standard control (as its event filter):
/// lets the control handle every event first, keeps the hot, button and space
/// state, and paints the flat overlay after the control has painted itself.
/// Once its look is inactive it takes itself out at the control's next event,
/// giving an edit box its frame back; it goes with its control.
class TControlSubClass final : public QObject {
    Q_OBJECT
public:
    TControlSubClass(QWidget& control, TMenuLook& look);
    ~TControlSubClass() override;

    QWidget* Control() const { return control_; }
    const ControlTracker& State() const { return tracker_; }
    /// Restores the control and frees the interceptor (once control is back in the event loop).
    void Remove();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Restore();
    void Track(ControlMessage message, int virtualKey = 0);
    void PaintOverlay();
    ControlFace FaceOfControl() const;

    QPointer<QWidget> control_;
    QWidget* key_;  // the control as the look knows it, also once it is gone
    TMenuLook& look_;
    bool savedFrame_ = true;
    bool borderRemoved_ = false;
    bool restored_ = false;
    ControlTracker tracker_;
};

/// Maps a Qt event to the message the interceptor reacts to.
ControlMessage ControlMessageOf(const QEvent& event, int* virtualKey);

}  // namespace vintrel
