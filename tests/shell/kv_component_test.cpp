#include "shell/kv_component.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vintrel {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class CountedComponent : public TkvComponent {
public:
    CountedComponent(TkvComponent* owner, int& alive) : TkvComponent(owner), alive_(alive) {
        ++alive_;
    }
    ~CountedComponent() override { --alive_; }

private:
    int& alive_;
};

TEST(TkvComponentTest, OwnerDestroysWhatItOwns) {
    int alive = 0;
    {
        TkvComponent form;
        new CountedComponent(&form, alive);
        new CountedComponent(&form, alive);
        EXPECT_EQ(alive, 2);
    }
    EXPECT_EQ(alive, 0);
}

// A component destroyed before its owner must not be destroyed twice.
TEST(TkvComponentTest, AComponentDestroyedFirstLeavesItsOwner) {
    int alive = 0;
    TkvComponent form;
    auto* first = new CountedComponent(&form, alive);
    auto* second = new CountedComponent(&form, alive);
    delete first;
    EXPECT_THAT(form.Components(), ElementsAre(second));
    delete second;
    EXPECT_THAT(form.Components(), IsEmpty());
}

TEST(TkvComponentTest, DesigningReachesOwnedComponents) {
    TkvComponent form;
    auto* before = new TkvComponent(&form);
    form.SetDesigning(true);
    auto* after = new TkvComponent(&form);
    EXPECT_TRUE(before->Designing());
    EXPECT_TRUE(after->Designing());
    EXPECT_FALSE(TkvComponent().Designing());
}

}  // namespace
}  // namespace vintrel
