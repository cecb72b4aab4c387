#pragma once

#include "menulook/look_environment.h"

namespace vintrel {

/// The running desktop as Qt sees it: system colours from the application's
/// palette, the menu font from the platform theme (QApplication::font("QMenu")).
/// Linux is not of the NT family.
class QtLookEnvironment final : public LookEnvironment {
public:
    Color SysColor(int index) const override;
    /// Nothing while no Qt application object exists.
    std::optional<FontFace> MenuFont() const override;
    bool NtFamily() const override { return false; }
};

/// The one environment of the running desktop.
const LookEnvironment& DesktopLookEnvironment();

}  // namespace vintrel
