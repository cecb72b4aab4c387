#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vintrel {

class WindowedControl;

enum class TOperation { opInsert, opRemove };

/// The framework's component: a name, a tag, an owner, the design-time and
/// destroying states, the loaded step and the notice that a referenced
/// component is being freed. The owner does not own the memory of its
/// components; C++ lifetimes decide that.
class TComponent {
public:
    /// A component created with a designing owner is designing too.
    explicit TComponent(TComponent* owner = nullptr);
    /// Tells every component that asked for a free notice.
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    std::intptr_t Tag() const { return tag_; }
    void SetTag(std::intptr_t tag) { tag_ = tag; }
    TComponent* Owner() const { return owner_; }

    bool Designing() const { return designing_; }
    void SetDesigning(bool designing) { designing_ = designing; }
    /// Set by an owner at the start of its own destruction, so that its
    /// components do not try to bring back a window that is going away.
    bool IsDestroying() const { return destroying_; }
    void Destroying() { destroying_ = true; }

    /// The step after the stored properties have been read.
    virtual void Loaded() {}

    /// Both components hear of each other's freeing from now on.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    /// The windowed control this component stands for, if it is one.
    virtual WindowedControl* AsWindowedControl() { return nullptr; }

protected:
    /// `component` is being freed (opRemove). The base forgets it; overrides
    /// call the base first.
    virtual void Notification(TComponent* component, TOperation operation);

private:
    void forget(TComponent* component);

    std::string name_;
    std::intptr_t tag_ = 0;
    TComponent* owner_;
    bool designing_ = false;
    bool destroying_ = false;
    std::vector<TComponent*> freeNotifies_;
};

}  // namespace vintrel
