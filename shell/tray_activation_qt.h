#pragma once

#include <cstdint>
#include <vector>

#include <QSystemTrayIcon>

namespace vintrel {

/// The mouse messages the shell would have reported for one activation of a
/// Qt tray icon, in order. A double click that follows the trigger of its
/// first press (as X11 reports it) only adds the double click and its release,
/// so that one double click still yields one click.
std::vector<std::uint32_t> mouseMessagesForActivation(QSystemTrayIcon::ActivationReason reason,
                                                      bool followsTrigger);

}  // namespace vintrel
