#include "platform/linux/registry_linux.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/linux/hive_file.h"
#include "platform/linux/reg_file.h"
#include "tests/support/regedit_form.h"
#include "tests/support/temp_dir.h"

namespace vintrel {
namespace {
namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

constexpr std::string_view kPath = "\\SOFTWARE\\Kavrin\\Proxy\\";
constexpr std::string_view kKey = "HKEY_CURRENT_USER\\SOFTWARE\\Kavrin\\Proxy";
const std::string kEmptyKeyFile = testing::RegeditForm(
    "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kavrin\\Proxy]\n\n");

class RegistryLinuxTest : public ::testing::Test {
protected:
    std::unique_ptr<Registry> hive() {
        return makeHiveRegistry([this](RegistryRoot root) {
            return root == RegistryRoot::CurrentUser ? home_.hivePath() : fs::path();
        });
    }

    std::unique_ptr<RegistryKey> create() {
        RegistryKeyResult opened = hive()->createKey(RegistryRoot::CurrentUser, kPath);
        EXPECT_TRUE(opened.result.ok()) << opened.result.reason;
        return std::move(opened.key);
    }

    std::vector<std::string> temporaries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(home_.hivePath().parent_path())) {
            if (entry.path().filename().string().find(".tmp-") != std::string::npos) {
                names.push_back(entry.path().filename().string());
            }
        }
        return names;
    }

    testing::TempConfigHome home_;
};

TEST_F(RegistryLinuxTest, HivePathFollowsXdgConfigHome) {
    EXPECT_EQ(userHivePath(), home_.hivePath());
    const char* home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    for (const char* ignored : {"", "relative/dir"}) {
        ::setenv("XDG_CONFIG_HOME", ignored, 1);
        EXPECT_EQ(userHivePath(), fs::path(home) / ".config" / "vintrel" / "user.reg");
    }
}

TEST_F(RegistryLinuxTest, CreatingTheKeyWritesAnEmptySectionOnce) {
    EXPECT_EQ(hive()->openKey(RegistryRoot::CurrentUser, kPath).result.status,
              RegistryStatus::NotFound);
    EXPECT_FALSE(fs::exists(home_.hivePath()));
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(ReadFileBytes(home_.hivePath()), kEmptyKeyFile);
    const auto written = fs::last_write_time(home_.hivePath());
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(fs::last_write_time(home_.hivePath()), written);
    EXPECT_TRUE(hive()->openKey(RegistryRoot::CurrentUser, "software\\KAVRIN\\proxy").result.ok());
    EXPECT_TRUE(hive()->openKey(RegistryRoot::CurrentUser, "SOFTWARE").result.ok());
    EXPECT_EQ(hive()->openKey(RegistryRoot::CurrentUser, "SOFTWARE\\Kav").result.status,
              RegistryStatus::NotFound);
}

TEST_F(RegistryLinuxTest, ValuesAreStoredQueriedAndDeleted) {
    const auto key = create();
    RegistryValue value;
    EXPECT_EQ(key->queryValue("Port", value).status, RegistryStatus::NotFound);
    EXPECT_FALSE(key->valueExists("Port"));
    ASSERT_TRUE(key->setString("Port", "8080").ok());
    ASSERT_TRUE(key->setString("Address", "").ok());
    EXPECT_TRUE(key->valueExists("port"));
    ASSERT_TRUE(key->queryValue("Port", value).ok());
    EXPECT_EQ(value, (RegistryValue{RegistryValueType::String, "8080"}));
    EXPECT_EQ(ReadFileBytes(home_.hivePath()),
              testing::RegeditForm("Windows Registry Editor Version 5.00\n\n"
                                   "[HKEY_CURRENT_USER\\SOFTWARE\\Kavrin\\Proxy]\n"
                                   "\"Port\"=\"8080\"\n\"Address\"=\"\"\n\n"));
    EXPECT_TRUE(key->deleteValue("Port").ok());
    EXPECT_EQ(key->deleteValue("Port").status, RegistryStatus::NotFound);
    EXPECT_FALSE(key->valueExists("Port"));
    EXPECT_EQ(fs::status(home_.hivePath()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(RegistryLinuxTest, NamesTheFileCannotHoldAreRefused) {
    const auto key = create();
    EXPECT_EQ(key->setString("two\nlines", "x").status, RegistryStatus::InvalidName);
    EXPECT_EQ(hive()->createKey(RegistryRoot::CurrentUser, "a\\\\b").result.status,
              RegistryStatus::InvalidName);
    EXPECT_EQ(ReadFileBytes(home_.hivePath()), kEmptyKeyFile);
}

TEST_F(RegistryLinuxTest, MachineRootHasNoStoreHere) {
    EXPECT_EQ(hive()->openKey(RegistryRoot::LocalMachine, "Software\\Microsoft").result.status,
              RegistryStatus::NotFound);
    EXPECT_EQ(hive()->createKey(RegistryRoot::LocalMachine, "Software\\Microsoft").result.status,
              RegistryStatus::AccessDenied);
}

TEST_F(RegistryLinuxTest, SymbolicLinkToTheHiveStaysALink) {
    const fs::path real = home_.path() / "dotfiles" / "vintrel.reg";
    WriteFileBytes(real, kEmptyKeyFile);
    fs::create_directories(home_.hivePath().parent_path());
    fs::create_symlink(real, home_.hivePath());
    ASSERT_TRUE(create()->setString("Port", "1").ok());
    EXPECT_TRUE(fs::is_symlink(home_.hivePath()));
    EXPECT_NE(ReadFileBytes(real).find(testing::RegeditForm("\"Port\"=\"1\"").substr(2)),
              std::string::npos);
}

struct FailureCase {
    const char* fault;
    std::function<void(const fs::path& hive)> arrange;
    RegistryStatus onCreate;  // creating the key
    RegistryStatus onSet;     // setting a value in a key opened before
};

TEST_F(RegistryLinuxTest, StoreThatCannotBeWrittenIsReportedAndLeftAlone) {
    const std::string corrupt = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\x\n";
    const std::vector<FailureCase> cases = {
        {"config folder is a file",
         [](const fs::path& hive) {
             fs::remove_all(hive.parent_path().parent_path());
             WriteFileBytes(hive.parent_path().parent_path(), "not a folder");
         },
         RegistryStatus::AccessDenied, RegistryStatus::AccessDenied},
        {"hive is a folder",
         [](const fs::path& hive) {
             fs::remove(hive);
             fs::create_directory(hive);
         },
         RegistryStatus::Unreadable, RegistryStatus::Unreadable},
        {"hive cannot be parsed", [&](const fs::path& hive) { WriteFileBytes(hive, corrupt); },
         RegistryStatus::Unreadable, RegistryStatus::Unreadable},
        {"lock file cannot be made",
         [](const fs::path& hive) {
             const fs::path lock = fs::path(hive).concat(".lock");
             fs::remove(lock);
             fs::create_directory(lock);
         },
         RegistryStatus::Ok, RegistryStatus::AccessDenied},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.fault);
        testing::TempConfigHome home;
        const auto registry = makeHiveRegistry([&](RegistryRoot) { return home.hivePath(); });
        RegistryKeyResult opened = registry->createKey(RegistryRoot::CurrentUser, kPath);
        ASSERT_TRUE(opened.result.ok());
        c.arrange(home.hivePath());
        const std::string before = ReadFileBytes(home.hivePath());

        EXPECT_EQ(registry->createKey(RegistryRoot::CurrentUser, kPath).result.status, c.onCreate);
        const RegistryResult set = opened.key->setString("Port", "8080");
        EXPECT_EQ(set.status, c.onSet);
        EXPECT_FALSE(set.reason.empty());
        EXPECT_EQ(ReadFileBytes(home.hivePath()), before);
    }
}

TEST_F(RegistryLinuxTest, ReadOnlyFolderStopsWritesEvenForRoot) {
    const auto key = create();
    ASSERT_TRUE(key->setString("Port", "80").ok());
    const fs::path folder = home_.hivePath().parent_path();
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    {
        testing::WithoutFileRights asUser;
        if (!asUser.works()) GTEST_SKIP() << "root cannot give up its file rights here";
        EXPECT_EQ(key->setString("Port", "8080").status, RegistryStatus::AccessDenied);
        RegistryValue value;
        ASSERT_TRUE(key->queryValue("Port", value).ok());
        EXPECT_EQ(value.data, "80");
        EXPECT_TRUE(hive()->createKey(RegistryRoot::CurrentUser, kPath).result.ok());
        EXPECT_EQ(hive()->createKey(RegistryRoot::CurrentUser, "Other").result.status,
                  RegistryStatus::AccessDenied);
    }
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_TRUE(temporaries().empty());
}

TEST_F(RegistryLinuxTest, UnreadableFileIsNotTakenForAnEmptyOne) {
    ASSERT_TRUE(create()->setString("Port", "80").ok());
    fs::permissions(home_.hivePath(), fs::perms::none);
    testing::WithoutFileRights asUser;
    if (!asUser.works()) GTEST_SKIP() << "root cannot give up its file rights here";
    EXPECT_EQ(hive()->createKey(RegistryRoot::CurrentUser, kPath).result.status,
              RegistryStatus::Unreadable);
}

TEST_F(RegistryLinuxTest, WhatIsNoSettingsFileIsRefusedWithoutReadingIt) {
    const std::vector<std::pair<const char*, std::function<void(const fs::path&)>>> cases = {
        // Opening a FIFO for reading would wait for a writer that never comes.
        {"not a regular file", [](const fs::path& hive) { ::mkfifo(hive.c_str(), 0600); }},
        {"larger than 1 MiB",
         [](const fs::path& hive) {
             WriteFileBytes(hive, "Windows Registry Editor Version 5.00\n;" +
                                      std::string(1024 * 1024, 'x') + "\n");
         }},
    };
    for (const auto& [reason, arrange] : cases) {
        SCOPED_TRACE(reason);
        testing::TempConfigHome home;
        const auto registry = makeHiveRegistry([&](RegistryRoot) { return home.hivePath(); });
        fs::create_directories(home.hivePath().parent_path());
        arrange(home.hivePath());
        const fs::file_status before = fs::status(home.hivePath());
        const RegistryKeyResult opened = registry->createKey(RegistryRoot::CurrentUser, kPath);
        EXPECT_EQ(opened.result.status, RegistryStatus::Unreadable);
        EXPECT_EQ(opened.result.reason, home.hivePath().string() + ": " + reason);
        EXPECT_EQ(fs::status(home.hivePath()).type(), before.type());
    }
}

// A writer that waited on the lock for as long as it was held hung the window.
TEST_F(RegistryLinuxTest, WriterGivesUpWhileAnotherProgramHoldsTheLock) {
    const auto key = create();
    ASSERT_TRUE(key->setString("Port", "80").ok());
    const std::string before = ReadFileBytes(home_.hivePath());
    const fs::path lockPath = fs::path(home_.hivePath()).concat(".lock");
    const int other = ::open(lockPath.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    const RegistryResult refused = key->setStrings({{"Port", "8080"}, {"Address", "x"}});
    EXPECT_EQ(refused.status, RegistryStatus::AccessDenied);
    EXPECT_EQ(refused.reason,
              home_.hivePath().string() + ": the settings are in use by another program");
    EXPECT_EQ(ReadFileBytes(home_.hivePath()), before);
    ::close(other);
    EXPECT_TRUE(key->setString("Port", "8080").ok());
}

/// Runs `work` in a child process; its exit status is 0 when `work` returned true.
pid_t Spawn(const std::function<bool()>& work) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(work() ? 0 : 1);
    return pid;
}

int ExitStatus(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST_F(RegistryLinuxTest, TwoProcessesWritingAtOnceKeepEachOthersValues) {
    // Each waits for the other's writes: a slow disk must not fail this test.
    setRegistryWriteWait(std::chrono::minutes(1));
    ASSERT_NE(create(), nullptr);
    constexpr int kEach = 40;
    auto writer = [this](char who) {
        return [this, who] {
            const auto key = create();
            for (int i = 0; i < kEach; ++i) {
                const std::string name = who + std::to_string(i);
                if (!key->setString(name, name + " data").ok()) return false;
            }
            return true;
        };
    };
    const pid_t a = Spawn(writer('A'));
    const pid_t b = Spawn(writer('B'));
    ASSERT_EQ(ExitStatus(a), 0);
    ASSERT_EQ(ExitStatus(b), 0);
    setRegistryWriteWait(std::chrono::milliseconds(100));

    const RegFileParse parsed = ParseRegFile(ReadFileBytes(home_.hivePath()));
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    for (const char who : {'A', 'B'}) {
        for (int i = 0; i < kEach; ++i) {
            const std::string name = who + std::to_string(i);
            const RegistryValue* value = FindRegValue(parsed.file, kKey, name);
            ASSERT_NE(value, nullptr) << name;
            EXPECT_EQ(value->data, name + " data");
        }
    }
}

TEST_F(RegistryLinuxTest, WriterKilledMidWayLeavesTheOldOrTheNewFile) {
    // A large value makes each write long enough to be cut at many points.
    const auto key = create();
    const std::string bulk(200000, 'x');
    ASSERT_TRUE(key->setString("Bulk", bulk).ok());
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> delayMicros(0, 20000);
    constexpr int kRounds = 200;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        const std::string old = "value " + std::to_string(round);
        const std::string next = "value " + std::to_string(round + 1);
        ASSERT_TRUE(key->setStrings({{"Round", old}, {"Mode", old}}).ok());
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t writer = Spawn([&] {
            const auto own = create();
            const bool written = ::write(ready[1], "w", 1) == 1;
            return written && own->setStrings({{"Round", next}, {"Mode", next}}).ok();
        });
        char byte = 0;
        ASSERT_EQ(::read(ready[0], &byte, 1), 1);
        ::close(ready[0]);
        ::close(ready[1]);
        // The point of the test is a kill at a random moment of the write.
        ::usleep(static_cast<useconds_t>(delayMicros(random)));
        ::kill(writer, SIGKILL);
        ExitStatus(writer);

        const RegFileParse parsed = ParseRegFile(ReadFileBytes(home_.hivePath()));
        ASSERT_TRUE(parsed.ok()) << parsed.error;
        const RegistryValue* value = FindRegValue(parsed.file, kKey, "Round");
        ASSERT_NE(value, nullptr);
        EXPECT_TRUE(value->data == old || value->data == next) << value->data;
        // Values stored together are never found half changed.
        const RegistryValue* mode = FindRegValue(parsed.file, kKey, "Mode");
        ASSERT_NE(mode, nullptr);
        EXPECT_EQ(mode->data, value->data);
        const RegistryValue* kept = FindRegValue(parsed.file, kKey, "Bulk");
        ASSERT_NE(kept, nullptr);
        EXPECT_EQ(kept->data, bulk);
    }
    // The next writer clears what the killed ones left behind.
    ASSERT_TRUE(key->setString("Round", "done").ok());
    EXPECT_EQ(temporaries(), std::vector<std::string>{});
}

}  // namespace
}  // namespace vintrel
