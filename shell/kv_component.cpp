#include "shell/kv_component.h"

#include <algorithm>

namespace vintrel {

TkvComponent::TkvComponent(TkvComponent* owner) : owner_(owner) {
    if (owner_ == nullptr) return;
    owner_->components_.push_back(this);
    designing_ = owner_->designing_;
}

TkvComponent::~TkvComponent() {
    // Last created, first destroyed; each leaves the list as it goes.
    while (!components_.empty()) delete components_.back();
    if (owner_ != nullptr) std::erase(owner_->components_, this);
}

void TkvComponent::SetDesigning(bool designing) {
    designing_ = designing;
    for (TkvComponent* component : components_) component->SetDesigning(designing);
}

}  // namespace vintrel
