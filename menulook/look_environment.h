#pragma once

#include <optional>

#include "menulook/font_face.h"
#include "menulook/system_colors.h"

namespace vintrel {

/// What the menu look asks of the desktop: its system colours, its menu font
/// and the operating-system family. Injected so tests can fix all three.
class LookEnvironment : public SystemColors {
public:
    /// The desktop's menu font (colour and character set left to the caller);
    /// nothing when it cannot be read.
    virtual std::optional<FontFace> MenuFont() const = 0;
    /// Whether the system is of the Windows NT family (GetVersionEx platform 2).
    virtual bool NtFamily() const = 0;
};

/// An environment of fixed values: the classic colours, "Tahoma" at -11 as the
/// menu font, not the NT family. Every value can be changed.
class FixedLookEnvironment : public LookEnvironment {
public:
    Color SysColor(int index) const override { return colors_.SysColor(index); }
    std::optional<FontFace> MenuFont() const override { return menuFont_; }
    bool NtFamily() const override { return ntFamily_; }

    void SetSysColor(int index, Color rgb) { colors_.Set(index, rgb); }
    void SetMenuFont(std::optional<FontFace> font) { menuFont_ = std::move(font); }
    void SetNtFamily(bool nt) { ntFamily_ = nt; }

private:
    ClassicSystemColors colors_;
    std::optional<FontFace> menuFont_ = FontFace{"Tahoma", -11, clMenuText, DEFAULT_CHARSET};
    bool ntFamily_ = false;
};

}  // namespace vintrel
