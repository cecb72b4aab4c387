#include "platform/linux/reg_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/linux/utf16.h"
#include "tests/support/regedit_form.h"
#include "tests/support/temp_dir.h"

namespace vintrel {
namespace {

constexpr std::string_view kKey = "HKEY_CURRENT_USER\\SOFTWARE\\Kavrin\\Proxy";
const std::string kHead =
    "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kavrin\\Proxy]\n";

std::string Bytes(std::initializer_list<int> list) {
    std::string out;
    for (const int b : list) out += static_cast<char>(b);
    return out;
}

std::string Utf16Text(std::string_view text) {
    return Utf16LeBytes(Utf16FromText(text));
}

}  // namespace

void PrintTo(const RegistryValue& value, std::ostream* out) {
    *out << "type " << static_cast<std::uint32_t>(value.type) << " data \"";
    for (const char c : value.data) {
        if (c >= ' ' && c < 127) {
            *out << c;
        } else {
            *out << "\\x" << std::hex << (static_cast<int>(c) & 0xff) << std::dec;
        }
    }
    *out << '"';
}

namespace {

RegistryValue Value(RegistryValueType type, std::string data) {
    return {type, std::move(data)};
}

RegFile MustParse(std::string_view bytes) {
    RegFileParse parsed = ParseRegFile(bytes);
    EXPECT_TRUE(parsed.ok()) << parsed.error;
    return parsed.file;
}

struct ParseCase {
    const char* fault;
    std::string lines;  // below the key's header
    std::string name;
    RegistryValue expected;
};

TEST(RegFileTest, ReadsEveryKindOfValueAsRegeditWritesIt) {
    const std::vector<ParseCase> cases = {
        {"plain string", R"("Address"="proxy.local")", "Address",
         Value(RegistryValueType::String, "proxy.local")},
        {"escapes undone", R"("Path"="C:\\Temp\\\"x\"")", "Path",
         Value(RegistryValueType::String, R"(C:\Temp\"x")")},
        {"lone backslash kept", R"("Path"="C:\Temp")", "Path",
         Value(RegistryValueType::String, R"(C:\Temp)")},
        {"default value", R"(@="the default")", "",
         Value(RegistryValueType::String, "the default")},
        {"quoted @ is a name", R"("@"="at")", "@", Value(RegistryValueType::String, "at")},
        {"blanks around =", "  \"Port\" =\t\"8080\"  ", "Port",
         Value(RegistryValueType::String, "8080")},
        {"empty string", R"("Port"="")", "Port", Value(RegistryValueType::String, "")},
        {"dword little-endian", "\"Port\"=dword:00001f90", "Port",
         Value(RegistryValueType::Dword, Bytes({0x90, 0x1f, 0, 0}))},
        {"short dword", "\"N\"=DWORD:1", "N", Value(RegistryValueType::Dword, Bytes({1, 0, 0, 0}))},
        {"binary", "\"B\"=hex:00,ff,7F", "B",
         Value(RegistryValueType::Binary, Bytes({0, 0xff, 0x7f}))},
        {"empty binary", "\"B\"=hex:", "B", Value(RegistryValueType::Binary, "")},
        {"empty none", "\"B\"=hex(0):", "B", Value(RegistryValueType::None, "")},
        {"expandable string unexpanded", "\"E\"=hex(2):25,00,54,00,4d,00,50,00,25,00,00,00", "E",
         Value(RegistryValueType::ExpandString, "%TMP%")},
        {"line breaks as regedit exports them", R"("Note"="one\r\ntwo\n")", "Note",
         Value(RegistryValueType::String, "one\r\ntwo\n")},
        {"escaped backslash before n", R"("Path"="C:\\new")", "Path",
         Value(RegistryValueType::String, R"(C:\new)")},
        {"string as hex(1)", "\"S\"=hex(1):61,00,0a,00,62,00,00,00", "S",
         Value(RegistryValueType::String, "a\nb")},
        {"multi-string kept raw", "\"M\"=hex(7):61,00,00,00,00,00", "M",
         Value(RegistryValueType::MultiString, Bytes({0x61, 0, 0, 0, 0, 0}))},
        {"qword type number in hex", "\"Q\"=hex(b):01,00,00,00,00,00,00,00", "Q",
         Value(RegistryValueType::Qword, Bytes({1, 0, 0, 0, 0, 0, 0, 0}))},
        {"continued over lines", "\"B\"=hex:01,02,\\\n  03,\\\n  04", "B",
         Value(RegistryValueType::Binary, Bytes({1, 2, 3, 4}))},
        {"UTF-8 kept as bytes", "\"Name\"=\"Zürich ☃\"", "Name",
         Value(RegistryValueType::String, "Zürich ☃")},
        {"UTF-16 surrogate pair", "\"E\"=hex(2):3d,d8,00,de,00,00", "E",
         Value(RegistryValueType::ExpandString, "\xF0\x9F\x98\x80")},
        {"names ignore case", R"("address"="x")", "ADDRESS", Value(RegistryValueType::String, "x")},
        {"last copy wins", "\"A\"=\"one\"\n\"a\"=\"two\"", "A",
         Value(RegistryValueType::String, "two")},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.fault);
        const RegFile file = MustParse(kHead + c.lines + "\n");
        const RegistryValue* found = FindRegValue(file, kKey, c.name);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(*found, c.expected);
    }
}

TEST(RegFileTest, RefusesEveryBrokenFixture) {
    int seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VINTREL_REG_FIXTURES)) {
        if (!entry.path().filename().string().starts_with("broken-")) continue;
        SCOPED_TRACE(entry.path().filename().string());
        ++seen;
        EXPECT_FALSE(ParseRegFile(testing::ReadFileBytes(entry.path())).ok());
    }
    EXPECT_GE(seen, 10);
}

TEST(RegFileTest, RefusesUtf16ThatCouldNotBeWrittenBackAsItWas) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        // Read as 8-bit text it is full of zero bytes; it must not pass for empty.
        {"no byte-order mark", Utf16Text(kHead)},
        {"odd byte count", "\xFF\xFE" + Utf16Text(kHead) + "\n"},
        {"unpaired surrogate", "\xFF\xFE" + Utf16Text(kHead) + Bytes({0x00, 0xD8, 0x0A, 0x00})},
    };
    for (const auto& [fault, bytes] : cases) EXPECT_FALSE(ParseRegFile(bytes).ok()) << fault;
    // Bytes that are not UTF-8 travel as lone surrogates and come back whole.
    RegFile file = MustParse("\xFF\xFE" + Utf16Text(kHead));
    SetRegValue(file, kKey, "Raw", Value(RegistryValueType::String, "\xff\xfe"));
    const RegFile again = MustParse(SerializeRegFile(file));
    ASSERT_NE(FindRegValue(again, kKey, "Raw"), nullptr);
    EXPECT_EQ(FindRegValue(again, kKey, "Raw")->data, "\xff\xfe");
}

TEST(RegFileTest, EmptyFileIsAnEmptyRegistry) {
    const std::string header = "Windows Registry Editor Version 5.00\n\n";
    // A file with nothing in it has no form of its own: it takes regedit's.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", testing::RegeditForm(header)}, {"\n\n", header}, {"  \n", header}};
    for (const auto& [bytes, written] : cases) {
        const RegFile file = MustParse(bytes);
        EXPECT_TRUE(file.sections.empty());
        EXPECT_EQ(SerializeRegFile(file), written);
    }
}

TEST(RegFileTest, UntouchedFileIsWrittenBackByteForByte) {
    const std::string text =
        "Windows Registry Editor Version 5.00\r\n\r\n; kept\r\n[HKEY_CURRENT_USER\\Other]\r\n"
        "\"X\"=hex:01,\\\r\n    02\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Kavrin\\Proxy]\r\n"
        "\"Port\"=\"80\"\r\n\r\n";
    const std::vector<std::pair<const char*, std::string>> encodings = {
        {"UTF-8 with CRLF", text},
        {"UTF-8 with byte-order mark", "\xEF\xBB\xBF" + text},
        {"UTF-16LE as regedit exports", "\xFF\xFE" + Utf16Text(text)},
    };
    for (const auto& [name, bytes] : encodings) {
        SCOPED_TRACE(name);
        RegFile file = MustParse(bytes);
        EXPECT_EQ(SerializeRegFile(file), bytes);
        const RegistryValue* port = FindRegValue(file, kKey, "Port");
        ASSERT_NE(port, nullptr);
        EXPECT_EQ(port->data, "80");
    }
}

TEST(RegFileTest, ChangeKeepsEncodingLineEndsAndOtherKeys) {
    const std::string other =
        "[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n; a note\r\n\"X\"=\"y\"\r\n\r\n";
    const std::string before = "Windows Registry Editor Version 5.00\r\n\r\n" + other +
                               "[HKEY_CURRENT_USER\\SOFTWARE\\Kavrin\\Proxy]\r\n"
                               "; the user's own remark\r\n\"Port\"=\"80\"\r\n\r\n";
    RegFile file = MustParse("\xFF\xFE" + Utf16Text(before));
    SetRegValue(file, kKey, "Port", Value(RegistryValueType::String, "8080"));
    SetRegValue(file, kKey, "Address", Value(RegistryValueType::String, "proxy"));
    const std::string after = SerializeRegFile(file);
    ASSERT_EQ(after.substr(0, 2), "\xFF\xFE");
    const std::string text = TextFromUtf16(Utf16FromLeBytes(after.substr(2)));
    EXPECT_EQ(text,
              "Windows Registry Editor Version 5.00\r\n\r\n" + other +
                  "[HKEY_CURRENT_USER\\SOFTWARE\\Kavrin\\Proxy]\r\n"
                  "; the user's own remark\r\n\"Port\"=\"8080\"\r\n\"Address\"=\"proxy\"\r\n\r\n");
}

TEST(RegFileTest, WrapsHexDataAsRegeditExportsIt) {
    // The user's Path as regedit exports it from HKEY_CURRENT_USER\Environment.
    const std::vector<std::string> expected = {
        R"("Path"=hex(2):25,00,55,00,53,00,45,00,52,00,50,00,52,00,4f,00,46,00,49,00,4c,\)",
        R"(  00,45,00,25,00,5c,00,41,00,70,00,70,00,44,00,61,00,74,00,61,00,5c,00,4c,00,\)",
        R"(  6f,00,63,00,61,00,6c,00,5c,00,4d,00,69,00,63,00,72,00,6f,00,73,00,6f,00,66,\)",
        R"(  00,74,00,5c,00,57,00,69,00,6e,00,64,00,6f,00,77,00,73,00,41,00,70,00,70,00,\)",
        R"(  73,00,00,00)",
    };
    const RegistryValue path = Value(RegistryValueType::ExpandString,
                                     R"(%USERPROFILE%\AppData\Local\Microsoft\WindowsApps)");
    EXPECT_EQ(FormatRegValue("Path", path), expected);

    std::string lines = kHead;
    for (const std::string& line : expected) lines += line + "\n";
    const RegFile file = MustParse(lines);
    const RegistryValue* read = FindRegValue(file, kKey, "Path");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(*read, path);
}

TEST(RegFileTest, FormatsTheOtherKindsAsRegeditDoes) {
    EXPECT_EQ(FormatRegValue("", Value(RegistryValueType::String, "x")),
              std::vector<std::string>{R"(@="x")"});
    EXPECT_EQ(FormatRegValue("N", Value(RegistryValueType::Dword, Bytes({0x90, 0x1f, 0, 0}))),
              std::vector<std::string>{R"("N"=dword:00001f90)"});
    EXPECT_EQ(FormatRegValue("B", Value(RegistryValueType::Binary, Bytes({0, 0xab}))),
              std::vector<std::string>{R"("B"=hex:00,ab)"});
    EXPECT_EQ(FormatRegValue("Q", Value(RegistryValueType::Qword, Bytes({1, 2}))),
              std::vector<std::string>{R"("Q"=hex(b):01,02)"});
    EXPECT_EQ(FormatRegValue("S", Value(RegistryValueType::String, std::string("a\0b", 3))),
              std::vector<std::string>{R"("S"=hex(1):61,00,00,00,62,00,00,00)"});
    // Wine's regedit cuts a hex(1) string at its first character on import.
    EXPECT_EQ(FormatRegValue("L", Value(RegistryValueType::String, "a\r\nb")),
              std::vector<std::string>{R"("L"="a\r\nb")"});
}

struct RoundTrip {
    const char* fault;
    std::string name;
    RegistryValue value;
};

TEST(RegFileTest, EveryNameAndTextComesBackAsWritten) {
    const std::vector<RoundTrip> cases = {
        {"quotes in data", "Address", Value(RegistryValueType::String, R"(say "hi")")},
        {"backslashes in data", "Path", Value(RegistryValueType::String, R"(C:\dir\)")},
        {"trailing backslash is not a continuation", "B", Value(RegistryValueType::String, "\\")},
        {"quote and backslash in name", R"(a"b\c)", Value(RegistryValueType::String, "v")},
        {"equals sign", "a=b", Value(RegistryValueType::String, "c=d")},
        {"brackets and semicolon", "[x];y", Value(RegistryValueType::String, "; not a comment")},
        {"UTF-8", "Größe", Value(RegistryValueType::String, "日本語 ☃ 😀")},
        {"line break in data", "Note", Value(RegistryValueType::String, "one\r\ntwo")},
        {"zero in data", "Z", Value(RegistryValueType::String, std::string("a\0b", 3))},
        {"empty name", "", Value(RegistryValueType::String, "default")},
        {"blanks kept", " pad ", Value(RegistryValueType::String, "  two  ")},
        {"invalid UTF-8 in an expandable string", "E",
         Value(RegistryValueType::ExpandString, "\xff\xc3(\xed\xa0\x80")},
        {"long binary wraps", "Blob", Value(RegistryValueType::Binary, std::string(300, '\x5a'))},
    };
    for (const RoundTrip& c : cases) {
        SCOPED_TRACE(c.fault);
        RegFile file;
        SetRegValue(file, kKey, c.name, c.value);
        const RegFile again = MustParse(SerializeRegFile(file));
        const RegistryValue* read = FindRegValue(again, kKey, c.name);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(*read, c.value);
    }
}

TEST(RegFileTest, KeysAndValuesAreFoundWithoutRegardToCase) {
    RegFile file = MustParse(
        "Windows Registry Editor Version "
        "5.00\n\n[hkey_current_user\\software\\kavrin\\proxy\\Sub]\n\n"
        "[HKEY_CURRENT_USER\\Software\\KAVRIN\\Proxy]\n\"PORT\"=\"1\"\n\n");
    EXPECT_TRUE(RegKeyExists(file, "HKEY_CURRENT_USER\\SOFTWARE\\Kavrin"));
    EXPECT_TRUE(RegKeyExists(file, kKey));
    EXPECT_FALSE(RegKeyExists(file, "HKEY_CURRENT_USER\\SOFTWARE\\Kav"));
    SetRegValue(file, kKey, "port", Value(RegistryValueType::String, "2"));
    // The name keeps its spelling and no second section appears.
    EXPECT_EQ(SerializeRegFile(file),
              "Windows Registry Editor Version "
              "5.00\n\n[hkey_current_user\\software\\kavrin\\proxy\\Sub]\n\n"
              "[HKEY_CURRENT_USER\\Software\\KAVRIN\\Proxy]\n\"PORT\"=\"2\"\n\n");
}

TEST(RegFileTest, SettingAValueStoredTwiceLeavesOneCopy) {
    RegFile file = MustParse(
        kHead + "\"A\"=\"one\"\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kavrin\\Proxy]\n\"a\"=\"two\"\n");
    SetRegValue(file, kKey, "A", Value(RegistryValueType::String, "three"));
    EXPECT_EQ(SerializeRegFile(file),
              kHead + "\n[HKEY_CURRENT_USER\\SOFTWARE\\Kavrin\\Proxy]\n\"a\"=\"three\"\n");
    EXPECT_TRUE(DeleteRegValue(file, kKey, "A"));
    EXPECT_EQ(FindRegValue(file, kKey, "A"), nullptr);
    EXPECT_FALSE(DeleteRegValue(file, kKey, "A"));
}

TEST(RegFileTest, NewKeyIsSeparatedFromTheLastOneByABlankLine) {
    RegFile file = MustParse(
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Other]\n\"X\"=\"y\"");
    AddRegKey(file, kKey);
    AddRegKey(file, kKey);
    EXPECT_EQ(SerializeRegFile(file),
              "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Other]\n\"X\"=\"y\"\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Kavrin\\Proxy]\n\n");
}

TEST(RegFileTest, ConvertsAnyByteStringToUtf16AndBack) {
    const std::vector<std::string> texts = {"plain",
                                            "Zürich",
                                            "😀",
                                            "\x80\xff",
                                            "\xed\xa0\x80",
                                            "\xc0\xaf",
                                            "\xf4\x90\x80\x80",
                                            std::string("\0", 1)};
    for (const std::string& text : texts) EXPECT_EQ(TextFromUtf16(Utf16FromText(text)), text);
    EXPECT_EQ(Utf16FromText("Zü😀"), std::u16string(u"Zü😀"));
}

}  // namespace
}  // namespace vintrel
