#include "menulook/control_tracker.h"

#include <gtest/gtest.h>

namespace vintrel {
namespace {

TEST(ControlTrackerTest, HotFollowsMouseAndFocusAndEndsOnCheckMessages) {
    for (ControlMessage ending :
         {ControlMessage::MouseLeave, ControlMessage::Exit, ControlMessage::KillFocus,
          ControlMessage::GetCheck, ControlMessage::SetCheck}) {
        ControlTracker tracker;
        EXPECT_TRUE(tracker.Handle(ControlMessage::MouseEnter));
        EXPECT_TRUE(tracker.Hot());
        EXPECT_TRUE(tracker.Handle(ending));
        EXPECT_FALSE(tracker.Hot());
        tracker.Handle(ControlMessage::SetFocus);
        EXPECT_TRUE(tracker.Hot());
    }
}

TEST(ControlTrackerTest, HeldSpaceRepaintsOnlyOnItsFirstPress) {
    ControlTracker tracker;
    EXPECT_FALSE(tracker.Handle(ControlMessage::KeyDown, 'A'));
    EXPECT_FALSE(tracker.SpaceDown());
    EXPECT_TRUE(tracker.Handle(ControlMessage::KeyDown, VK_SPACE));
    EXPECT_FALSE(tracker.Handle(ControlMessage::KeyDown, VK_SPACE));
    EXPECT_TRUE(tracker.SpaceDown());
    EXPECT_TRUE(tracker.Handle(ControlMessage::KeyUp, VK_SPACE));
    EXPECT_FALSE(tracker.SpaceDown());
    EXPECT_TRUE(tracker.Handle(ControlMessage::KeyDown, VK_SPACE));
}

TEST(ControlTrackerTest, LeftButtonSetsAndClearsItsFlag) {
    ControlTracker tracker;
    EXPECT_TRUE(tracker.Handle(ControlMessage::LButtonDown));
    EXPECT_TRUE(tracker.ButtonDown());
    EXPECT_TRUE(tracker.Handle(ControlMessage::LButtonUp));
    EXPECT_FALSE(tracker.ButtonDown());
    EXPECT_FALSE(tracker.Handle(ControlMessage::Other));
    EXPECT_TRUE(tracker.Handle(ControlMessage::Paint));
}

}  // namespace
}  // namespace vintrel
