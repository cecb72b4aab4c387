#include "menulook/control_tracker.h"

namespace vintrel {

bool ControlTracker::Handle(ControlMessage message, int virtualKey) {
    switch (message) {
        case ControlMessage::MouseEnter:
        case ControlMessage::SetFocus:
            hot_ = true;
            return true;
        case ControlMessage::MouseLeave:
        case ControlMessage::Exit:
        case ControlMessage::KillFocus:
        case ControlMessage::GetCheck:
        case ControlMessage::SetCheck:
            hot_ = false;
            return true;
        case ControlMessage::LButtonDown:
            buttonDown_ = true;
            return true;
        case ControlMessage::LButtonUp:
            buttonDown_ = false;
            return true;
        case ControlMessage::KeyDown:
            if (virtualKey != VK_SPACE) return false;
            spaceDown_ = true;
            if (spacePainted_) return false;
            spacePainted_ = true;
            return true;
        case ControlMessage::KeyUp:
            if (virtualKey != VK_SPACE) return false;
            spaceDown_ = false;
            spacePainted_ = false;
            return true;
        case ControlMessage::Paint:
            return true;
        case ControlMessage::Other:
            return false;
    }
    return false;
}

}  // namespace vintrel
