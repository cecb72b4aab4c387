#pragma once

class QWidget;

namespace vintrel {

/// Whether `window` has a button on the taskbar. On X11 it is the window's
/// _NET_WM_STATE_SKIP_TASKBAR state: written on the window while it is not
/// mapped (the window manager reads it at the map, and may drop it when the
/// window is withdrawn, so it is written again before each showing), asked of
/// the window manager while it is. Elsewhere (Wayland) the compositor decides
/// and nothing is done.
void SetTaskbarButton(QWidget& window, bool wanted);

}  // namespace vintrel
