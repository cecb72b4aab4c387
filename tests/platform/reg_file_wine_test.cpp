// The settings file against a real regedit (Wine's): what the store writes
// imports intact, and what regedit exports the store reads back as it was.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/linux/hive_file.h"
#include "platform/linux/reg_file.h"
#include "tests/support/temp_dir.h"

namespace vintrel {
namespace {
namespace fs = std::filesystem;

constexpr std::string_view kKey = "HKEY_CURRENT_USER\\Software\\Vintrel Wine Test";

/// A Wine prefix of its own, with a server kept running for the test's
/// commands and stopped with it.
class WinePrefix {
public:
    WinePrefix() {
        ::setenv("WINEPREFIX", (dir_.path() / "prefix").c_str(), 1);
        ::setenv("WINEDEBUG", "-all", 1);
        ::setenv("WINEDLLOVERRIDES", "winemenubuilder.exe=d;mscoree=d;mshtml=d", 1);
        fs::create_directories(dir_.path() / "prefix");
        ready_ = run("wineserver -p") && run("wine wineboot --init >/dev/null 2>&1");
    }
    ~WinePrefix() { run("wineserver -k >/dev/null 2>&1"); }
    WinePrefix(const WinePrefix&) = delete;
    WinePrefix& operator=(const WinePrefix&) = delete;

    bool ready() const { return ready_; }
    const fs::path& folder() const { return dir_.path(); }

    /// Runs `command` in the folder, unable to set the clock.
    bool run(const std::string& command) const {
        const std::string noClock =
            ::geteuid() == 0 && std::system("command -v setpriv >/dev/null") == 0
                ? "setpriv --bounding-set=-sys_time --inh-caps=-sys_time "
                : "";
        return std::system(("cd '" + dir_.path().string() + "' && " + noClock + command).c_str()) ==
               0;
    }

private:
    testing::TempDir dir_;
    bool ready_ = false;
};

struct WineCase {
    const char* fault;  // what went wrong before
    std::string name;
    RegistryValue value;
};

TEST(RegFileWineTest, RegeditImportsWhatTheStoreWritesAndTheStoreReadsItsExport) {
    if (std::system("command -v wine >/dev/null && command -v wineserver >/dev/null") != 0) {
        GTEST_SKIP() << "Wine is not installed";
    }
    const std::vector<WineCase> cases = {
        {"UTF-8 without a byte-order mark arrived garbled",
         "Größe",
         {RegistryValueType::String, "Zürich 日本語 ☃"}},
        {"hex(1) was cut to its first character; \\n was read as two characters",
         "Note",
         {RegistryValueType::String, "one\r\ntwo\nthree"}},
        {"escapes", "Path", {RegistryValueType::String, R"(C:\dir\ "quoted")"}},
        {"dword", "Port", {RegistryValueType::Dword, std::string("\x90\x1f\x00\x00", 4)}},
        {"expandable string", "Temp", {RegistryValueType::ExpandString, "%TEMP%\\vintrel"}},
        {"binary", "Blob", {RegistryValueType::Binary, std::string("\x00\xff\x7f\x0a", 4)}},
    };
    WinePrefix wine;
    ASSERT_TRUE(wine.ready());
    const fs::path written = wine.folder() / "written.reg";
    ASSERT_TRUE(HiveFile(written)
                    .update([&](RegFile& file) {
                        for (const WineCase& c : cases) SetRegValue(file, kKey, c.name, c.value);
                        return RegistryResult{};
                    })
                    .ok());

    ASSERT_TRUE(wine.run("wine regedit /s written.reg"));
    ASSERT_TRUE(wine.run("wine regedit /e exported.reg '" + std::string(kKey) + "'"));

    const HiveFile::Load exported = HiveFile(wine.folder() / "exported.reg").load();
    ASSERT_TRUE(exported.result.ok()) << exported.result.reason;
    // The form regedit writes is the form of a new settings file.
    EXPECT_EQ(exported.file.encoding, RegFileEncoding::Utf16Le);
    EXPECT_TRUE(exported.file.crlf);
    for (const WineCase& c : cases) {
        SCOPED_TRACE(c.fault);
        const RegistryValue* value = FindRegValue(exported.file, kKey, c.name);
        if (value == nullptr) {
            ADD_FAILURE() << c.name << " was not imported";
            continue;
        }
        EXPECT_EQ(value->type, c.value.type);
        EXPECT_EQ(value->data, c.value.data);
    }
}

}  // namespace
}  // namespace vintrel
