#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vintrel {

/// The root of the program's components: an owner that destroys them, a name,
/// the design-time flag and the loaded step of the framework, and the About
/// text. A component given an owner must be created with new; the owner
/// deletes it, and a component deleted earlier leaves its owner.
class TkvComponent {
public:
    explicit TkvComponent(TkvComponent* owner = nullptr);
    TkvComponent(const TkvComponent&) = delete;
    TkvComponent& operator=(const TkvComponent&) = delete;
    virtual ~TkvComponent();

    TkvComponent* Owner() const { return owner_; }
    /// The components this one owns, in the order they were created.
    const std::vector<TkvComponent*>& Components() const { return components_; }

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    /// Design-time information; never stored with the component's properties.
    const std::string& About() const { return about_; }
    void SetAbout(std::string text) { about_ = std::move(text); }

    /// Whether the component is being designed rather than run; false unless
    /// set. Passed on to the components it owns, now and when they are created.
    bool Designing() const { return designing_; }
    void SetDesigning(bool designing);

    /// The loaded step: runs once after the stored properties have been set.
    virtual void Loaded() {}

private:
    TkvComponent* owner_;
    std::vector<TkvComponent*> components_;
    std::string name_;
    std::string about_;
    bool designing_ = false;
};

}  // namespace vintrel
