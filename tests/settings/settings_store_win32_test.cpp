// The settings store over the real Windows registry (of the throw-away Wine
// prefix the tests run in): the same results and error texts as over the
// Linux hive file.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "settings/settings_store.h"

namespace vintrel {
namespace {

constexpr const char* kKeyPath = "SOFTWARE\\Kavrin\\Proxy";
constexpr const char* kParentPath = "SOFTWARE\\Kavrin";

/// The text of the exception a call raises; empty when it raises none.
std::string FailureOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const ERegistryException& e) {
        return e.what();
    }
    return {};
}

// The settings key opened with the registry's own calls, not the store's.
class RawKey {
public:
    RawKey() {
        RegCreateKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    }
    ~RawKey() { RegCloseKey(key_); }
    RawKey(const RawKey&) = delete;
    RawKey& operator=(const RawKey&) = delete;

    void set(const char* name, DWORD type, const std::string& bytes) {
        RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
    }
    // Type and bytes as stored; type REG_NONE and no bytes when absent.
    std::pair<DWORD, std::string> get(const char* name) {
        char data[512];
        DWORD size = sizeof data;
        DWORD type = REG_NONE;
        if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS) {
            return {REG_NONE, {}};
        }
        return {type, std::string(data, size)};
    }

private:
    HKEY key_ = nullptr;
};

bool SettingsKeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

DWORD ValueCount() {
    HKEY key = nullptr;
    DWORD values = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
    }
    return values;
}

std::string Dword(DWORD value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

class Win32SettingsStoreTest : public ::testing::Test {
protected:
    Win32SettingsStoreTest() { RegDeleteTreeA(HKEY_CURRENT_USER, kParentPath); }
    ~Win32SettingsStoreTest() override { RegDeleteTreeA(HKEY_CURRENT_USER, kParentPath); }

    std::string read(std::string_view name, std::string_view defaultValue = "default") {
        return ReadSetting(kSettingsKey, name, defaultValue);
    }
};

TEST_F(Win32SettingsStoreTest, FirstRunYieldsEveryDefaultAndCreatesTheEmptyKey) {
    ASSERT_FALSE(SettingsKeyExists());
    const std::vector<std::pair<const char*, const char*>> defaults = {
        {"ConnectionType", "1"}, {"Address", ""},   {"Port", ""},           {"ipAddress", "x"},
        {"LastPing", "Never"},   {"AutoStart", ""}, {"StartMinimized", ""}, {"AutoPing", ""},
    };
    for (const auto& [name, defaultValue] : defaults) {
        EXPECT_EQ(ReadSetting(kSettingsKey, name, defaultValue), defaultValue) << name;
        EXPECT_TRUE(SettingsKeyExists()) << name;
        EXPECT_EQ(ValueCount(), 0u) << name;
    }
}

TEST_F(Win32SettingsStoreTest, WritesStringsWithTheirZeroAndEmptyMeansNotSet) {
    WriteSetting(kSettingsKey, "Address", "proxy.example");
    WriteSetting(kSettingsKey, "AutoStart", "1");
    EXPECT_EQ(read("Address"), "proxy.example");
    EXPECT_EQ(read("AutoStart", ""), "1");
    // Turning a flag off stores an empty value; it is never deleted.
    WriteSetting(kSettingsKey, "AutoStart", "");
    EXPECT_EQ(read("AutoStart"), "default");
    RawKey raw;
    EXPECT_EQ(raw.get("Address"),
              std::make_pair(DWORD{REG_SZ}, std::string("proxy.example\0", 14)));
    EXPECT_EQ(raw.get("AutoStart"), std::make_pair(DWORD{REG_SZ}, std::string(1, '\0')));
}

struct StoredCase {
    const char* fault;
    const char* name;
    DWORD type;
    std::string bytes;
    std::string expected;  // what ReadSetting("AutoPing", "default") gives
    std::string failure;   // or the exception text
};

TEST_F(Win32SettingsStoreTest, StoredValuesOfEveryKindReadAsOnLinux) {
    const std::string invalid = "Invalid data type for 'AutoPing'";
    const std::vector<StoredCase> cases = {
        {"hand-written 1 counts as on", "AutoPing", REG_SZ, std::string("1\0", 2), "1", ""},
        {"written True", "AutoPing", REG_SZ, std::string("True\0", 5), "True", ""},
        {"empty string is off", "AutoPing", REG_SZ, std::string(1, '\0'), "default", ""},
        {"absent is off", "Other", REG_SZ, std::string("x\0", 2), "default", ""},
        {"name matched without case", "autoping", REG_SZ, std::string("on\0", 3), "on", ""},
        {"expandable string unexpanded", "AutoPing", REG_EXPAND_SZ, std::string("%TMP%\0", 6),
         "%TMP%", ""},
        {"string without its zero", "AutoPing", REG_SZ, "y", "y", ""},
        {"string ends at its zero", "AutoPing", REG_SZ, std::string("a\0b\0", 4), "a", ""},
        {"dword with data", "AutoPing", REG_DWORD, Dword(1), "", invalid},
        {"zero dword has data too", "AutoPing", REG_DWORD, Dword(0), "", invalid},
        {"binary with data", "AutoPing", REG_BINARY, "1", "", invalid},
        {"multi-string with data", "AutoPing", REG_MULTI_SZ, std::string("1\0\0", 3), "", invalid},
        {"empty binary reads as empty", "AutoPing", REG_BINARY, "", "default", ""},
        {"empty dword reads as empty", "AutoPing", REG_DWORD, "", "default", ""},
        {"empty none reads as empty", "AutoPing", REG_NONE, "", "default", ""},
    };
    for (const StoredCase& c : cases) {
        SCOPED_TRACE(c.fault);
        RegDeleteTreeA(HKEY_CURRENT_USER, kKeyPath);
        RawKey().set(c.name, c.type, c.bytes);
        std::string value;
        EXPECT_EQ(FailureOf([&] { value = read("AutoPing"); }), c.failure);
        EXPECT_EQ(value, c.expected);
    }
}

TEST_F(Win32SettingsStoreTest, NamesAndTextsComeBackExactly) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Address", R"(say "hi" \ bye\)"},   {R"(odd "name" \ here)", "x"}, {"a=b", "c=d"},
        {"LastPing", "31.12.2024 23:59:59"}, {"Note", "one\r\ntwo"},
    };
    for (const auto& [name, text] : cases) WriteSetting(kSettingsKey, name, text);
    for (const auto& [name, text] : cases) EXPECT_EQ(read(name), text) << name;
}

// 8-bit names and texts in the ANSI code page. Wine's registry does not keep
// such value names apart as Windows does, so this runs on Windows only.
TEST_F(Win32SettingsStoreTest, EightBitNamesAndTextsComeBackExactly) {
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr) {
        GTEST_SKIP() << "Wine's registry differs for 8-bit value names";
    }
    if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 1252";
    const std::string name =
        "Gr\xf6\xdf"
        "e";
    const std::string text = "\xe4\xf6\xfc \x80";
    WriteSetting(kSettingsKey, name, text);
    EXPECT_EQ(read(name), text);
}

// A volatile parent cannot hold a key that is kept on disk, so the settings
// key cannot be created under it.
TEST_F(Win32SettingsStoreTest, KeyThatCannotBeCreatedFailsBothOperations) {
    HKEY parent = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kParentPath, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &parent, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(parent);
    // The system's reason follows the message.
    const std::string failure = "Failed to create key \\SOFTWARE\\Kavrin\\Proxy\\: ";
    EXPECT_THAT(FailureOf([&] { read("Port"); }), ::testing::StartsWith(failure));
    EXPECT_THAT(FailureOf([&] { WriteSetting(kSettingsKey, "Port", "80"); }),
                ::testing::StartsWith(failure));
    EXPECT_FALSE(SettingsKeyExists());
}

}  // namespace
}  // namespace vintrel
