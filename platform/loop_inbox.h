#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

namespace vintrel {

/// Hands work done on other threads back to the event loop of the thread
/// that made the inbox. Work posted after the inbox is gone, or still queued
/// when it goes, is dropped: a thread that outlives its caller (a look-up
/// nobody waits for any more) then touches nothing of it. Made and ended on
/// the owner thread, whose loop must run for the work to arrive (Qt's loop on
/// Linux, the thread's message loop on Windows).
class LoopInbox {
public:
    /// What a worker thread keeps to post through.
    class Slot {
    public:
        /// Queues `work` for the owner's event loop; nothing once the inbox is gone.
        void post(std::function<void()> work);

    private:
        friend class LoopInbox;
        /// What the owner's loop delivers through, one per platform.
        struct Receiver;
        std::mutex mutex_;
        Receiver* receiver_ = nullptr;
    };

    LoopInbox();
    ~LoopInbox();
    LoopInbox(const LoopInbox&) = delete;
    LoopInbox& operator=(const LoopInbox&) = delete;

    std::shared_ptr<Slot> slot() const { return slot_; }

private:
    std::shared_ptr<Slot> slot_;
};

/// Runs `work` on a detached thread of its own and hands its result to `done`
/// through `inbox`. A thread that outlives the inbox finishes by itself and
/// its result is dropped. When no thread can be had, `done` gets
/// `noThread(reason)` through the inbox instead, never from inside this call.
template <typename Result, typename Work, typename NoThread>
void RunDetached(LoopInbox& inbox, Work work, std::function<void(Result)> done, NoThread noThread) {
    auto slot = inbox.slot();
    try {
        std::thread([slot, work = std::move(work), done]() mutable {
            Result result = work();
            slot->post([done = std::move(done), result = std::move(result)]() mutable {
                done(std::move(result));
            });
        }).detach();
    } catch (const std::system_error& error) {
        slot->post(
            [done = std::move(done), result = noThread(std::string(error.what()))]() mutable {
                done(std::move(result));
            });
    }
}

}  // namespace vintrel
