#include "shell/kv_auto_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/support/xdg_sandbox.h"

namespace vintrel {
namespace {

using ::testing::IsEmpty;

// The same component over the system's lists, in a sandbox.
class TkvAutoRunOnSystemListsTest : public ::testing::Test {
protected:
    TkvAutoRunOnSystemListsTest() {
        // A program only root can change, as a machine-wide entry needs.
        std::filesystem::create_directories(sandbox_.root() + "/opt");
        std::ofstream(program_) << "#!/bin/sh\n";
        std::filesystem::permissions(program_, std::filesystem::perms::owner_all);
        autoRun_.SetFileName(program_);
        autoRun_.SetOnError(
            [this](TkvAutoRun&, const std::string& message) { errors_.push_back(message); });
    }

    vintrel::testing::XdgSandbox sandbox_;
    const std::string program_ = sandbox_.root() + "/opt/vintrel";
    TkvAutoRun autoRun_;
    std::vector<std::string> errors_;
};

TEST_F(TkvAutoRunOnSystemListsTest, WritesAndRemovesTheDesktopEntry) {
    const std::string entry = sandbox_.machineFolder() + "/vintrel.desktop";
    autoRun_.SetAutoRun(true);
    EXPECT_TRUE(std::filesystem::exists(entry));
    autoRun_.SetAutoRun(false);
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_THAT(errors_, IsEmpty());
}

// Stands for a user who may not write the machine-wide folder: root may write
// anything, but not into a folder that is a file.
TEST_F(TkvAutoRunOnSystemListsTest, AnUnwritableListIsReportedAndAutoRunStays) {
    std::filesystem::create_directories(sandbox_.root() + "/etc xdg");
    std::ofstream(sandbox_.machineFolder()) << "in the way";
    autoRun_.SetAutoRun(true);
    EXPECT_TRUE(autoRun_.AutoRun());
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0], "Vintrel could not be set to start at logon: " +
                              sandbox_.machineFolder() + " is not a folder.");
}

TEST_F(TkvAutoRunOnSystemListsTest, AProgramAnotherUserCanReplaceIsReportedAndAutoRunStays) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to hand the program to another user";
    ASSERT_EQ(chown(program_.c_str(), 65534, 0), 0);
    autoRun_.SetAutoRun(true);
    EXPECT_TRUE(autoRun_.AutoRun());
    EXPECT_FALSE(std::filesystem::exists(sandbox_.machineFolder() + "/vintrel.desktop"));
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0], "Vintrel could not be set to start at logon: " + program_ +
                              " belongs to user 65534, so a machine-wide entry would start at "
                              "every user's logon whatever that user puts there.");
}

}  // namespace
}  // namespace vintrel
