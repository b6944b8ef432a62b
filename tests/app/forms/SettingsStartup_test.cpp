// SPDX-License-Identifier: GPL-3.0-or-later
// The settings across starts of the real main window, on a real settings file: the
// first start, the values kept by a normal close, the resets, a missing or damaged file,
// a save that fails, and the serial number of a production run.
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <fstream>
#include <sstream>

#include "support/TempDir.h"
#include "support/TestDatabases.h"
#include "support/forms/MainWindowFixture.h"
#include "support/forms/ShippedBench.h"
#include "support/forms/UserActions.h"

using namespace kardo;
using namespace kardo::test;

namespace {

std::string FileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Holds(const std::filesystem::path& file, const std::string& line) {
    return FileText(file).find(line) != std::string::npos;
}

// One start of the program from `directory` with its settings in `file`; the window is
// closed normally by Close().
struct Start {
    std::unique_ptr<MainWindowFixture> f;
    Start(const std::filesystem::path& directory, const std::filesystem::path& file) {
        f = std::make_unique<MainWindowFixture>(nullptr, directory, nullptr, file);
    }
    void Close() { f->window().close(); }
    QStringList Messages() const {
        QStringList texts;
        for (const auto& m : f->dialogs.messages)
            texts << m.text;
        return texts;
    }
};

}  // namespace

class SettingsStartupTest : public QObject {
    Q_OBJECT
  private slots:
    void firstStartThenTheValuesSurviveANormalClose();
    void aStartFromAnotherDirectoryResetsTheSelection();
    void aMissingFileGivesBothMessagesAndTheStartValues();
    void aValueOfTheWrongTypeEndsTheLoadThere();
    void aSaveThatFailsLeavesTheEarlierFile();
    void theNextSerialNumberSurvivesARestart();
};

void SettingsStartupTest::firstStartThenTheValuesSurviveANormalClose() {
    TempDir dir;
    WriteTestDatabases(dir.path());
    const auto file = dir / "KARDO.ini";
    WriteBytes(file, {});  // as the installation leaves it
    {
        Start first(dir.path(), file);
        QVERIFY(first.Messages().isEmpty());
        QVERIFY(Holds(file, "RevNo=int:1002"));  // the reset at the first load wrote defaults
        AppState& s = first.f->state();
        QVERIFY(s.SoundON);  // on at every start
        QVERIFY(s.options.Id_flag && s.options.Test_flag && s.options.MaxMin_flag);
        QCOMPARE(s.selection.Filename, std::string("KARDO_e.usb"));
        s.ProgBits = 0x13;
        s.options.Id_flag = false;
        s.SoundON = false;
        s.selection = {"KARDO_m.usb", 1, 0, ""};
        first.Close();
    }
    QVERIFY(Holds(file, "RevNo=int:1006"));
    QVERIFY(Holds(file, "SoundON=bool:false"));
    Start second(dir.path(), file);
    AppState& s = second.f->state();
    QCOMPARE(int(s.ProgBits), 0x13);
    QVERIFY(!s.options.Id_flag);
    QVERIFY(s.SoundON);  // stored off, still on at the start
    QCOMPARE(s.selection.Filename, std::string("KARDO_m.usb"));
    QCOMPARE(s.selection.Manuf_index, 1);
    // The selection dialog opens on the stored type and rows.
    second.f->dialogs.drivers.push_back([](QDialog& dialog) {
        QVERIFY(dialog.findChild<QRadioButton*>("RadioButton4")->isChecked());
        QCOMPARE(dialog.findChild<QListWidget*>("ListBox1")->currentRow(), 1);
    });
    Click(second.f->button("SB_Select"));
}

void SettingsStartupTest::aStartFromAnotherDirectoryResetsTheSelection() {
    TempDir dir, other;
    WriteTestDatabases(dir.path());
    WriteTestDatabases(other.path());
    const auto file = dir / "KARDO.ini";
    WriteBytes(file, {});
    {
        Start first(dir.path(), file);
        first.f->state().selection = {"KARDO_m.usb", 1, 0, ""};
        first.f->state().ProgBits = 0x13;
        first.Close();
    }
    Start elsewhere(other.path(), file);
    const AppState& s = elsewhere.f->state();
    QCOMPARE(s.selection.Filename, std::string("KARDO_e.usb"));
    QCOMPARE(s.selection.Manuf_index, 0);
    QCOMPARE(s.selection.Device_index, 0);
    QCOMPARE(int(s.ProgBits), 0);
    QCOMPARE(s.DefaultDir, other.path());
}

void SettingsStartupTest::aMissingFileGivesBothMessagesAndTheStartValues() {
    TempDir dir;
    WriteTestDatabases(dir.path());
    const auto file = dir / "nowhere" / "KARDO.ini";
    Start start(dir.path(), file);
    QCOMPARE(start.Messages(),
             QStringList({" RootDir Registry Error", " Can't open program serial key."}));
    QCOMPARE(start.f->dialogs.messages[0].icon, Dialogs::Icon::Information);
    QVERIFY(start.f->state().options.Id_flag);
    QCOMPARE(start.f->state().DefaultDir, dir.path());
    start.Close();
    QCOMPARE(start.Messages().last(), QString(" Can't open program serial key."));
    QVERIFY(!std::filesystem::exists(file));
}

void SettingsStartupTest::aValueOfTheWrongTypeEndsTheLoadThere() {
    TempDir dir;
    WriteTestDatabases(dir.path());
    const auto file = dir / "KARDO.ini";
    WriteBytes(file, {});
    {
        Start first(dir.path(), file);
        first.f->state().options.Id_flag = false;
        first.f->state().ProgBits = 0x13;
        first.Close();
    }
    std::string text = FileText(file);
    const auto at = text.find("Test_flag=bool:true");
    QVERIFY(at != std::string::npos);
    text.replace(at, 19, "Test_flag=str:\"yes\"");
    WriteBytes(file, std::vector<uint8_t>(text.begin(), text.end()));
    Start second(dir.path(), file);
    QCOMPARE(second.Messages(), QStringList({"Invalid data type for 'Test_flag'"}));
    QVERIFY(!second.f->state().options.Id_flag);   // read before it
    QCOMPARE(int(second.f->state().ProgBits), 0);  // after it: the start value
}

void SettingsStartupTest::aSaveThatFailsLeavesTheEarlierFile() {
    TempDir dir;
    WriteTestDatabases(dir.path());
    const auto file = dir / "KARDO.ini";
    WriteBytes(file, {});
    {
        Start first(dir.path(), file);
        first.Close();
    }
    const std::string before = FileText(file);
    Start second(dir.path(), file);
    second.f->state().ProgBits = 0x55;
    // A file made read-only is never written, not even by root.
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    second.Close();
    QCOMPARE(FileText(file), before);
    QVERIFY(second.Messages().last().startsWith("Can't write the settings file"));
}

void SettingsStartupTest::theNextSerialNumberSurvivesARestart() {
    TempDir settingsDir;
    const auto file = settingsDir / "KARDO.ini";
    WriteBytes(file, {});
    ShippedBench b("RadioButton2", 0, 2, "AT28C256", file);
    b.f->state().serial = {
        .enabled = true, .digits = 4, .increment = 5, .next = 0x100, .address = 0x10};
    b.f->Operate("SB_Prog");
    QCOMPARE(b.f->state().serial.next, uint64_t{0x105});
    QVERIFY(Holds(file, "SerialNext=str:\"261\""));  // kept at once, not only at the close
    b.f->window().close();
    Start again(b.shipped.path(), file);
    QCOMPARE(again.f->state().serial.next, uint64_t{0x105});
    QVERIFY(again.f->state().serial.enabled);
    QCOMPARE(int(again.f->state().serial.digits), 4);
}

QTEST_MAIN(SettingsStartupTest)
#include "SettingsStartup_test.moc"
