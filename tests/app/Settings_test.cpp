// SPDX-License-Identifier: GPL-3.0-or-later
// The three settings routines on real settings files: the defaults, the load with its
// validity check and reset, the save, and what the user is told when something fails.
#include "app/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "app/IniSettingsStore.h"
#include "link/Connection.h"
#include "support/TempDir.h"

namespace kardo {
namespace {

using test::ReadBytes;
using test::TempDir;
using namespace std::string_literals;

// What the window would show, one information box per text.
struct Messages {
    std::vector<std::string> shown;
    InformFn inform() {
        return [this](const std::string& text) { shown.push_back(text); };
    }
};

// The state as start-up leaves it before the settings are read.
void StartValues(AppState& state, const std::filesystem::path& workingDir) {
    state.DefaultDir = workingDir;
    state.options = OptionFlags{};
    state.ProgBits = 0;
    state.SoundON = false;
}

std::vector<std::string> Lines(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Replaces the line of one value, or removes it when `with` is empty: a hand edit.
void EditValue(const std::filesystem::path& file, const std::string& name,
               const std::string& with) {
    std::ostringstream out;
    for (const std::string& line : Lines(file)) {
        if (line.rfind(name + "=", 0) != 0) {
            out << line << '\n';
        } else if (!with.empty()) {
            out << with << '\n';
        }
    }
    std::ofstream(file, std::ios::trunc) << out.str();
}

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::string Text(const std::filesystem::path& file) {
    const auto bytes = ReadBytes(file);
    return {bytes.begin(), bytes.end()};
}

int64_t StoredInteger(const std::filesystem::path& file, const std::string& name) {
    IniSettingsStore store(file);
    EXPECT_TRUE(store.OpenKey());
    const auto read = store.ReadInteger(name);
    EXPECT_TRUE(read.ok()) << read.error;
    return read.value;
}

struct SettingsTest : ::testing::Test {
    TempDir dir;
    std::filesystem::path file = dir / "config" / "KARDO.ini";
    std::filesystem::path home = dir / "kardo";
    IniSettingsStore store{file};
    Messages messages;

    // Start-up: the defaults when the key has none, then the load.
    void Start(AppState& state, const std::filesystem::path& workingDir) {
        WriteDefaultSettings(store, state, workingDir, messages.inform());
        LoadSettings(store, state, workingDir, messages.inform());
    }

    // A key that has seen one normal close, with values unlike the defaults.
    void SavedOnce() {
        ASSERT_EQ(store.CreateKey(), "");
        AppState state;
        StartValues(state, home);
        Start(state, home);
        state.SoundON = true;
        state.options.Id_flag = false;
        state.options.Test_flag = false;
        state.options.MaxMin_flag = false;
        state.ProgBits = 0x17;
        state.selection = {"KARDO_m.usb", 3, 5, ""};
        state.PathLoadSave = "/data/hex files";
        SaveSettings(store, state, messages.inform());
        ASSERT_TRUE(messages.shown.empty()) << messages.shown.front();
    }
};

TEST_F(SettingsTest, FirstStartResetsUntilTheFirstNormalClose) {
    ASSERT_EQ(store.CreateKey(), "");  // what the installation leaves: an empty key
    AppState state;
    StartValues(state, home);

    WriteDefaultSettings(store, state, home, messages.inform());
    std::vector<std::string> names;
    for (const std::string& line : Lines(file)) {
        if (line.find('=') != std::string::npos) {
            names.push_back(line.substr(0, line.find('=')));
        }
    }
    EXPECT_EQ(names, (std::vector<std::string>{"SoundON", "Id_flag", "Test_flag", "MaxMin_flag",
                                               "ProgBits", "RevNo", "Manuf_index", "Device_index",
                                               "Filename", "PathLoadSave", "DefaultDir"}));
    EXPECT_EQ(StoredInteger(file, "RevNo"), kDefaultsRevision);

    // The defaults carry an older revision: the load resets the key, so a value that was
    // not among them is gone, and reads the defaults.
    { std::ofstream(file, std::ios::app) << "Leftover=int:1\n"; }
    LoadSettings(store, state, home, messages.inform());
    EXPECT_TRUE(messages.shown.empty());
    const auto after = Lines(file);
    EXPECT_EQ(std::find(after.begin(), after.end(), "Leftover=int:1"), after.end());
    EXPECT_EQ(StoredInteger(file, "RevNo"), kDefaultsRevision);
    EXPECT_FALSE(state.SoundON);
    EXPECT_TRUE(state.options.Id_flag && state.options.Test_flag && state.options.MaxMin_flag);
    EXPECT_EQ(state.ProgBits, 0);
    EXPECT_EQ(state.selection.Filename, "KARDO_e.usb");
    EXPECT_EQ(state.selection.Manuf_index, 0);
    EXPECT_EQ(state.selection.Device_index, 0);
    EXPECT_EQ(state.PathLoadSave, home);
    EXPECT_EQ(state.DefaultDir, home);

    // A normal close stores this revision, and the next start keeps what was stored.
    state.SoundON = true;
    state.options.Test_flag = false;
    state.ProgBits = 0x1F;
    state.selection = {"KARDO_m.usb", 7, 12, "ATmega8A"};
    state.PathLoadSave = "/data/hex";
    SaveSettings(store, state, messages.inform());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(StoredInteger(file, "RevNo"), kSoftwareRevision);

    AppState next;
    StartValues(next, home);
    Start(next, home);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(next.SoundON);
    EXPECT_TRUE(next.options.Id_flag);
    EXPECT_FALSE(next.options.Test_flag);
    EXPECT_EQ(next.ProgBits, 0x1F);
    EXPECT_EQ(next.selection.Filename, "KARDO_m.usb");
    EXPECT_EQ(next.selection.Manuf_index, 7);
    EXPECT_EQ(next.selection.Device_index, 12);
    EXPECT_EQ(next.selection.Device_name, "ATmega8A");
    EXPECT_EQ(next.PathLoadSave, "/data/hex");
    EXPECT_EQ(next.DefaultDir, home);
}

TEST_F(SettingsTest, AStartFromAnotherDirectoryResetsToTheDefaults) {
    SavedOnce();
    const auto elsewhere = dir / "copy";
    AppState state;
    StartValues(state, elsewhere);
    Start(state, elsewhere);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(state.selection.Filename, "KARDO_e.usb");
    EXPECT_EQ(state.selection.Manuf_index, 0);
    EXPECT_EQ(state.selection.Device_index, 0);
    EXPECT_EQ(state.ProgBits, 0);
    EXPECT_TRUE(state.options.Id_flag);
    EXPECT_EQ(state.PathLoadSave, elsewhere);
    EXPECT_EQ(state.DefaultDir, elsewhere);
    EXPECT_EQ(StoredInteger(file, "RevNo"), kDefaultsRevision);
}

// Directories are compared as the texts they are, so any name passes the check.
TEST_F(SettingsTest, DirectoriesWithAnyCharactersSurviveTheValidityCheck) {
    home = dir / "Prüfung = 2 ; [x] \"q\"";
    SavedOnce();
    AppState state;
    StartValues(state, home);
    state.PathLoadSave = "unchanged";
    Start(state, home);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(state.selection.Filename, "KARDO_m.usb");  // no reset
    EXPECT_EQ(state.PathLoadSave, "/data/hex files");
    EXPECT_EQ(state.DefaultDir, home);
}

TEST_F(SettingsTest, AMissingKeyIsReportedAndChangesNothing) {
    AppState state;
    StartValues(state, home);
    state.selection = {"KARDO_m.usb", 2, 4, ""};
    state.PathLoadSave = "/before";
    Start(state, home);
    EXPECT_EQ(messages.shown, (std::vector<std::string>{" RootDir Registry Error",
                                                        " Can't open program serial key."}));
    EXPECT_EQ(state.selection.Filename, "KARDO_m.usb");
    EXPECT_EQ(state.selection.Manuf_index, 2);
    EXPECT_EQ(state.PathLoadSave, "/before");
    EXPECT_TRUE(state.options.Id_flag);

    SaveSettings(store, state, messages.inform());
    EXPECT_EQ(messages.shown.back(), " Can't open program serial key.");
    EXPECT_EQ(messages.shown.size(), 3u);
    EXPECT_FALSE(std::filesystem::exists(file));  // the routines never create the key
}

// A reset takes only our values out: the user's other sections, comments and line ends
// stay byte for byte, and so do the comments in our own section.
TEST_F(SettingsTest, AResetKeepsEverythingButOurValues) {
    const std::string before = "; my settings\r\n[Other]\r\nKey = value ; kept\r\n\r\n";
    const std::string ours =
        "[SOFTWARE\\Orrinsys\\KARDO]\r\n; my note\r\nRevNo=int:1\r\n"
        "DefaultDir=str:\"/elsewhere\"\r\nLeftover=int:7\r\n";
    const std::string after = "\r\n[Third]\r\nX=y";
    std::filesystem::create_directories(file.parent_path());
    test::WriteBytes(file, Bytes(before + ours + after));
    AppState state;
    StartValues(state, home);
    Start(state, home);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(state.selection.Filename, "KARDO_e.usb");
    EXPECT_EQ(StoredInteger(file, "RevNo"), kDefaultsRevision);
    const std::string text = Text(file);
    EXPECT_EQ(text.rfind(before + "[SOFTWARE\\Orrinsys\\KARDO]\r\n; my note\r\n", 0), 0u) << text;
    EXPECT_TRUE(text.ends_with("\r\nDefaultDir=str:\"" + home.string() + "\"\r\n" + after)) << text;
    EXPECT_EQ(text.find("Leftover"), std::string::npos);
}

// A file that is not an INI file (a settings path set by mistake) is named, never
// written, and the program goes on with the values in memory, as without a key.
TEST_F(SettingsTest, AFileThatIsNotAnIniFileIsRefusedAndLeftAlone) {
    const struct {
        std::string text;
        int line;
    } cases[] = {
        {"\177ELF\x02\x01\x01\0\0\0\0"s, 1},
        {"\xFF\xFE[\0S\0]\0\n\0"s, 1},
        {"[SOFTWARE\\Orrinsys\\KARDO]\nRevNo=int:1006\0\n"s, 2},
        {"[SOFTWARE\\Orrinsys\\KARDO]\nRevNo=int:1006\njust some words\n", 3},
        {"[SOFTWARE\\Orrinsys\\KARDO\nRevNo=int:1006\n", 1},
        {"; fine\n=no name\n", 2},
        {"a=b\rc=d\n", 1},
    };
    std::filesystem::create_directories(file.parent_path());
    for (const auto& c : cases) {
        test::WriteBytes(file, Bytes(c.text));
        messages.shown.clear();
        IniSettingsStore fresh(file);  // a new run of the program
        AppState state;
        StartValues(state, home);
        state.ProgBits = 0x42;
        WriteDefaultSettings(fresh, state, home, messages.inform());
        LoadSettings(fresh, state, home, messages.inform());
        SaveSettings(fresh, state, messages.inform());
        ASSERT_EQ(messages.shown.size(), 3u) << c.line;
        EXPECT_EQ(messages.shown[0].rfind("The settings file " + file.string() +
                                              " is not an INI file (its line " +
                                              std::to_string(c.line) + " ",
                                          0),
                  0u)
            << messages.shown[0];
        // Said once; the routines that follow say what they say without a key.
        EXPECT_EQ(messages.shown[1], " Can't open program serial key.");
        EXPECT_EQ(messages.shown[2], " Can't open program serial key.");
        EXPECT_EQ(state.ProgBits, 0x42);
        EXPECT_EQ(Text(file), c.text);
    }
}

TEST_F(SettingsTest, AnUnreadableValueEndsTheLoadThere) {
    SavedOnce();
    EditValue(file, "Test_flag", "Test_flag=str:\"yes\"");
    AppState state;
    StartValues(state, home);
    state.SoundON = false;
    state.ProgBits = 0x03;
    state.selection = {"", 9, 9, ""};
    Start(state, home);
    EXPECT_EQ(messages.shown, (std::vector<std::string>{"Invalid data type for 'Test_flag'"}));
    // Read before it:
    EXPECT_TRUE(state.SoundON);
    EXPECT_FALSE(state.options.Id_flag);
    // Not read:
    EXPECT_TRUE(state.options.Test_flag);
    EXPECT_TRUE(state.options.MaxMin_flag);
    EXPECT_EQ(state.ProgBits, 0x03);
    EXPECT_EQ(state.selection.Manuf_index, 9);
    EXPECT_EQ(state.selection.Filename, "");

    // A boolean or integer that is missing from the key is as much an error.
    messages.shown.clear();
    EditValue(file, "Test_flag", "Test_flag=bool:false");
    EditValue(file, "Device_index", "");
    Start(state, home);
    EXPECT_EQ(messages.shown,
              (std::vector<std::string>{"No value 'Device_index' in the settings"}));
    EXPECT_FALSE(state.options.Test_flag);
    EXPECT_EQ(state.ProgBits, 0x17);
    EXPECT_EQ(state.selection.Manuf_index, 3);
    EXPECT_EQ(state.selection.Device_index, 9);

    // An unreadable revision stops before the validity check: nothing is reset.
    messages.shown.clear();
    EditValue(file, "RevNo", "RevNo=str:\"1006\"");
    const auto before = ReadBytes(file);
    Start(state, home);
    EXPECT_EQ(messages.shown, (std::vector<std::string>{"Invalid data type for 'RevNo'"}));
    EXPECT_EQ(ReadBytes(file), before);
}

TEST_F(SettingsTest, StoredNumbersAreTakenOnlyAsTheyFit) {
    SavedOnce();
    EditValue(file, "ProgBits", "ProgBits=int:535");  // 0x217: only the low byte means steps
    EditValue(file, "Manuf_index", "Manuf_index=int:4294967296");
    AppState state;
    StartValues(state, home);
    state.selection.Manuf_index = 1;
    Start(state, home);
    EXPECT_EQ(state.ProgBits, 0x17);
    EXPECT_EQ(state.selection.Manuf_index, 1);  // not wrapped into some other position
    EXPECT_EQ(messages.shown, (std::vector<std::string>{"Value out of range for 'Manuf_index'"}));

    // A saved -1 (no selection) is a position like any other.
    messages.shown.clear();
    state.selection.Manuf_index = -1;
    state.selection.Device_index = -1;
    SaveSettings(store, state, messages.inform());
    AppState next;
    StartValues(next, home);
    Start(next, home);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(next.selection.Manuf_index, -1);
    EXPECT_EQ(next.selection.Device_index, -1);
}

TEST_F(SettingsTest, AFailedSaveKeepsTheEarlierFileAndSaysWhy) {
    SavedOnce();
    const auto before = ReadBytes(file);
    // A file made read-only is never written, not even by root.
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    AppState state;
    StartValues(state, home);
    state.selection = {"KARDO_e.usb", 1, 1, ""};
    SaveSettings(store, state, messages.inform());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].rfind("Can't write the settings file " + file.string(), 0), 0u)
        << messages.shown[0];
    EXPECT_EQ(ReadBytes(file), before);
}

TEST_F(SettingsTest, SerialNumbersRoundTrip) {
    SavedOnce();
    AppState state;
    StartValues(state, home);
    Start(state, home);
    state.serial = {true, 16, 0xFFFFFFFFu, 0x8000000000000005ull, 0x1FFF0u, false, false};
    SaveSettings(store, state, messages.inform());

    AppState next;
    StartValues(next, home);
    Start(next, home);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(next.serial.enabled);
    EXPECT_EQ(next.serial.digits, 16);
    EXPECT_EQ(next.serial.increment, 0xFFFFFFFFu);
    EXPECT_EQ(next.serial.next, 0x8000000000000005ull);
    EXPECT_EQ(next.serial.address, 0x1FFF0u);
    EXPECT_FALSE(next.serial.hex);
    EXPECT_FALSE(next.serial.msdFirst);
}

// A store from before serial numbers, or one with unusable serial values, still loads;
// the numbers in memory stay, and nobody is bothered with a message.
TEST_F(SettingsTest, MissingOrUnusableSerialValuesKeepTheNumbersInMemory) {
    SavedOnce();  // saves the serial values too
    const SerialNumberSettings inMemory{true, 6, 10, 123456, 0x40, false, true};
    for (const char* name : {"SerialOn", "SerialDigits", "SerialIncrement", "SerialNext",
                             "SerialAddress", "SerialHex", "SerialMsdFirst"}) {
        EditValue(file, name, "");
    }
    AppState old;
    StartValues(old, home);
    old.serial = inMemory;
    Start(old, home);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(old.selection.Filename, "KARDO_m.usb");  // the older values did load
    EXPECT_EQ(old.serial.digits, 6);
    EXPECT_EQ(old.serial.next, 123456u);

    const std::vector<std::pair<std::string, std::string>> garbage = {
        {"SerialOn", "SerialOn=str:\"on\""},
        {"SerialDigits", "SerialDigits=int:3"},
        {"SerialIncrement", "SerialIncrement=int:-1"},
        {"SerialNext", "SerialNext=str:\"12a\""},
        {"SerialAddress", "SerialAddress=int:4294967296"},
        {"SerialHex", "SerialHex=int:1"},
        {"SerialMsdFirst", "SerialMsdFirst=str:\"\""},
    };
    for (const auto& [name, line] : garbage) {
        std::ofstream(file, std::ios::app) << line << '\n';
    }
    for (const char* next : {"-5", "+5", "18446744073709551616", " 7"}) {
        EditValue(file, "SerialNext", std::string("SerialNext=str:\"") + next + "\"");
        for (int digits : {0, 3, 15, 18, -2}) {
            EditValue(file, "SerialDigits", "SerialDigits=int:" + std::to_string(digits));
            AppState state;
            StartValues(state, home);
            state.serial = inMemory;
            Start(state, home);
            EXPECT_TRUE(messages.shown.empty());
            EXPECT_TRUE(state.serial.enabled);
            EXPECT_EQ(state.serial.digits, 6) << digits;
            EXPECT_EQ(state.serial.increment, 10u);
            EXPECT_EQ(state.serial.next, 123456u) << next;
            EXPECT_EQ(state.serial.address, 0x40u);
            EXPECT_FALSE(state.serial.hex);
            EXPECT_TRUE(state.serial.msdFirst);
        }
    }
}

}  // namespace
}  // namespace kardo
