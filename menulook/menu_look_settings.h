#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>

#include "menulook/color.h"
#include "menulook/font_face.h"

namespace vintrel {

/// Kinds of parent in which standard controls are restyled (bit = 1 << ordinal).
enum TLookContainer : std::uint16_t {
    xcForm,
    xcToolbar,
    xcCoolbar,
    xcControlbar,
    xcPanel,
    xcScrollBox,
    xcFrame,
    xcGroupBox,
    xcTabSheet,
};

/// What is restyled (bit = 1 << ordinal).
enum TLookControl : std::uint16_t {
    xcMainMenu,
    xcPopupMenu,
    xcCToolbar,
    xcCControlbar,
    xcCombo,
    xcEdit,
    xcCheckBox,
    xcRadioButton,
    xcButton,
};

/// A set of TLookContainer or TLookControl members, one bit each.
class LookSet {
public:
    constexpr LookSet() = default;
    static constexpr LookSet FromBits(std::uint16_t bits) {
        LookSet set;
        set.bits_ = bits;
        return set;
    }
    template <typename Member>
    requires std::is_enum_v<Member>
    constexpr LookSet(std::initializer_list<Member> members) {
        for (Member m : members) bits_ = static_cast<std::uint16_t>(bits_ | (1u << m));
    }
    constexpr std::uint16_t Bits() const { return bits_; }
    template <typename Member>
    requires std::is_enum_v<Member>
    constexpr bool Has(Member m) const { return (bits_ & (1u << m)) != 0; }
    friend constexpr bool operator==(LookSet, LookSet) = default;

private:
    std::uint16_t bits_ = 0;
};

/// The stored defaults: containers toolbar, cool bar, control bar and panel;
/// every control but the edit box.
inline constexpr LookSet kDefaultLookContainers = LookSet::FromBits(30);
inline constexpr LookSet kDefaultLookControls = LookSet::FromBits(479);

/// The published painting properties of the menu look, with their values
/// after construction (the font is replaced by the system menu font then).
struct MenuLookSettings {
    std::uint8_t DimLevel = 30;
    std::uint8_t GrayLevel = 10;
    FontFace Font;
    vintrel::Color Color = clBtnFace;
    vintrel::Color IconBackColor = clBtnFace;
    vintrel::Color MenuBarColor = clBtnFace;
    vintrel::Color SelectColor = clHighlight;
    vintrel::Color SelectBorderColor = clHighlight;
    vintrel::Color SelectFontColor = clWindowText;
    vintrel::Color DisabledColor = clInactiveCaption;
    vintrel::Color SeparatorColor = clBtnFace;
    vintrel::Color CheckedColor = clHighlight;
    std::int32_t IconWidth = 24;
    bool DrawSelect = true;
    bool UseSystemColors = true;
    bool OverrideOwnerDraw = false;
    bool Gradient = false;
    bool FlatMenu = false;
    bool AutoDetect = false;
};

}  // namespace vintrel
