#pragma once

#include <string>

#include "shell/component.h"

namespace vintrel {

/// Root of the program's component library: a framework component with one
/// design-time text, published as `About` and never stored.
class TkvComponent : public TComponent {
public:
    using TComponent::TComponent;

    const std::string& About() const { return about_; }
    void SetAbout(std::string about) { about_ = std::move(about); }

private:
    std::string about_;
};

}  // namespace vintrel
