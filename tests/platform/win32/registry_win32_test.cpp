#include "platform/registry.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace vintrel {
namespace {

// Everything below this key, in both roots, is the tests' own and removed
// before and after each test.
constexpr const char* kTestKey = "Software\\Vintrel Test";

bool KeyExists(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

class Win32RegistryTest : public ::testing::Test {
protected:
    Win32RegistryTest() { Clean(); }
    ~Win32RegistryTest() override { Clean(); }
    static void Clean() {
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTestKey);
    }

    std::unique_ptr<RegistryKey> create(RegistryRoot root = RegistryRoot::CurrentUser) {
        RegistryKeyResult made =
            systemRegistry().createKey(root, "\\Software\\Vintrel Test\\Key\\");
        EXPECT_TRUE(made.result.ok()) << made.result.reason;
        return std::move(made.key);
    }
};

TEST_F(Win32RegistryTest, CreatesTheKeyWithoutTheBackslashesAtItsEnds) {
    ASSERT_NE(create(), nullptr);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Vintrel Test\\Key"));
    ASSERT_NE(create(RegistryRoot::LocalMachine), nullptr);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Vintrel Test\\Key"));
}

TEST_F(Win32RegistryTest, OpeningAMissingKeyFindsNothingAndCreatesNothing) {
    const RegistryKeyResult opened =
        systemRegistry().openKey(RegistryRoot::CurrentUser, "Software\\Vintrel Test\\Key");
    EXPECT_EQ(opened.key, nullptr);
    EXPECT_EQ(opened.result.status, RegistryStatus::NotFound);
    EXPECT_NE(opened.result.reason, "");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kTestKey));
}

TEST_F(Win32RegistryTest, PathsTheRegistryCannotTakeAreInvalidNames) {
    for (const std::string& path :
         {std::string("Software\\Vintrel Test\0Other", 27), std::string("Software\\\\Vintrel")}) {
        const RegistryKeyResult made = systemRegistry().createKey(RegistryRoot::CurrentUser, path);
        EXPECT_EQ(made.key, nullptr);
        EXPECT_EQ(made.result.status, RegistryStatus::InvalidName) << made.result.reason;
    }
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kTestKey));
}

struct ValueCase {
    const char* name;
    DWORD type;
    std::string stored;
    RegistryValue read;
};

void PrintTo(const ValueCase& c, std::ostream* out) {
    *out << c.name;
}

class Win32RegistryValueTest : public Win32RegistryTest,
                               public ::testing::WithParamInterface<ValueCase> {};

TEST_P(Win32RegistryValueTest, ReadsTypeAndData) {
    const ValueCase& c = GetParam();
    const std::unique_ptr<RegistryKey> key = create();
    ASSERT_NE(key, nullptr);
    HKEY raw = nullptr;
    ASSERT_EQ(
        RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Vintrel Test\\Key", 0, KEY_ALL_ACCESS, &raw),
        ERROR_SUCCESS);
    RegSetValueExA(raw, "Value", 0, c.type, reinterpret_cast<const BYTE*>(c.stored.data()),
                   static_cast<DWORD>(c.stored.size()));
    RegCloseKey(raw);

    RegistryValue value;
    EXPECT_TRUE(key->queryValue("value", value).ok());
    EXPECT_EQ(value, c.read);
    EXPECT_TRUE(key->valueExists("VALUE"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, Win32RegistryValueTest,
    ::testing::Values(
        // Strings lose their terminating zero, and only that one.
        ValueCase{"String", REG_SZ, std::string("text\0", 5), {RegistryValueType::String, "text"}},
        ValueCase{"StringWithAZeroInside",
                  REG_SZ,
                  std::string("a\0b\0", 4),
                  {RegistryValueType::String, std::string("a\0b", 3)}},
        ValueCase{"StringWithoutItsZero", REG_SZ, "text", {RegistryValueType::String, "text"}},
        ValueCase{"ExpandStringUnexpanded",
                  REG_EXPAND_SZ,
                  std::string("%TMP%\0", 6),
                  {RegistryValueType::ExpandString, "%TMP%"}},
        ValueCase{"DwordAsItsBytes",
                  REG_DWORD,
                  std::string("\x01\x02\x00\x00", 4),
                  {RegistryValueType::Dword, std::string("\x01\x02\x00\x00", 4)}},
        ValueCase{"LongBinaryWhole",
                  REG_BINARY,
                  std::string(3000, 'b'),
                  {RegistryValueType::Binary, std::string(3000, 'b')}},
        ValueCase{"EmptyNone", REG_NONE, "", {RegistryValueType::None, ""}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Win32RegistryTest, StringIsWrittenDeletedAndThenNotFound) {
    const std::unique_ptr<RegistryKey> key = create();
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->setString("Port", "8080").ok());
    RegistryValue value;
    ASSERT_TRUE(key->queryValue("Port", value).ok());
    EXPECT_EQ(value, (RegistryValue{RegistryValueType::String, "8080"}));
    EXPECT_TRUE(key->deleteValue("Port").ok());
    EXPECT_FALSE(key->valueExists("Port"));
    EXPECT_EQ(key->queryValue("Port", value).status, RegistryStatus::NotFound);
    EXPECT_EQ(key->deleteValue("Port").status, RegistryStatus::NotFound);
}

// The 8-bit calls would end the name at the zero and reach another value.
TEST_F(Win32RegistryTest, ValueNamesWithAZeroAreRefused) {
    const std::unique_ptr<RegistryKey> key = create();
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->setString("Port", "80").ok());
    const std::string name("Port\0Other", 10);
    RegistryValue value;
    EXPECT_EQ(key->setString(name, "x").status, RegistryStatus::InvalidName);
    EXPECT_EQ(key->queryValue(name, value).status, RegistryStatus::InvalidName);
    EXPECT_EQ(key->deleteValue(name).status, RegistryStatus::InvalidName);
    EXPECT_FALSE(key->valueExists(name));
    ASSERT_TRUE(key->queryValue("Port", value).ok());
    EXPECT_EQ(value.data, "80");
}

}  // namespace
}  // namespace vintrel
