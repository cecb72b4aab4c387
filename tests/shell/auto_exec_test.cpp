#include "shell/auto_exec.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/recording_autostart_lists.h"

namespace vintrel {
namespace {

using ::testing::ElementsAre;
using vintrel::testing::RecordingAutoStartLists;

constexpr const char* kRun = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST(AutoExecLocationTest, EachKindHasItsOwnList) {
    const auto key = [](TkvAutoExecKind kind) {
        return RecordingAutoStartLists::KeyOf(AutoExecLocation(kind));
    };
    const std::string prefix = "Software\\Microsoft\\Windows\\CurrentVersion\\";
    EXPECT_EQ(key(aekMachineRun), "HKLM\\" + prefix + "Run");
    EXPECT_EQ(key(aekMachineRunOnce), "HKLM\\" + prefix + "RunOnce");
    EXPECT_EQ(key(aekUserRun), "HKCU\\" + prefix + "Run");
    EXPECT_EQ(key(aekUserRunOnce), "HKCU\\" + prefix + "RunOnce");
    EXPECT_EQ(key(aekServiceRun), "HKLM\\" + prefix + "RunServices");
    EXPECT_EQ(key(aekServiceRunOnce), "HKLM\\" + prefix + "RunServicesOnce");
}

struct NameRow {
    const char* fault;
    const char* fileName;
    const char* entryName;
};

// Names the row in test listings instead of dumping its bytes.
void PrintTo(const NameRow& row, std::ostream* out) {
    *out << row.fault;
}

class EntryNameTest : public ::testing::TestWithParam<NameRow> {};

TEST_P(EntryNameTest, IsThePartAfterTheLastSeparator) {
    EXPECT_EQ(AutoExecEntryName(GetParam().fileName), GetParam().entryName);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EntryNameTest,
    ::testing::Values(NameRow{"WindowsPathKeepsTheExtension", "C:\\Tools\\clock.exe", "clock.exe"},
                      NameRow{"NoSeparatorNamesTheWhole", "clock.exe", "clock.exe"},
                      NameRow{"SlashCounts", "/usr/bin/vintrel", "vintrel"},
                      NameRow{"DriveColonCounts", "C:clock.exe", "clock.exe"},
                      NameRow{"LastOfMixedSeparatorsWins", "a\\b/c:d\\e", "e"},
                      NameRow{"TrailingSeparatorLeavesNothing", "C:\\Tools\\", ""}),
    [](const auto& info) { return std::string(info.param.fault); });

TEST(RegisterAutoExecTest, WritesTheWholePathUnderTheFileNamePart) {
    RecordingAutoStartLists lists;
    EXPECT_TRUE(RegisterAutoExec(aekMachineRun, "C:\\Tools\\clock.exe"));
    EXPECT_THAT(lists.calls, ElementsAre(std::string("open ") + kRun + " create",
                                         "write clock.exe=C:\\Tools\\clock.exe"));
}

TEST(RegisterAutoExecTest, NoFailureReachesTheCaller) {
    RecordingAutoStartLists lists;
    lists.throwOnOpen = true;
    EXPECT_FALSE(RegisterAutoExec(aekUserRun, "/bin/prog"));
    EXPECT_FALSE(UnregisterAutoExec(aekUserRun, "/bin/prog"));
    lists.throwOnOpen = false;
    lists.failWrite = true;
    EXPECT_FALSE(RegisterAutoExec(aekUserRun, "/bin/prog"));
}

// The reason of a list that cannot be opened reaches the user; when the lists
// give none, the key is named.
TEST(RegisterAutoExecTest, AnUnopenableListGivesAReason) {
    RecordingAutoStartLists lists;
    lists.failOpen = true;
    lists.openFailure = "read-only file system";
    EXPECT_EQ(TryRegisterAutoExec(aekMachineRun, "prog").reason, "read-only file system");
    lists.openFailure = "";
    EXPECT_EQ(TryRegisterAutoExec(aekMachineRunOnce, "prog").reason,
              "Unable to open the Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce key");
}

TEST(UnregisterAutoExecTest, DeletesByNameWhateverTheEntryHolds) {
    RecordingAutoStartLists lists;
    lists.lists[kRun]["clock.exe"] = "D:\\Other\\clock.exe";
    EXPECT_TRUE(UnregisterAutoExec(aekMachineRun, "C:\\Tools\\clock.exe"));
    EXPECT_THAT(lists.calls, ElementsAre(std::string("open ") + kRun + " existing",
                                         "exists clock.exe", "remove clock.exe"));
    EXPECT_TRUE(lists.lists[kRun].empty());
}

TEST(UnregisterAutoExecTest, MissingEntryIsSuccessAndMissingListIsNot) {
    RecordingAutoStartLists lists;
    EXPECT_FALSE(UnregisterAutoExec(aekMachineRun, "prog"));
    lists.lists[kRun];
    EXPECT_TRUE(UnregisterAutoExec(aekMachineRun, "prog"));
}

TEST(ServiceKindTest, NtFamilyHasNoServiceLists) {
    RecordingAutoStartLists lists;
    for (const TkvAutoExecKind kind : {aekServiceRun, aekServiceRunOnce}) {
        EXPECT_FALSE(RegisterAutoExec(kind, "prog"));
        EXPECT_FALSE(UnregisterAutoExec(kind, "prog"));
    }
    EXPECT_THAT(lists.calls, ElementsAre("nt?", "nt?", "nt?", "nt?"));
}

TEST(ServiceKindTest, OtherFamiliesWriteTheServiceList) {
    RecordingAutoStartLists lists;
    lists.ntFamily = false;
    EXPECT_TRUE(RegisterAutoExec(aekServiceRunOnce, "prog"));
    EXPECT_EQ(
        lists.lists["HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce"]["prog"],
        "prog");
}

}  // namespace
}  // namespace vintrel
