#include "platform/loop_inbox.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "platform/qt_runtime.h"

namespace vintrel {
namespace {

// Waits until everything posted to this thread's loop before the call has
// been handled: the loop delivers in the order of posting.
void DrainLoop() {
    LoopInbox marker;
    bool reached = false;
    marker.slot()->post([&reached] { reached = true; });
    runEventLoopUntil([&reached] { return reached; });
}

TEST(LoopInboxTest, WorkPostedFromAWorkerRunsOnTheOwnerThreadInOrder) {
    ensureQtCore();
    LoopInbox inbox;
    std::vector<int> order;
    std::thread::id ranOn;
    std::thread([slot = inbox.slot(), &order, &ranOn] {
        slot->post([&order] { order.push_back(1); });
        slot->post([&order, &ranOn] {
            order.push_back(2);
            ranOn = std::this_thread::get_id();
        });
    }).join();
    runEventLoopUntil([&order] { return order.size() == 2; });
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

// Work still queued when the inbox goes, or posted after, must neither run
// (it would touch what its caller has freed) nor stay allocated.
TEST(LoopInboxTest, WorkQueuedOrPostedWhenTheInboxIsGoneIsDroppedAndFreed) {
    ensureQtCore();
    auto captured = std::make_shared<int>(0);
    bool ran = false;
    std::shared_ptr<LoopInbox::Slot> slot;
    {
        LoopInbox inbox;
        slot = inbox.slot();
        slot->post([&ran, captured] { ran = true; });
    }
    std::thread([slot, &ran, captured] { slot->post([&ran, captured] { ran = true; }); }).join();
    DrainLoop();
    EXPECT_FALSE(ran);
    EXPECT_EQ(captured.use_count(), 1);
}

}  // namespace
}  // namespace vintrel
