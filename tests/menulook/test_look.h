#pragma once

#include <vector>

#include "menulook/look_environment.h"
#include "menulook/menu_look_rules.h"

namespace vintrel::testing {

/// The menu look's rules with a recording host: a settable main menu, and
/// counts of menu bar redraws, activation walks and flat borders.
class TestLook : public MenuLookRules {
public:
    explicit TestLook(const LookEnvironment& environment) : MenuLookRules(environment) {}
    void Activate(bool active = true) { SetActiveFlag(active); }

    const TMenu* hostMenu = nullptr;
    int menuBarRedraws = 0;
    int activationWalks = 0;
    int popupItemsDrawn = 0;

protected:
    const TMenu* HostMainMenu() const override { return hostMenu; }
    void RedrawMenuBar() override { ++menuBarRedraws; }
    void RunActivationWalk() override { ++activationWalks; }
    void PopupItemDrawn(Canvas& /*canvas*/) override { ++popupItemsDrawn; }
};

}  // namespace vintrel::testing
