#pragma once

#include <array>

#include "menulook/color.h"

namespace vintrel {

/// The desktop's system colours (GetSysColor). Injected wherever colours are
/// resolved, so tests can fix them.
class SystemColors {
public:
    virtual ~SystemColors() = default;
    /// The plain RGB value of system colour `index` (COLOR_*).
    virtual Color SysColor(int index) const = 0;
};

/// A fixed table of system colours, starting from the classic Windows 2000
/// scheme (button face RGB(212, 208, 200), highlight RGB(10, 36, 106)).
class ClassicSystemColors : public SystemColors {
public:
    ClassicSystemColors();
    Color SysColor(int index) const override;
    void Set(int index, Color rgb);

private:
    std::array<Color, kSystemColorCount> table_{};
};

/// A system colour resolved to RGB; plain colours pass unchanged (ColorToRGB).
Color ColorToRGB(Color c, const SystemColors& system);

}  // namespace vintrel
