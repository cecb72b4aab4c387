#include <QMetaObject>
#include <QObject>

#include "platform/loop_inbox.h"

namespace vintrel {

struct LoopInbox::Slot::Receiver final : public QObject {};

LoopInbox::LoopInbox() : slot_(std::make_shared<Slot>()) {
    slot_->receiver_ = new Slot::Receiver();
}

LoopInbox::~LoopInbox() {
    Slot::Receiver* receiver = nullptr;
    {
        const std::lock_guard<std::mutex> lock(slot_->mutex_);
        receiver = slot_->receiver_;
        slot_->receiver_ = nullptr;
    }
    // Deleting the receiver drops what was queued for it.
    delete receiver;
}

void LoopInbox::Slot::post(std::function<void()> work) {
    // Held while queueing, so that the owner cannot delete the receiver
    // between the look and the post.
    const std::lock_guard<std::mutex> lock(mutex_);
    if (receiver_ == nullptr) return;
    QMetaObject::invokeMethod(receiver_, std::move(work), Qt::QueuedConnection);
}

}  // namespace vintrel
