#include "shell/image_list.h"

#include <algorithm>

namespace vintrel {

TChangeLink::~TChangeLink() {
    if (sender_ != nullptr) sender_->UnRegisterChanges(this);
}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* link : links_) link->sender_ = nullptr;
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
    if (link == nullptr) return;
    if (link->sender_ != nullptr && link->sender_ != this) link->sender_->UnRegisterChanges(link);
    link->sender_ = this;
    if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
    if (link == nullptr) return;
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
    if (link->sender_ == this) link->sender_ = nullptr;
}

void TCustomImageList::Change() {
    // A listener may unregister others while it runs; only links still
    // registered hear the change.
    const std::vector<TChangeLink*> snapshot = links_;
    for (TChangeLink* link : snapshot) {
        if (std::find(links_.begin(), links_.end(), link) == links_.end()) continue;
        if (link->OnChange) link->OnChange();
    }
}

}  // namespace vintrel
