#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>

namespace vintrel {

class TComponent;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

enum class TShiftMember : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle };

/// The modifier keys and mouse buttons held during a mouse action.
class TShiftState {
public:
    constexpr TShiftState() = default;
    constexpr TShiftState(std::initializer_list<TShiftMember> members) {
        for (TShiftMember m : members) bits_ |= bit(m);
    }

    constexpr bool contains(TShiftMember m) const { return (bits_ & bit(m)) != 0; }
    constexpr TShiftState operator+(TShiftMember m) const {
        TShiftState s = *this;
        s.bits_ |= bit(m);
        return s;
    }
    constexpr bool empty() const { return bits_ == 0; }

    friend constexpr bool operator==(TShiftState, TShiftState) = default;

private:
    static constexpr std::uint8_t bit(TShiftMember m) {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(m));
    }
    std::uint8_t bits_ = 0;
};

// Component events: they fire only when a handler is assigned.
using TNotifyEvent = std::function<void(TComponent* sender)>;
using TMouseEvent =
    std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TComponent* sender, TShiftState shift, int x, int y)>;

}  // namespace vintrel
