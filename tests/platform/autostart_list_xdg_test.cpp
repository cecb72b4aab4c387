#include "platform/linux/autostart_list_xdg.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "tests/support/desktop_entry_reader.h"
#include "tests/support/xdg_sandbox.h"

namespace vintrel {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using vintrel::testing::ReadDesktopEntry;
using vintrel::testing::ReadWholeFile;
using vintrel::testing::SplitExec;

const AutoStartLocation kMachineRun{AutoStartRoot::Machine,
                                    "Software\\Microsoft\\Windows\\CurrentVersion\\Run"};
const AutoStartLocation kUserRunOnce{AutoStartRoot::User,
                                     "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"};

struct FolderRow {
    const char* fault;
    AutoStartRoot root;
    std::map<std::string, std::string> environment;
    std::string folder;
};

// Names the row in test listings instead of dumping its bytes.
void PrintTo(const FolderRow& row, std::ostream* out) {
    *out << row.fault;
}

class XdgFolderTest : public ::testing::TestWithParam<FolderRow> {};

TEST_P(XdgFolderTest, FollowsTheBaseDirectoryRules) {
    const FolderRow& row = GetParam();
    const auto lookup = [&](const char* name) -> const char* {
        const auto found = row.environment.find(name);
        return found != row.environment.end() ? found->second.c_str() : nullptr;
    };
    EXPECT_EQ(XdgAutoStartFolder(row.root, lookup), row.folder);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, XdgFolderTest,
    ::testing::Values(
        FolderRow{"MachineIgnoresUnsetDirs", AutoStartRoot::Machine, {}, "/etc/xdg/autostart"},
        FolderRow{"MachineIgnoresEmptyDirs",
                  AutoStartRoot::Machine,
                  {{"XDG_CONFIG_DIRS", ""}},
                  "/etc/xdg/autostart"},
        FolderRow{"MachineTakesOnlyTheFirstDir",
                  AutoStartRoot::Machine,
                  {{"XDG_CONFIG_DIRS", "/a:/b"}},
                  "/a/autostart"},
        FolderRow{"MachineSkipsARelativeDir",
                  AutoStartRoot::Machine,
                  {{"XDG_CONFIG_DIRS", "rel::/b"}},
                  "/b/autostart"},
        FolderRow{"UserTakesConfigHome",
                  AutoStartRoot::User,
                  {{"XDG_CONFIG_HOME", "/c"}, {"HOME", "/h"}},
                  "/c/autostart"},
        FolderRow{
            "UserFallsBackToHome", AutoStartRoot::User, {{"HOME", "/h"}}, "/h/.config/autostart"},
        FolderRow{"UserIgnoresARelativeConfigHome",
                  AutoStartRoot::User,
                  {{"XDG_CONFIG_HOME", "c"}, {"HOME", "/h"}},
                  "/h/.config/autostart"}),
    [](const auto& info) { return std::string(info.param.fault); });

class XdgAutoStartListTest : public ::testing::Test {
protected:
    // The entry file, or nothing when there is none.
    static std::optional<std::string> EntryText(const std::string& folder,
                                                const std::string& name) {
        return ReadWholeFile(folder + "/" + name + ".desktop");
    }

    static std::vector<std::string> FilesIn(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& file : fs::directory_iterator(folder)) {
            names.push_back(file.path().filename().string());
        }
        return names;
    }

    vintrel::testing::XdgSandbox sandbox_;
    XdgAutoStartLists lists_;
};

TEST_F(XdgAutoStartListTest, WritesAReadableEntryAndRemovesIt) {
    const auto opened = lists_.open(kMachineRun, AutoStartOpen::CreateIfMissing);
    ASSERT_NE(opened.list, nullptr) << opened.reason;
    EXPECT_TRUE(opened.list->write("vintrel", "/opt/vintrel/bin/vintrel").ok);

    const auto text = EntryText(sandbox_.machineFolder(), "vintrel");
    ASSERT_TRUE(text);
    const auto entry = ReadDesktopEntry(*text);
    EXPECT_EQ(entry.error, "");
    EXPECT_EQ(entry.values.at("Type"), "Application");
    EXPECT_EQ(entry.values.at("Name"), "vintrel");
    EXPECT_THAT(SplitExec(entry.values.at("Exec")).value(),
                ElementsAre("/opt/vintrel/bin/vintrel"));
    // Every user's session reads the machine-wide entry.
    struct stat info {};
    ASSERT_EQ(stat((sandbox_.machineFolder() + "/vintrel.desktop").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);

    EXPECT_TRUE(opened.list->exists("vintrel"));
    EXPECT_TRUE(opened.list->remove("vintrel").ok);
    EXPECT_FALSE(opened.list->exists("vintrel"));
    EXPECT_THAT(FilesIn(sandbox_.machineFolder()), IsEmpty());
}

TEST_F(XdgAutoStartListTest, RewritingReplacesTheEntryAndLeavesNoTemporaryFile) {
    const auto opened = lists_.open(kMachineRun, AutoStartOpen::CreateIfMissing);
    ASSERT_NE(opened.list, nullptr) << opened.reason;
    ASSERT_TRUE(opened.list->write("vintrel", "/old/vintrel").ok);
    ASSERT_TRUE(opened.list->write("vintrel", "/new/vintrel").ok);
    const auto entry = ReadDesktopEntry(EntryText(sandbox_.machineFolder(), "vintrel").value());
    EXPECT_THAT(SplitExec(entry.values.at("Exec")).value(), ElementsAre("/new/vintrel"));
    EXPECT_THAT(FilesIn(sandbox_.machineFolder()), ElementsAre("vintrel.desktop"));
}

TEST_F(XdgAutoStartListTest, OpeningForDeletionCreatesNothing) {
    const auto opened = lists_.open(kUserRunOnce, AutoStartOpen::ExistingOnly);
    EXPECT_EQ(opened.list, nullptr);
    EXPECT_NE(opened.reason, "");
    EXPECT_FALSE(fs::exists(sandbox_.userFolder()));
}

TEST_F(XdgAutoStartListTest, ServiceListsDoNotExistHere) {
    const auto opened = lists_.open(
        {AutoStartRoot::Machine, "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices"},
        AutoStartOpen::CreateIfMissing);
    EXPECT_EQ(opened.list, nullptr);
    EXPECT_TRUE(lists_.isNtFamily());
}

// Root ignores permissions, so a file where the folder belongs is what makes it unwritable.
TEST_F(XdgAutoStartListTest, AFileInPlaceOfTheFolderIsReported) {
    fs::create_directories(fs::path(sandbox_.userFolder()).parent_path());
    std::ofstream(sandbox_.userFolder()) << "not a folder";
    const auto opened = lists_.open(kUserRunOnce, AutoStartOpen::CreateIfMissing);
    EXPECT_EQ(opened.list, nullptr);
    EXPECT_THAT(opened.reason, ::testing::HasSubstr("is not a folder"));
}

TEST_F(XdgAutoStartListTest, TextsADesktopEntryCannotHoldAreRefused) {
    const auto opened = lists_.open(kMachineRun, AutoStartOpen::CreateIfMissing);
    ASSERT_NE(opened.list, nullptr) << opened.reason;
    for (const std::string path :
         {"/opt/bell\x07", "/opt/latin1-\xE9t\xE9", "/opt/overlong-\xC0\xAF"}) {
        const AutoStartResult written = opened.list->write("prog", path);
        EXPECT_FALSE(written.ok) << path;
        EXPECT_NE(written.reason, "");
    }
    EXPECT_FALSE(opened.list->write("a/b", "/opt/prog").ok);
    EXPECT_THAT(FilesIn(sandbox_.machineFolder()), IsEmpty());
}

struct HostilePath {
    const char* fault;
    std::string path;
};

// Names the row in test listings instead of dumping its bytes.
void PrintTo(const HostilePath& row, std::ostream* out) {
    *out << row.fault;
}

class XdgHostilePathTest : public XdgAutoStartListTest,
                           public ::testing::WithParamInterface<HostilePath> {};

// Each path is written as a plain entry and as a run-once entry; read back, no
// key may have been added and Exec must give back exactly that path.
TEST_P(XdgHostilePathTest, ExecGivesBackTheExactPathAndNoKeyIsAdded) {
    const std::string& path = GetParam().path;
    const std::string name = path.substr(path.rfind('/') + 1);
    for (const AutoStartLocation& location : {kMachineRun, kUserRunOnce}) {
        const bool once = location == kUserRunOnce;
        const std::string folder = once ? sandbox_.userFolder() : sandbox_.machineFolder();
        const auto opened = lists_.open(location, AutoStartOpen::CreateIfMissing);
        ASSERT_NE(opened.list, nullptr) << opened.reason;
        ASSERT_TRUE(opened.list->write(name, path).ok);

        const auto entry = ReadDesktopEntry(EntryText(folder, name).value());
        EXPECT_EQ(entry.error, "");
        EXPECT_THAT(entry.keys, ElementsAre("Desktop Entry/Type", "Desktop Entry/Name",
                                            "Desktop Entry/Exec", "Desktop Entry/X-Vintrel-List"));
        EXPECT_EQ(entry.values.at("Name"), name);
        const auto args = SplitExec(entry.values.at("Exec"));
        ASSERT_TRUE(args) << entry.values.at("Exec");
        if (once) {
            ASSERT_EQ(args->size(), 5u);
            EXPECT_EQ(args->at(3), folder + "/" + name + ".desktop");
            EXPECT_EQ(args->back(), path);
        } else {
            EXPECT_THAT(*args, ElementsAre(path));
        }
        if (std::system("command -v desktop-file-validate >/dev/null") == 0) {
            // A copy, as the entry's own path is no easy shell word.
            const std::string copy = sandbox_.root() + "/copy.desktop";
            fs::copy_file(folder + "/" + name + ".desktop", copy,
                          fs::copy_options::overwrite_existing);
            const std::string command = "desktop-file-validate --no-hints '" + copy + "'";
            EXPECT_EQ(std::system(command.c_str()), 0) << "rejected: " << path;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, XdgHostilePathTest,
    ::testing::Values(HostilePath{"SpaceSplitsTheArgument", "/opt/my prog/vintrel x"},
                      HostilePath{"QuoteEndsTheArgument", "/opt/say \"hi\"/prog\""},
                      HostilePath{"SingleQuoteReachesTheShell", "/opt/it's/prog"},
                      HostilePath{"BackslashIsEaten", "/opt/back\\slash\\\\prog\\"},
                      HostilePath{"PercentIsAFieldCode", "/opt/100%/prog%f%%"},
                      HostilePath{"DollarExpands", "/opt/$HOME/${PATH}prog"},
                      HostilePath{"BacktickRunsACommand", "/opt/`id`/prog"},
                      HostilePath{"NewlineInjectsAKey",
                                  "/opt/x\n[Evil]\nExec=evil/prog\nName=evil"},
                      HostilePath{"TabAndReturnBreakTheLine", "/opt/t\tr\rprog"},
                      HostilePath{"LeadingSpaceIsStripped", "/opt/ leading"},
                      HostilePath{"ShellMetacharacters", "/opt/a;b|c&d>e<f*?#(g)~h=i"}),
    [](const auto& info) { return std::string(info.param.fault); });

// Runs the Exec of a run-once entry as a session would, with a program that
// leaves a mark: the program runs and the entry is gone afterwards.
TEST_F(XdgAutoStartListTest, RunOnceEntryRemovesItselfWhenItRuns) {
    const std::string program = sandbox_.root() + "/my \"prog\" $1.sh";
    const std::string mark = sandbox_.root() + "/ran";
    std::ofstream(program) << "#!/bin/sh\ntouch '" << mark << "'\n";
    fs::permissions(program, fs::perms::owner_all);
    const auto opened = lists_.open(kUserRunOnce, AutoStartOpen::CreateIfMissing);
    ASSERT_NE(opened.list, nullptr) << opened.reason;
    ASSERT_TRUE(opened.list->write("prog", program).ok);
    const auto entry = ReadDesktopEntry(EntryText(sandbox_.userFolder(), "prog").value());
    const std::vector<std::string> args = SplitExec(entry.values.at("Exec")).value();

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::vector<char*> argv;
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(fs::exists(mark));
    EXPECT_FALSE(opened.list->exists("prog"));
}

}  // namespace
}  // namespace vintrel
