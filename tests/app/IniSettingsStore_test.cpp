// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file: a registry key as a text file. Values keep their types, strings
// come back byte for byte, a hand-edited file never breaks it, and a save that fails
// leaves the earlier file as it was.
#include "app/IniSettingsStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "support/TempDir.h"

namespace kardo {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using namespace std::string_literals;

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::string Text(const std::filesystem::path& file) {
    const auto bytes = ReadBytes(file);
    return {bytes.begin(), bytes.end()};
}

TEST(IniSettingsStore, TheKeyIsTheFile) {
    TempDir dir;
    IniSettingsStore store(dir / "Orrinsys" / "deeper" / "KARDO.ini");
    EXPECT_FALSE(store.OpenKey());
    EXPECT_EQ(store.WriteBool("SoundON", true), "The settings key is not open");
    EXPECT_EQ(store.ReadString("Filename").error, "The settings key is not open");

    // Creating makes the folders and an empty file, as an installer makes an empty key.
    EXPECT_EQ(store.CreateKey(), "");
    EXPECT_TRUE(std::filesystem::is_regular_file(store.file()));
    EXPECT_TRUE(ReadBytes(store.file()).empty());
    ASSERT_TRUE(store.OpenKey());
    EXPECT_FALSE(store.HasValue("RevNo"));
    EXPECT_EQ(store.WriteInteger("RevNo", 1002), "");
    EXPECT_EQ(store.CloseKey(), "");

    // Creating an existing key keeps what it holds.
    EXPECT_EQ(store.CreateKey(), "");
    ASSERT_TRUE(store.OpenKey());
    EXPECT_TRUE(store.HasValue("RevNo"));
    EXPECT_TRUE(store.HasValue("revno"));  // names compare as a registry compares them
    EXPECT_EQ(store.CloseKey(), "");

    // A reset empties the key and keeps the file; a missing file is made again.
    EXPECT_EQ(store.ResetKey(), "");
    ASSERT_TRUE(store.OpenKey());
    EXPECT_FALSE(store.HasValue("RevNo"));
    EXPECT_EQ(store.CloseKey(), "");
    std::filesystem::remove(store.file());
    EXPECT_EQ(store.ResetKey(), "");
    EXPECT_TRUE(ReadBytes(store.file()).empty());
    std::filesystem::remove(store.file());

    // A folder where the file should be is no key, and cannot become one.
    std::filesystem::create_directories(store.file());
    EXPECT_FALSE(store.OpenKey());
    EXPECT_NE(store.CreateKey(), "");

    // Nor can a key be created below a plain file.
    WriteBytes(dir / "plain", Bytes("x"));
    IniSettingsStore below(dir / "plain" / "KARDO.ini");
    EXPECT_NE(below.CreateKey(), "");
    EXPECT_FALSE(below.OpenKey());
}

TEST(IniSettingsStore, TypesRoundTripAndStayApart) {
    TempDir dir;
    IniSettingsStore store(dir / "KARDO.ini");
    ASSERT_EQ(store.CreateKey(), "");
    ASSERT_TRUE(store.OpenKey());
    EXPECT_EQ(store.WriteBool("SoundON", true), "");
    EXPECT_EQ(store.WriteBool("Id_flag", false), "");
    EXPECT_EQ(store.WriteInteger("RevNo", 1006), "");
    EXPECT_EQ(store.WriteInteger("Low", INT64_MIN), "");
    EXPECT_EQ(store.WriteInteger("High", INT64_MAX), "");
    EXPECT_EQ(store.WriteString("Filename", "KARDO_e.usb"), "");
    EXPECT_EQ(store.WriteString("Number", "1006"), "");
    // Writing again replaces the value, type included.
    EXPECT_EQ(store.WriteInteger("ProgBits", 3), "");
    EXPECT_EQ(store.WriteInteger("ProgBits", 0x17), "");
    EXPECT_EQ(store.WriteBool("Changed", true), "");
    EXPECT_EQ(store.WriteString("Changed", "now a string"), "");
    ASSERT_EQ(store.CloseKey(), "");

    IniSettingsStore again(dir / "KARDO.ini");
    ASSERT_TRUE(again.OpenKey());
    EXPECT_TRUE(again.ReadBool("SoundON").value);
    EXPECT_TRUE(again.ReadBool("SoundON").ok());
    EXPECT_FALSE(again.ReadBool("Id_flag").value);
    EXPECT_TRUE(again.ReadBool("Id_flag").ok());
    EXPECT_EQ(again.ReadInteger("RevNo").value, 1006);
    EXPECT_EQ(again.ReadInteger("Low").value, INT64_MIN);
    EXPECT_EQ(again.ReadInteger("High").value, INT64_MAX);
    EXPECT_EQ(again.ReadInteger("ProgBits").value, 0x17);
    EXPECT_EQ(again.ReadString("Filename").value, "KARDO_e.usb");
    EXPECT_EQ(again.ReadString("Changed").value, "now a string");

    // A value of another type is an error, even where its text would look right.
    EXPECT_EQ(again.ReadInteger("Number").error, "Invalid data type for 'Number'");
    EXPECT_EQ(again.ReadBool("RevNo").error, "Invalid data type for 'RevNo'");
    EXPECT_EQ(again.ReadString("SoundON").error, "Invalid data type for 'SoundON'");
    EXPECT_EQ(again.ReadInteger("Changed").error, "Invalid data type for 'Changed'");
    // A missing boolean or integer is an error; a missing string is the empty text.
    EXPECT_EQ(again.ReadBool("Test_flag").error, "No value 'Test_flag' in the settings");
    EXPECT_EQ(again.ReadInteger("Manuf_index").error, "No value 'Manuf_index' in the settings");
    EXPECT_TRUE(again.ReadString("PathLoadSave").ok());
    EXPECT_EQ(again.ReadString("PathLoadSave").value, "");
    EXPECT_EQ(again.CloseKey(), "");
}

TEST(IniSettingsStore, AnyStringComesBackByteForByte) {
    const std::vector<std::string> texts = {
        "",
        "a=b=c",
        "  leading and trailing spaces  ",
        "C:\\Program Files\\KARDO\\",
        "quote \" and backslash \\ and \\\" together",
        "/home/jürgen/Prüfung/日本語",
        "\xFF\xFE not even UTF-8 \x80",
        "new\nline, carriage\rreturn, tab\t, nul \0 and del \x7F"s,
        "[SOFTWARE\\Orrinsys\\KARDO]",
        "; not a comment",
        "ends in a backslash \\",
        "\\x41 is not an escape of ours",
        "str:\"nested\"",
    };
    TempDir dir;
    IniSettingsStore store(dir / "KARDO.ini");
    ASSERT_EQ(store.CreateKey(), "");
    ASSERT_TRUE(store.OpenKey());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        ASSERT_EQ(store.WriteString("Text" + std::to_string(i), texts[i]), "");
    }
    ASSERT_EQ(store.CloseKey(), "");

    // One line per value, whatever the value held.
    const std::string file = Text(dir / "KARDO.ini");
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), static_cast<long>(texts.size() + 1));

    IniSettingsStore again(dir / "KARDO.ini");
    ASSERT_TRUE(again.OpenKey());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto read = again.ReadString("Text" + std::to_string(i));
        EXPECT_TRUE(read.ok());
        EXPECT_EQ(read.value, texts[i]) << i;
    }
}

TEST(IniSettingsStore, NamesThatWouldNotReadBackAreRefused) {
    TempDir dir;
    IniSettingsStore store(dir / "KARDO.ini");
    ASSERT_EQ(store.CreateKey(), "");
    ASSERT_TRUE(store.OpenKey());
    for (const std::string name : {"", "a=b", " lead", "trail ", "[x", ";x", "#x", "a\nb"}) {
        EXPECT_EQ(store.WriteInteger(name, 1), "Invalid value name '" + name + "'");
    }
    EXPECT_EQ(store.CloseKey(), "");
    EXPECT_TRUE(ReadBytes(dir / "KARDO.ini").empty());  // nothing was written
}

TEST(IniSettingsStore, HandEditedFilesAreReadAsTheirAuthorMeantThem) {
    TempDir dir;
    WriteBytes(dir / "KARDO.ini", Bytes("\xEF\xBB\xBF; my settings\r\n"
                                        "[software\\orrinsys\\kardo]\r\n"
                                        "  soundon = BOOL: TRUE  \r\n"
                                        "Id_flag=bool:0\r\n"
                                        "RevNo = int: 1006\r\n"
                                        "Filename=str:KARDO_m.usb\r\n"
                                        "PathLoadSave = str:\"/data/hex\"   \r\n"));
    IniSettingsStore store(dir / "KARDO.ini");
    ASSERT_TRUE(store.OpenKey());
    EXPECT_TRUE(store.ReadBool("SoundON").value);
    EXPECT_TRUE(store.ReadBool("Id_flag").ok());
    EXPECT_FALSE(store.ReadBool("Id_flag").value);
    EXPECT_EQ(store.ReadInteger("RevNo").value, 1006);
    EXPECT_EQ(store.ReadString("Filename").value, "KARDO_m.usb");
    EXPECT_EQ(store.ReadString("PathLoadSave").value, "/data/hex");
}

// A save keeps an editor's byte-order mark: dropped, it would let a second mark or the
// line it hid read differently the next time (found by fuzzing). A second mark is no
// part of an INI line, so such a file is now refused whole and never written.
TEST(IniSettingsStore, ASaveKeepsTheByteOrderMark) {
    TempDir dir;
    const auto twoMarks =
        Bytes("\xEF\xBB\xBF\xEF\xBB\xBF[SOFTWARE\\Orrinsys\\KARDO]\n\nProgBits=\n");
    WriteBytes(dir / "twice.ini", twoMarks);
    IniSettingsStore refused(dir / "twice.ini");
    EXPECT_FALSE(refused.OpenKey());
    EXPECT_EQ(ReadBytes(dir / "twice.ini"), twoMarks);

    WriteBytes(dir / "KARDO.ini", Bytes("\xEF\xBB\xBF[SOFTWARE\\Orrinsys\\KARDO]\n\nProgBits=\n"));
    IniSettingsStore store(dir / "KARDO.ini");
    ASSERT_TRUE(store.OpenKey());
    EXPECT_EQ(store.WriteInteger("ProgBits", 0x17), "");
    EXPECT_EQ(store.CloseKey(), "");
    EXPECT_EQ(Text(dir / "KARDO.ini").substr(0, 4), "\xEF\xBB\xBF[");
    IniSettingsStore again(dir / "KARDO.ini");
    ASSERT_TRUE(again.OpenKey());
    EXPECT_EQ(again.ReadInteger("ProgBits").value, 0x17);
}

// Lines that are no INI lines at all are in the next test: such a file is refused whole.
TEST(IniSettingsStore, ABrokenFileNeverBreaksTheStore) {
    TempDir dir;
    const std::string broken =
        "; no section yet\r\n"
        "SoundON=bool:true\n"
        "[]\n"
        "[Other]\n"
        "RevNo=int:5\n"
        "[SOFTWARE\\Orrinsys\\KARDO-not]\n"
        "Id_flag=bool:true\n"
        "[SOFTWARE\\Orrinsys\\KARDO]\n"
        "  # just some words\t\n"
        "; Test_flag=bool:true\n"
        "SoundON=bool:maybe\n"
        "MaxMin_flag=true\n"
        "RevNo=int:12abc\n"
        "ProgBits=int:99999999999999999999999\n"
        "Manuf_index=int:\n"
        "Device_index=float:1.5\n"
        "Filename=str:\"unterminated \\x4\n"
        "PathLoadSave=str:\"a\"trailing\n"
        "Binary=\xFF\xFE\x7F\n"
        "DefaultDir=str:\"first\"\n"
        "DefaultDir=str:\"second\"\n"
        "Last=no newline at the end"s;
    WriteBytes(dir / "KARDO.ini", Bytes(broken));
    IniSettingsStore store(dir / "KARDO.ini");
    ASSERT_TRUE(store.OpenKey());
    // Only lines of our own section count; what does not fit its type reads as another.
    EXPECT_FALSE(store.HasValue("Id_flag"));
    EXPECT_FALSE(store.HasValue("Test_flag"));
    EXPECT_EQ(store.ReadBool("SoundON").error, "Invalid data type for 'SoundON'");
    EXPECT_EQ(store.ReadBool("MaxMin_flag").error, "Invalid data type for 'MaxMin_flag'");
    EXPECT_EQ(store.ReadInteger("RevNo").error, "Invalid data type for 'RevNo'");
    EXPECT_EQ(store.ReadInteger("ProgBits").error, "Invalid data type for 'ProgBits'");
    EXPECT_EQ(store.ReadInteger("Manuf_index").error, "Invalid data type for 'Manuf_index'");
    EXPECT_EQ(store.ReadInteger("Device_index").error, "Invalid data type for 'Device_index'");
    EXPECT_EQ(store.ReadString("Binary").error, "Invalid data type for 'Binary'");
    EXPECT_EQ(store.ReadString("Filename").value, "unterminated \\x4");
    EXPECT_EQ(store.ReadString("PathLoadSave").value, "a");
    EXPECT_EQ(store.ReadString("DefaultDir").value, "first");  // the first of two counts

    // A write keeps every line it does not understand, line ends included, and leaves one
    // value per name.
    EXPECT_EQ(store.WriteString("DefaultDir", "/opt/kardo"), "");
    EXPECT_EQ(store.WriteBool("Test_flag", false), "");
    ASSERT_EQ(store.CloseKey(), "");
    const std::string after = Text(dir / "KARDO.ini");
    for (const char* kept :
         {"; no section yet\r\n", "[Other]\nRevNo=int:5\n", "  # just some words\t\n",
          "; Test_flag=bool:true\n", "SoundON=bool:maybe\n", "Last=no newline at the end"}) {
        EXPECT_NE(after.find(kept), std::string::npos) << kept;
    }
    EXPECT_EQ(after.find("second"), std::string::npos);
    IniSettingsStore again(dir / "KARDO.ini");
    ASSERT_TRUE(again.OpenKey());
    EXPECT_EQ(again.ReadString("DefaultDir").value, "/opt/kardo");
    EXPECT_TRUE(again.ReadBool("Test_flag").ok());
}

TEST(IniSettingsStore, AFileWithoutOurSectionGetsItAtTheEnd) {
    TempDir dir;
    WriteBytes(dir / "KARDO.ini", Bytes("[Other]\nRevNo=int:5"));
    IniSettingsStore store(dir / "KARDO.ini");
    ASSERT_TRUE(store.OpenKey());
    EXPECT_FALSE(store.HasValue("RevNo"));
    EXPECT_EQ(store.WriteInteger("RevNo", 1002), "");
    EXPECT_EQ(store.WriteInteger("ProgBits", 0), "");
    ASSERT_EQ(store.CloseKey(), "");
    EXPECT_EQ(Text(dir / "KARDO.ini"),
              "[Other]\nRevNo=int:5\n\n[SOFTWARE\\Orrinsys\\KARDO]\nRevNo=int:1002\n"
              "ProgBits=int:0\n");
}

// A last line that ends in a carriage return alone: what is added after it must not read
// as part of it (the settings fuzzer found this).
TEST(IniSettingsStore, ValuesAddedAfterALastLineWithoutALineFeedReadBack) {
    for (const char* last : {"; note\r", "; note"}) {
        TempDir dir;
        WriteBytes(dir / "KARDO.ini", Bytes(std::string("[SOFTWARE\\Orrinsys\\KARDO]\n") + last));
        IniSettingsStore store(dir / "KARDO.ini");
        ASSERT_TRUE(store.OpenKey());
        EXPECT_EQ(store.WriteInteger("ProgBits", 0x17), "");
        ASSERT_EQ(store.CloseKey(), "");
        IniSettingsStore again(dir / "KARDO.ini");
        ASSERT_TRUE(again.OpenKey());
        EXPECT_EQ(again.ReadInteger("ProgBits").value, 0x17) << Text(dir / "KARDO.ini");
    }
}

TEST(IniSettingsStore, AReadDoesNotRewriteTheFile) {
    TempDir dir;
    const std::string text = "; kept exactly\r\n[SOFTWARE\\Orrinsys\\KARDO]\r\nRevNo = int:1006";
    WriteBytes(dir / "KARDO.ini", Bytes(text));
    IniSettingsStore store(dir / "KARDO.ini");
    ASSERT_TRUE(store.OpenKey());
    EXPECT_EQ(store.ReadInteger("RevNo").value, 1006);
    EXPECT_EQ(store.CloseKey(), "");
    EXPECT_EQ(Text(dir / "KARDO.ini"), text);
}

TEST(IniSettingsStore, AFailedSaveLeavesTheEarlierFileIntact) {
    TempDir dir;
    IniSettingsStore store(dir / "KARDO.ini");
    ASSERT_EQ(store.CreateKey(), "");
    ASSERT_TRUE(store.OpenKey());
    ASSERT_EQ(store.WriteInteger("RevNo", 1006), "");
    ASSERT_EQ(store.CloseKey(), "");
    const auto before = ReadBytes(dir / "KARDO.ini");

    // A settings file made read-only is never written, not even by root, who passes
    // every permission check.
    std::filesystem::permissions(dir / "KARDO.ini", std::filesystem::perms::owner_read);
    ASSERT_TRUE(store.OpenKey());
    ASSERT_EQ(store.WriteInteger("RevNo", 1002), "");
    const std::string error = store.CloseKey();
    EXPECT_EQ(error, "Can't write the settings file " + (dir / "KARDO.ini").string() +
                         ": Permission denied");
    EXPECT_EQ(ReadBytes(dir / "KARDO.ini"), before);
}

TEST(IniSettingsStore, DefaultPathFollowsTheEnvironment) {
    EXPECT_EQ(DefaultSettingsPath("/etc/kardo.ini", "/xdg", "/home/u"), "/etc/kardo.ini");
    EXPECT_EQ(DefaultSettingsPath(nullptr, "/xdg", "/home/u"), "/xdg/Orrinsys/KARDO.ini");
    EXPECT_EQ(DefaultSettingsPath("", "", "/home/u"), "/home/u/.config/Orrinsys/KARDO.ini");
    // A relative XDG_CONFIG_HOME is not to be used.
    EXPECT_EQ(DefaultSettingsPath(nullptr, "relative", "/home/u"),
              "/home/u/.config/Orrinsys/KARDO.ini");
    EXPECT_EQ(DefaultSettingsPath(nullptr, nullptr, nullptr), "KARDO.ini");
}

}  // namespace
}  // namespace kardo
