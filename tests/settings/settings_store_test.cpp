#include "settings/settings_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/regedit_form.h"
#include "tests/support/temp_dir.h"

namespace vintrel {
namespace {
namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::RegeditForm;
using ::testing::StartsWith;
using testing::WriteFileBytes;

const std::string kHeader = "Windows Registry Editor Version 5.00\n\n";
const std::string kSection = "[HKEY_CURRENT_USER\\SOFTWARE\\Kavrin\\Proxy]\n";
const std::string kEmptyKeyFile = kHeader + kSection + "\n";

/// The text of the exception a call raises; empty when it raises none.
std::string FailureOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const ERegistryException& e) {
        return e.what();
    }
    return {};
}

class SettingsStoreTest : public ::testing::Test {
protected:
    std::string read(std::string_view name, std::string_view defaultValue = "default") {
        return ReadSetting(kSettingsKey, name, defaultValue);
    }
    void storeFile(const std::string& sectionBody) {
        WriteFileBytes(home_.hivePath(), kHeader + kSection + sectionBody + "\n");
    }

    testing::TempConfigHome home_;
};

TEST_F(SettingsStoreTest, FirstRunYieldsEveryDefaultAndCreatesTheEmptyKey) {
    const std::vector<std::pair<const char*, const char*>> defaults = {
        {"ConnectionType", "1"},
        {"Address", ""},
        {"Port", ""},
        {"ipAddress", "the fourth server"},
        {"LastPing", "Never"},
        {"AutoStart", ""},
        {"StartMinimized", ""},
        {"AutoPing", ""},
    };
    for (const auto& [name, defaultValue] : defaults) {
        EXPECT_EQ(ReadSetting(kSettingsKey, name, defaultValue), defaultValue) << name;
        EXPECT_EQ(ReadFileBytes(home_.hivePath()), RegeditForm(kEmptyKeyFile));
    }
}

TEST_F(SettingsStoreTest, WrittenTextIsReadBackAndEmptyMeansNotSet) {
    WriteSetting(kSettingsKey, "Address", "proxy.example");
    WriteSetting(kSettingsKey, "AutoStart", "1");
    EXPECT_EQ(read("Address"), "proxy.example");
    EXPECT_EQ(read("AutoStart", ""), "1");
    // Turning a flag off stores an empty value; it is never deleted.
    WriteSetting(kSettingsKey, "AutoStart", "");
    EXPECT_EQ(read("AutoStart", "default"), "default");
    EXPECT_EQ(
        ReadFileBytes(home_.hivePath()),
        RegeditForm(kHeader + kSection + "\"Address\"=\"proxy.example\"\n\"AutoStart\"=\"\"\n\n"));
}

struct StoredCase {
    const char* fault;
    std::string line;
    std::string expected;  // what ReadSetting("AutoPing", "default") gives
    std::string failure;   // or the exception text
};

TEST_F(SettingsStoreTest, StoredValuesOfEveryKindReadAsTheRegistryReadsThem) {
    const std::string invalid = "Invalid data type for 'AutoPing'";
    const std::vector<StoredCase> cases = {
        {"hand-written 1 counts as on", R"("AutoPing"="1")", "1", ""},
        {"written True", R"("AutoPing"="True")", "True", ""},
        {"empty string is off", R"("AutoPing"="")", "default", ""},
        {"absent is off", R"("Other"="x")", "default", ""},
        {"name matched without case", R"("autoping"="on")", "on", ""},
        {"expandable string unexpanded", R"("AutoPing"=hex(2):25,00,54,00,4d,00,50,00,25,00,00,00)",
         "%TMP%", ""},
        {"string kept as hex", R"("AutoPing"=hex(1):79,00,00,00)", "y", ""},
        {"string ends at its zero", R"("AutoPing"=hex(1):61,00,00,00,62,00,00,00)", "a", ""},
        {"dword with data", R"("AutoPing"=dword:00000001)", "", invalid},
        {"zero dword has data too", R"("AutoPing"=dword:00000000)", "", invalid},
        {"binary with data", R"("AutoPing"=hex:31)", "", invalid},
        {"multi-string with data", R"("AutoPing"=hex(7):31,00,00,00,00,00)", "", invalid},
        {"empty binary reads as empty", R"("AutoPing"=hex:)", "default", ""},
        {"empty dword reads as empty", R"("AutoPing"=hex(4):)", "default", ""},
        {"empty none reads as empty", R"("AutoPing"=hex(0):)", "default", ""},
    };
    for (const StoredCase& c : cases) {
        SCOPED_TRACE(c.fault);
        storeFile(c.line + "\n");
        std::string value;
        EXPECT_EQ(FailureOf([&] { value = read("AutoPing"); }), c.failure);
        EXPECT_EQ(value, c.expected);
    }
}

TEST_F(SettingsStoreTest, NamesAndTextsComeBackExactly) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Address", R"(say "hi" \ bye\)"},   {R"(odd "name" \ here)", "x"}, {"a=b", "c=d"},
        {"LastPing", "31.12.2024 23:59:59"}, {"Größe", "日本語 ☃"},         {"Note", "one\ntwo"},
    };
    for (const auto& [name, text] : cases) WriteSetting(kSettingsKey, name, text);
    for (const auto& [name, text] : cases) EXPECT_EQ(read(name), text) << name;
    // Kept readable for a person editing the file.
    const std::string file = ReadFileBytes(home_.hivePath());
    for (const char* line : {R"("Address"="say \"hi\" \\ bye\\")", R"("Note"="one\ntwo")"}) {
        EXPECT_NE(file.find(RegeditForm(line).substr(2)), std::string::npos) << line;
    }
}

TEST_F(SettingsStoreTest, BrokenFileFailsEveryOperationAndIsNeverRewritten) {
    int seen = 0;
    for (const auto& entry : fs::directory_iterator(VINTREL_REG_FIXTURES)) {
        if (!entry.path().filename().string().starts_with("broken-")) continue;
        SCOPED_TRACE(entry.path().filename().string());
        ++seen;
        const std::string broken = ReadFileBytes(entry.path());
        WriteFileBytes(home_.hivePath(), broken);
        // The message says which file is wrong, and where and how.
        const std::string where = ": " + home_.hivePath().string();
        EXPECT_THAT(FailureOf([&] { read("Address"); }),
                    StartsWith("Failed to get data for 'Address'" + where));
        EXPECT_THAT(FailureOf([&] { WriteSetting(kSettingsKey, "Address", "new"); }),
                    StartsWith("Failed to set data for 'Address'" + where));
        EXPECT_THAT(FailureOf([&] {
                        WriteSettings(kSettingsKey, {{"Port", "1"}, {"Address", ""}});
                    }),
                    StartsWith("Failed to set data for 'Port'" + where));
        EXPECT_EQ(ReadFileBytes(home_.hivePath()), broken);
    }
    EXPECT_GE(seen, 10);
}

TEST_F(SettingsStoreTest, FolderThatCannotBeMadeFailsToCreateTheKey) {
    // Root passes over permissions, but not over a file where a folder must be.
    fs::remove_all(home_.path());
    WriteFileBytes(home_.path(), "a file, not a folder");
    const std::string failure = "Failed to create key \\SOFTWARE\\Kavrin\\Proxy\\: ";
    EXPECT_THAT(FailureOf([&] { read("Port"); }), StartsWith(failure));
    EXPECT_THAT(FailureOf([&] { WriteSetting(kSettingsKey, "Port", "80"); }), StartsWith(failure));
    EXPECT_EQ(ReadFileBytes(home_.path()), "a file, not a folder");
}

TEST_F(SettingsStoreTest, ReadOnlyFolderStillReadsButRefusesWrites) {
    WriteSetting(kSettingsKey, "Port", "80");
    const std::string before = ReadFileBytes(home_.hivePath());
    const fs::path folder = home_.hivePath().parent_path();
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    testing::WithoutFileRights asUser;
    if (!asUser.works()) GTEST_SKIP() << "root cannot give up its file rights here";
    EXPECT_EQ(read("Port"), "80");
    EXPECT_THAT(FailureOf([&] { WriteSetting(kSettingsKey, "Port", "8080"); }),
                StartsWith("Failed to set data for 'Port': "));
    EXPECT_EQ(ReadFileBytes(home_.hivePath()), before);
}

TEST_F(SettingsStoreTest, ReadOnlyFolderWithoutTheKeyCannotCreateIt) {
    fs::create_directories(home_.hivePath().parent_path());
    fs::permissions(home_.hivePath().parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
    testing::WithoutFileRights asUser;
    if (!asUser.works()) GTEST_SKIP() << "root cannot give up its file rights here";
    EXPECT_THAT(FailureOf([&] { read("Port"); }),
                StartsWith("Failed to create key \\SOFTWARE\\Kavrin\\Proxy\\: "));
}

TEST_F(SettingsStoreTest, WritingKeepsOtherKeysAsTheyWere) {
    const std::string other =
        "[HKEY_CURRENT_USER\\SOFTWARE\\Other]\n; the user's note\n\"Keep\"=hex(2):41,00,00,00\n\n";
    WriteFileBytes(home_.hivePath(), kHeader + other + kSection + "\"Port\"=\"80\"\n\n");
    WriteSetting(kSettingsKey, "Port", "8080");
    EXPECT_EQ(ReadFileBytes(home_.hivePath()),
              kHeader + other + kSection + "\"Port\"=\"8080\"\n\n");
}

}  // namespace
}  // namespace vintrel
