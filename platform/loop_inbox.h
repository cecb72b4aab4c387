#pragma once

#include <functional>
#include <memory>
#include <mutex>

class QObject;

namespace vintrel {

/// Hands work done on other threads back to the event loop of the thread
/// that made the inbox. Work posted after the inbox is gone, or still queued
/// when it goes, is dropped: a thread that outlives its caller (a look-up
/// nobody waits for any more) then touches nothing of it.
class LoopInbox {
public:
    /// What a worker thread keeps to post through.
    class Slot {
    public:
        /// Queues `work` for the owner's event loop; nothing once the inbox is gone.
        void post(std::function<void()> work);

    private:
        friend class LoopInbox;
        std::mutex mutex_;
        QObject* receiver_ = nullptr;
    };

    LoopInbox();
    ~LoopInbox();
    LoopInbox(const LoopInbox&) = delete;
    LoopInbox& operator=(const LoopInbox&) = delete;

    std::shared_ptr<Slot> slot() const { return slot_; }

private:
    std::shared_ptr<Slot> slot_;
};

}  // namespace vintrel
