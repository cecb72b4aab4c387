#include "shell/component.h"

#include <algorithm>

namespace vintrel {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner != nullptr) designing_ = owner->Designing();
}

TComponent::~TComponent() {
    destroying_ = true;
    // Each one is taken off the list before it hears, so a notice that frees
    // or unregisters other components cannot disturb the walk.
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        other->forget(this);
        other->Notification(this, TOperation::opRemove);
    }
}

void TComponent::FreeNotification(TComponent* component) {
    if (component == nullptr || component == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end())
        freeNotifies_.push_back(component);
    if (std::find(component->freeNotifies_.begin(), component->freeNotifies_.end(), this) ==
        component->freeNotifies_.end())
        component->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (component == nullptr) return;
    forget(component);
    component->forget(this);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove) forget(component);
}

void TComponent::forget(TComponent* component) {
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), component),
                        freeNotifies_.end());
}

}  // namespace vintrel
