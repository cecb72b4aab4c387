#include "platform/linux/autostart_list_xdg.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
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

    // An executable file of root's at `relative` in the sandbox that writes
    // the arguments it got, $0 first, each ended by a NUL, to $VINTREL_MARK.
    std::string Program(const std::string& relative) const {
        const std::string path = sandbox_.root() + relative;
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << "#!/bin/sh\nprintf '%s\\0' \"$0\" \"$@\" > \"$VINTREL_MARK\"\n";
        fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
        return path;
    }

    vintrel::testing::XdgSandbox sandbox_;
    XdgAutoStartLists lists_;
};

TEST_F(XdgAutoStartListTest, WritesAReadableEntryAndRemovesIt) {
    const auto opened = lists_.open(kMachineRun, AutoStartOpen::CreateIfMissing);
    ASSERT_NE(opened.list, nullptr) << opened.reason;
    const std::string program = Program("/opt/vintrel/bin/vintrel");
    const AutoStartResult written = opened.list->write("vintrel", program);
    EXPECT_TRUE(written.ok) << written.reason;

    const auto text = EntryText(sandbox_.machineFolder(), "vintrel");
    ASSERT_TRUE(text);
    const auto entry = ReadDesktopEntry(*text);
    EXPECT_EQ(entry.error, "");
    EXPECT_EQ(entry.values.at("Type"), "Application");
    EXPECT_EQ(entry.values.at("Name"), "vintrel");
    EXPECT_THAT(SplitExec(entry.values.at("Exec")).value(), ElementsAre(program));
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
    ASSERT_TRUE(opened.list->write("vintrel", Program("/old/vintrel")).ok);
    ASSERT_TRUE(opened.list->write("vintrel", Program("/new/vintrel")).ok);
    const auto entry = ReadDesktopEntry(EntryText(sandbox_.machineFolder(), "vintrel").value());
    EXPECT_THAT(SplitExec(entry.values.at("Exec")).value(),
                ElementsAre(sandbox_.root() + "/new/vintrel"));
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

// Runs `argv` and gives its exit status, or -1.
int RunProgram(const std::vector<std::string>& args) {
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        std::vector<char*> argv;
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// Each path is written as a plain entry and as a run-once entry; read back, no
// key may have been added, desktop-file-validate must accept the file, and
// GLib must load it and start exactly that program, with no argument.
TEST_P(XdgHostilePathTest, GLibStartsTheExactPathAndNoKeyIsAdded) {
    const std::string program = Program(GetParam().path);
    const std::string name = program.substr(program.rfind('/') + 1);
    const std::string mark = sandbox_.root() + "/mark";
    setenv("VINTREL_MARK", mark.c_str(), 1);
    for (const AutoStartLocation& location : {kMachineRun, kUserRunOnce}) {
        const bool once = location == kUserRunOnce;
        const std::string folder = once ? sandbox_.userFolder() : sandbox_.machineFolder();
        const std::string file = folder + "/" + name + ".desktop";
        const auto opened = lists_.open(location, AutoStartOpen::CreateIfMissing);
        ASSERT_NE(opened.list, nullptr) << opened.reason;
        const AutoStartResult written = opened.list->write(name, program);
        ASSERT_TRUE(written.ok) << written.reason;

        const auto entry = ReadDesktopEntry(EntryText(folder, name).value());
        EXPECT_EQ(entry.error, "");
        EXPECT_THAT(entry.keys, ElementsAre("Desktop Entry/Type", "Desktop Entry/Name",
                                            "Desktop Entry/Exec", "Desktop Entry/X-Vintrel-List"));
        EXPECT_EQ(entry.values.at("Name"), name);
        const auto args = SplitExec(entry.values.at("Exec"));
        ASSERT_TRUE(args) << entry.values.at("Exec");
        EXPECT_EQ(args->back(), program);
        EXPECT_EQ(RunProgram({"/usr/bin/desktop-file-validate", "--no-hints", file}), 0)
            << "rejected: " << program;

        fs::remove(mark);
        EXPECT_EQ(RunProgram({"/usr/bin/python3", VINTREL_GLIB_LAUNCH, file}), 0)
            << "GLib did not start: " << program;
        EXPECT_EQ(ReadWholeFile(mark), program + std::string(1, '\0'));
        EXPECT_EQ(fs::exists(file), !once);
    }
    unsetenv("VINTREL_MARK");
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
                      HostilePath{"ShellMetacharacters", "/opt/a;b|c&d>e<f*?#(g)~h=i"},
                      HostilePath{"PercentAndEqualsSign", "/opt/50%=half/prog"},
                      HostilePath{"NonAscii", "/opt/Zeitüberprüfung/時計"}),
    [](const auto& info) { return std::string(info.param.fault); });

struct OwnershipRow {
    const char* fault;
    // Builds the case under `root` (a folder of root's, 0700) and gives the
    // program path to write.
    std::function<std::string(const std::string& root)> make;
    // Empty when the entry is to be written; else part of the reason.
    std::string refusal;
};

// Names the row in test listings.
void PrintTo(const OwnershipRow& row, std::ostream* out) {
    *out << row.fault;
}

class XdgOwnershipTest : public XdgAutoStartListTest,
                         public ::testing::WithParamInterface<OwnershipRow> {};

constexpr uid_t kOtherUser = 65534;

// A folder at `path` with `mode`, and a program file of root's in it.
std::string Folder(const std::string& path, mode_t mode, uid_t owner = 0) {
    fs::create_directories(path);
    EXPECT_EQ(chmod(path.c_str(), mode), 0);
    EXPECT_EQ(chown(path.c_str(), owner, 0), 0);
    const std::string program = path + "/prog";
    std::ofstream(program) << "#!/bin/sh\n";
    EXPECT_EQ(chmod(program.c_str(), 0755), 0);
    return program;
}

// A machine-wide entry runs at every user's logon with that user's rights:
// whoever but root could change the program could act as everyone.
TEST_P(XdgOwnershipTest, MachineWideEntryOnlyForAProgramOnlyRootCanChange) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to hand files to another user";
    const OwnershipRow& row = GetParam();
    const std::string program = row.make(sandbox_.root() + "/case");
    const auto opened = lists_.open(kMachineRun, AutoStartOpen::CreateIfMissing);
    ASSERT_NE(opened.list, nullptr) << opened.reason;
    const AutoStartResult written = opened.list->write("prog", program);
    if (row.refusal.empty()) {
        EXPECT_TRUE(written.ok) << written.reason;
        return;
    }
    EXPECT_FALSE(written.ok);
    EXPECT_THAT(written.reason, ::testing::HasSubstr(row.refusal));
    EXPECT_THAT(FilesIn(sandbox_.machineFolder()), IsEmpty());
    // The user's own entry may start whatever the user chooses.
    EXPECT_TRUE(
        lists_.open(kUserRunOnce, AutoStartOpen::CreateIfMissing).list->write("prog", program).ok);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, XdgOwnershipTest,
    ::testing::Values(
        OwnershipRow{"RootsProgramInRootsFolders",
                     [](const std::string& root) { return Folder(root + "/bin", 0755); }, ""},
        OwnershipRow{"ProgramOfAnotherUser",
                     [](const std::string& root) {
                         const std::string program = Folder(root + "/bin", 0755);
                         EXPECT_EQ(chown(program.c_str(), kOtherUser, 0), 0);
                         return program;
                     },
                     "prog belongs to user 65534"},
        OwnershipRow{"ProgramGroupWritable",
                     [](const std::string& root) {
                         const std::string program = Folder(root + "/bin", 0755);
                         EXPECT_EQ(chmod(program.c_str(), 0775), 0);
                         return program;
                     },
                     "prog can be written by users other than root"},
        OwnershipRow{"FolderOfAnotherUser",
                     [](const std::string& root) {
                         return Folder(root + "/home/user/bin", 0755, kOtherUser);
                     },
                     "/home/user/bin belongs to user 65534"},
        OwnershipRow{"FolderAboveWritableByAll",
                     [](const std::string& root) {
                         Folder(root + "/shared", 0777);
                         return Folder(root + "/shared/bin", 0755);
                     },
                     "/shared can be written by users other than root"},
        // Others may add to a sticky folder but not rename or delete root's entries.
        OwnershipRow{"StickyFolderGuardsRootsEntry",
                     [](const std::string& root) {
                         Folder(root + "/tmp", 01777);
                         return Folder(root + "/tmp/bin", 0755);
                     },
                     ""},
        OwnershipRow{"StickyFolderDoesNotGuardAnotherUsersEntry",
                     [](const std::string& root) {
                         Folder(root + "/tmp", 01777);
                         const std::string program = Folder(root + "/tmp/bin", 0755);
                         EXPECT_EQ(lchown((root + "/tmp/bin").c_str(), kOtherUser, 0), 0);
                         return program;
                     },
                     "/case/tmp can be written by users other than root"},
        OwnershipRow{"LinkIntoAnotherUsersFolder",
                     [](const std::string& root) {
                         Folder(root + "/bin", 0755);
                         Folder(root + "/home/user", 0755, kOtherUser);
                         fs::create_symlink("../home/user/prog", root + "/bin/link");
                         return root + "/bin/link";
                     },
                     "/home/user belongs to user 65534"},
        OwnershipRow{"LinkOfAnotherUserInAStickyFolder",
                     [](const std::string& root) {
                         const std::string program = Folder(root + "/bin", 0755);
                         Folder(root + "/tmp", 01777);
                         fs::create_symlink(program, root + "/tmp/link");
                         EXPECT_EQ(lchown((root + "/tmp/link").c_str(), kOtherUser, 0), 0);
                         return root + "/tmp/link";
                     },
                     "/tmp can be written by users other than root"},
        OwnershipRow{"LinkToRootsProgram",
                     [](const std::string& root) {
                         const std::string program = Folder(root + "/opt/vintrel", 0755);
                         Folder(root + "/bin", 0755);
                         fs::create_symlink(program, root + "/bin/link");
                         return root + "/bin/link";
                     },
                     ""},
        OwnershipRow{"MissingProgram",
                     [](const std::string& root) {
                         Folder(root + "/bin", 0755);
                         return root + "/bin/gone";
                     },
                     "/bin/gone cannot be examined"}),
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
