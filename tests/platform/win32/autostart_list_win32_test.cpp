#include "platform/autostart_list.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "shell/auto_exec.h"

namespace vintrel {
namespace {

// The tests write the real Run keys, of the throw-away Wine prefix the run
// uses; every entry they make carries this prefix and is removed again.
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct StoredValue {
    DWORD type = REG_NONE;
    std::string data;  // with whatever terminating zero was stored
};

// Reads a value back with the registry's own calls, not the code under test.
std::optional<StoredValue> ReadBack(HKEY root, const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    StoredValue value;
    char data[1024];
    DWORD size = sizeof data;
    const LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &value.type,
                                         reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    value.data.assign(data, size);
    return value;
}

void DeleteKeyTree(HKEY root, const std::string& path) {
    RegDeleteTreeA(root, path.c_str());
    RegDeleteKeyA(root, path.c_str());
}

struct KindCase {
    const char* name;
    TkvAutoExecKind kind;
    HKEY root;
    const char* list;
};

void PrintTo(const KindCase& c, std::ostream* out) {
    *out << c.name;
}

class RunKeyTest : public ::testing::TestWithParam<KindCase> {
protected:
    std::string path() const {
        return std::string("Software\\Microsoft\\Windows\\CurrentVersion\\") + GetParam().list;
    }
};

TEST_P(RunKeyTest, EntryIsWrittenReadBackAndRemoved) {
    const std::string program = "C:\\Program Files\\Vintrel Test\\vintrel-test.exe";
    ASSERT_TRUE(RegisterAutoExec(GetParam().kind, program, realAutoStartLists()));

    const std::optional<StoredValue> stored = ReadBack(GetParam().root, path(), "vintrel-test.exe");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
    // The data is the path as given, no quotes, with its terminating zero.
    EXPECT_EQ(stored->data, program + std::string(1, '\0'));

    EXPECT_TRUE(UnregisterAutoExec(GetParam().kind, program, realAutoStartLists()));
    EXPECT_FALSE(ReadBack(GetParam().root, path(), "vintrel-test.exe").has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Table, RunKeyTest,
    ::testing::Values(KindCase{"MachineRun", aekMachineRun, HKEY_LOCAL_MACHINE, "Run"},
                      KindCase{"MachineRunOnce", aekMachineRunOnce, HKEY_LOCAL_MACHINE, "RunOnce"},
                      KindCase{"UserRun", aekUserRun, HKEY_CURRENT_USER, "Run"},
                      KindCase{"UserRunOnce", aekUserRunOnce, HKEY_CURRENT_USER, "RunOnce"}),
    [](const auto& info) { return std::string(info.param.name); });

struct NameCase {
    const char* name;
    std::string fileName;
    std::string entryName;
};

void PrintTo(const NameCase& c, std::ostream* out) {
    *out << c.name;
}

class RunEntryNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(RunEntryNameTest, EntryIsNamedAfterTheFilePart) {
    const NameCase& c = GetParam();
    ASSERT_TRUE(RegisterAutoExec(aekUserRun, c.fileName, realAutoStartLists()));
    const std::optional<StoredValue> stored = ReadBack(HKEY_CURRENT_USER, kRunKey, c.entryName);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->data, c.fileName + std::string(1, '\0'));
    EXPECT_TRUE(UnregisterAutoExec(aekUserRun, c.fileName, realAutoStartLists()));
    EXPECT_FALSE(ReadBack(HKEY_CURRENT_USER, kRunKey, c.entryName).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Table, RunEntryNameTest,
    ::testing::Values(
        NameCase{"Backslash", "C:\\Tools\\vintrel-test-clock.exe", "vintrel-test-clock.exe"},
        NameCase{"DriveColonOnly", "C:vintrel-test-drive.exe", "vintrel-test-drive.exe"},
        NameCase{"ForwardSlash", "C:/Tools/vintrel-test-slash.exe", "vintrel-test-slash.exe"},
        NameCase{"NoSeparatorNamesTheWholeText", "vintrel-test-bare.exe", "vintrel-test-bare.exe"},
        NameCase{"BlanksAreKept", "C:\\My Tools\\vintrel test.exe", "vintrel test.exe"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RunKeyRemovalTest, RemovingWhatIsNotThereIsNoFailure) {
    EXPECT_TRUE(
        UnregisterAutoExec(aekUserRun, "C:\\vintrel-test-absent.exe", realAutoStartLists()));
}

// Two programs of the same file name share one entry: the second overwrites it.
TEST(RunKeyRemovalTest, SameFileNameSharesTheEntry) {
    ASSERT_TRUE(RegisterAutoExec(aekUserRun, "C:\\A\\vintrel-test-twin.exe", realAutoStartLists()));
    ASSERT_TRUE(RegisterAutoExec(aekUserRun, "D:\\B\\vintrel-test-twin.exe", realAutoStartLists()));
    const std::optional<StoredValue> stored =
        ReadBack(HKEY_CURRENT_USER, kRunKey, "vintrel-test-twin.exe");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->data, std::string("D:\\B\\vintrel-test-twin.exe") + '\0');
    EXPECT_TRUE(
        UnregisterAutoExec(aekUserRun, "C:\\A\\vintrel-test-twin.exe", realAutoStartLists()));
    EXPECT_FALSE(ReadBack(HKEY_CURRENT_USER, kRunKey, "vintrel-test-twin.exe").has_value());
}

class AutoStartListOpenTest : public ::testing::Test {
protected:
    static constexpr const char* kMissing = "Software\\Vintrel Test\\Missing\\Run";
    AutoStartListOpenTest() { DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Vintrel Test"); }
    ~AutoStartListOpenTest() override {
        DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Vintrel Test");
    }
};

TEST_F(AutoStartListOpenTest, DeletingNeverCreatesTheKey) {
    AutoStartLists::Opened opened =
        realAutoStartLists().open({AutoStartRoot::User, kMissing}, AutoStartOpen::ExistingOnly);
    EXPECT_EQ(opened.list, nullptr);
    EXPECT_NE(opened.reason.find(kMissing), std::string::npos) << opened.reason;
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kMissing, 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST_F(AutoStartListOpenTest, WritingCreatesTheKey) {
    AutoStartLists::Opened opened =
        realAutoStartLists().open({AutoStartRoot::User, kMissing}, AutoStartOpen::CreateIfMissing);
    ASSERT_NE(opened.list, nullptr) << opened.reason;
    EXPECT_FALSE(opened.list->exists("entry"));
    EXPECT_TRUE(opened.list->write("entry", "C:\\entry.exe").ok);
    EXPECT_TRUE(opened.list->exists("entry"));
    EXPECT_TRUE(opened.list->remove("entry").ok);
    EXPECT_FALSE(opened.list->exists("entry"));
}

// A name with a zero in it would reach the registry as the part before the
// zero, which is another entry.
TEST_F(AutoStartListOpenTest, NamesWithAZeroAreRefused) {
    AutoStartLists::Opened opened =
        realAutoStartLists().open({AutoStartRoot::User, kMissing}, AutoStartOpen::CreateIfMissing);
    ASSERT_NE(opened.list, nullptr) << opened.reason;
    const std::string name("entry\0hidden", 12);
    EXPECT_FALSE(opened.list->write(name, "C:\\entry.exe").ok);
    EXPECT_FALSE(opened.list->exists("entry"));
    EXPECT_FALSE(opened.list->remove(name).ok);
}

// The service lists belong to Windows 9x; nothing here writes them.
TEST(ServiceListTest, NtFamilyWritesNoServiceList) {
    EXPECT_TRUE(realAutoStartLists().isNtFamily());
    EXPECT_FALSE(RegisterAutoExec(aekServiceRun, "C:\\vintrel-test-svc.exe", realAutoStartLists()));
    EXPECT_FALSE(ReadBack(HKEY_LOCAL_MACHINE,
                          "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices",
                          "vintrel-test-svc.exe")
                     .has_value());
}

}  // namespace
}  // namespace vintrel
