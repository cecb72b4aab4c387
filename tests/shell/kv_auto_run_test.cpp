#include "shell/kv_auto_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/executable_path.h"
#include "tests/support/recording_autostart_lists.h"

namespace vintrel {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using vintrel::testing::RecordingAutoStartLists;

const std::string kMachineRun = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kUserRun = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kClock = "C:\\Tools\\clock.exe";
#ifdef _WIN32
const std::string kThisProgram = "\\shell_tests.exe";
#else
const std::string kThisProgram = "/shell_tests";
#endif

class TkvAutoRunTest : public ::testing::Test {
protected:
    TkvAutoRunTest() {
        autoRun_.SetFileName(kClock);
        autoRun_.SetOnError([this](TkvAutoRun& sender, const std::string& message) {
            EXPECT_EQ(&sender, &autoRun_);
            errors_.push_back(message);
        });
        lists_.calls.clear();
    }

    RecordingAutoStartLists lists_;
    TkvAutoRun autoRun_;
    std::vector<std::string> errors_;
};

TEST_F(TkvAutoRunTest, StartsOffInTheMachineListNamingThisProgram) {
    RecordingAutoStartLists lists;
    const TkvAutoRun fresh;
    EXPECT_FALSE(fresh.AutoRun());
    EXPECT_EQ(fresh.Kind(), aekMachineRun);
    EXPECT_EQ(fresh.FileName(), RunningExecutablePath());
    EXPECT_THAT(fresh.FileName(), ::testing::EndsWith(kThisProgram));
    EXPECT_THAT(lists.calls, IsEmpty());
}

TEST_F(TkvAutoRunTest, SettingTheValueItHasTouchesNoList) {
    autoRun_.SetAutoRun(false);
    autoRun_.SetKind(aekMachineRun);
    autoRun_.SetFileName(kClock);
    EXPECT_THAT(lists_.calls, IsEmpty());
    autoRun_.SetAutoRun(true);
    lists_.calls.clear();
    autoRun_.SetAutoRun(true);
    EXPECT_THAT(lists_.calls, IsEmpty());
}

// Remove with the old values, store, then apply: remove and write with the new.
TEST_F(TkvAutoRunTest, SwitchingOnRemovesThenWrites) {
    autoRun_.SetAutoRun(true);
    EXPECT_THAT(
        lists_.calls,
        ElementsAre("open " + kMachineRun + " existing", "open " + kMachineRun + " existing",
                    "open " + kMachineRun + " create", "write clock.exe=" + kClock));
    EXPECT_TRUE(autoRun_.AutoRun());
    autoRun_.SetAutoRun(false);
    EXPECT_THAT(lists_.lists[kMachineRun], IsEmpty());
    EXPECT_FALSE(autoRun_.AutoRun());
}

TEST_F(TkvAutoRunTest, ChangingKindMovesTheEntry) {
    autoRun_.SetAutoRun(true);
    autoRun_.SetKind(aekUserRun);
    EXPECT_THAT(lists_.lists[kMachineRun], IsEmpty());
    EXPECT_EQ(lists_.lists[kUserRun]["clock.exe"], kClock);
}

TEST_F(TkvAutoRunTest, ChangingFileNameReplacesTheOldNamedEntry) {
    autoRun_.SetAutoRun(true);
    autoRun_.SetFileName("D:\\New\\timer.exe");
    EXPECT_EQ(lists_.lists[kMachineRun],
              (std::map<std::string, std::string>{{"timer.exe", "D:\\New\\timer.exe"}}));
}

TEST_F(TkvAutoRunTest, LoadedStepRemovesThenApplies) {
    autoRun_.SetAutoRun(true);
    lists_.calls.clear();
    autoRun_.Loaded();
    EXPECT_THAT(lists_.calls, ElementsAre("open " + kMachineRun + " existing", "exists clock.exe",
                                          "remove clock.exe", "open " + kMachineRun + " create",
                                          "write clock.exe=" + kClock));
}

TEST_F(TkvAutoRunTest, LoadedStepWithAutoRunOffOnlyRemoves) {
    lists_.lists[kMachineRun]["clock.exe"] = "left by an earlier run";
    autoRun_.Loaded();
    EXPECT_THAT(lists_.lists[kMachineRun], IsEmpty());
    EXPECT_THAT(errors_, IsEmpty());
}

TEST_F(TkvAutoRunTest, AFailedWriteIsReportedAndAutoRunStaysAsAsked) {
    lists_.failWrite = true;
    autoRun_.SetAutoRun(true);
    EXPECT_TRUE(autoRun_.AutoRun());
    EXPECT_THAT(errors_, ElementsAre("Vintrel could not be set to start at logon: "
                                     "the write was refused."));
}

TEST_F(TkvAutoRunTest, AServiceKindIsReportedOnThisFamily) {
    autoRun_.SetKind(aekServiceRun);
    lists_.calls.clear();
    autoRun_.SetAutoRun(true);
    EXPECT_THAT(lists_.calls, ElementsAre("nt?", "nt?", "nt?"));
    EXPECT_EQ(errors_.size(), 1u);
}

TEST(TkvAutoRunDesignTest, AtDesignTimeNamesNothingAndTouchesNoList) {
    RecordingAutoStartLists lists;
    TkvComponent form;
    form.SetDesigning(true);
    TkvAutoRun autoRun(&form);
    EXPECT_EQ(autoRun.FileName(), "");
    autoRun.SetAutoRun(true);
    autoRun.SetKind(aekUserRunOnce);
    autoRun.SetFileName(kClock);
    autoRun.Loaded();
    EXPECT_THAT(lists.calls, IsEmpty());
}

}  // namespace
}  // namespace vintrel
