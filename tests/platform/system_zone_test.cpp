#include "platform/linux/system_zone.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace vintrel {
namespace {

namespace fs = std::filesystem;

// A zone database and /etc of the test's own.
class SystemZoneTest : public ::testing::Test {
protected:
    SystemZoneTest() {
        std::string pattern = (fs::temp_directory_path() / "vintrel-zone-XXXXXX").string();
        root_ = mkdtemp(pattern.data());
        paths_.zoneDirectory = (root_ / "zoneinfo").string();
        paths_.localtime = (root_ / "etc" / "localtime").string();
        paths_.timezone = (root_ / "etc" / "timezone").string();
        fs::create_directories(root_ / "etc");
        for (const char* zone : {"Europe/Berlin", "posix/Asia/Tokyo", "EST5EDT"}) {
            fs::create_directories((root_ / "zoneinfo" / zone).parent_path());
            std::ofstream(root_ / "zoneinfo" / zone) << "TZif";
        }
    }
    ~SystemZoneTest() override { fs::remove_all(root_); }

    void LinkLocaltime(const std::string& target) { fs::create_symlink(target, paths_.localtime); }
    void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

    fs::path root_;
    ZoneSettingsPaths paths_;
};

TEST_F(SystemZoneTest, LocaltimeLinkNamesTheZone) {
    LinkLocaltime("../zoneinfo/Europe/Berlin");
    EXPECT_EQ(FindSystemZone(nullptr, paths_).ianaId, "Europe/Berlin");
}

TEST_F(SystemZoneTest, PosixTreeHoldsTheSameIds) {
    LinkLocaltime((root_ / "zoneinfo/posix/Asia/Tokyo").string());
    EXPECT_EQ(FindSystemZone(nullptr, paths_).ianaId, "Asia/Tokyo");
}

TEST_F(SystemZoneTest, CopiedLocaltimeIsNamedByEtcTimezone) {
    Write(paths_.localtime, "TZif");
    Write(paths_.timezone, "America/New_York\n");
    const SystemZone zone = FindSystemZone(nullptr, paths_);
    EXPECT_TRUE(zone.known);
    EXPECT_EQ(zone.ianaId, "America/New_York");
}

TEST_F(SystemZoneTest, CopiedLocaltimeWithoutNameIsKnownButUnnamed) {
    Write(paths_.localtime, "TZif");
    const SystemZone zone = FindSystemZone(nullptr, paths_);
    EXPECT_TRUE(zone.known);
    EXPECT_EQ(zone.ianaId, std::nullopt);
}

TEST_F(SystemZoneTest, NoLocaltimeMeansUtc) {
    EXPECT_EQ(FindSystemZone(nullptr, paths_).ianaId, "UTC");
}

struct TzCase {
    const char* name;
    std::string tz;
    bool known;
    std::optional<std::string> id;
};

class TzVariableTest : public SystemZoneTest, public ::testing::WithParamInterface<TzCase> {};

TEST_P(TzVariableTest, TzWinsOverTheSystemSetting) {
    LinkLocaltime("../zoneinfo/Europe/Berlin");
    std::string tz = GetParam().tz;
    if (tz.find("@ROOT@") != std::string::npos) tz.replace(tz.find("@ROOT@"), 6, root_.string());
    const SystemZone zone = FindSystemZone(tz.c_str(), paths_);
    EXPECT_EQ(zone.known, GetParam().known);
    EXPECT_EQ(zone.ianaId, GetParam().id);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TzVariableTest,
    ::testing::Values(
        TzCase{"zone_id", "EST5EDT", true, "EST5EDT"},
        TzCase{"colon_zone_id", ":Europe/Berlin", true, "Europe/Berlin"},
        TzCase{"posix_tree_id", "posix/Asia/Tokyo", true, "Asia/Tokyo"},
        TzCase{"absolute_path", "@ROOT@/zoneinfo/Europe/Berlin", true, "Europe/Berlin"},
        TzCase{"empty_is_utc", "", true, "UTC"},
        TzCase{"rule_string_has_no_id", "EST5EDT,M3.2.0,M11.1.0", true, std::nullopt},
        TzCase{"missing_zone_file", "Nowhere/Atlantis", false, std::nullopt},
        TzCase{"colon_rule_string_is_a_file", ":EST5EDT,M3.2.0,M11.1.0", false, std::nullopt},
        TzCase{"missing_absolute_path", "/no/such/zoneinfo/Europe/Berlin", false, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct RuleStringCase {
    const char* name;
    const char* text;
    bool rule;
};

class PosixRuleStringTest : public ::testing::TestWithParam<RuleStringCase> {};

TEST_P(PosixRuleStringTest, NeedsANameAndAnOffset) {
    EXPECT_EQ(IsPosixRuleString(GetParam().text), GetParam().rule);
}

INSTANTIATE_TEST_SUITE_P(Table, PosixRuleStringTest,
                         ::testing::Values(RuleStringCase{"with_rules", "EST5EDT,M3.2.0,M11.1.0",
                                                          true},
                                           RuleStringCase{"plain_offset", "UTC0", true},
                                           RuleStringCase{"signed_offset", "JST-9", true},
                                           RuleStringCase{"quoted_name", "<+0530>-5:30", true},
                                           RuleStringCase{"short_name", "AB5", false},
                                           RuleStringCase{"no_offset", "JUNK", false},
                                           RuleStringCase{"zone_id", "Europe/Berlin", false},
                                           RuleStringCase{"unclosed_quote", "<+0530-5", false},
                                           RuleStringCase{"empty", "", false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vintrel
