// SPDX-License-Identifier: GPL-3.0-or-later
// The main window at start-up and through a device selection, driven as a user would.
#include "app/forms/TfrmMains.h"

#include <QInputDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "app/qt/QtSoundBackend.h"
#include "devicedb/Checksum.h"
#include "link/ChosenLink.h"
#include "link/SimulatedLink.h"
#include "support/DataFiles.h"
#include "support/ScriptedLink.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"
#include "support/forms/MainWindowFixture.h"
#include "support/forms/UserActions.h"

using namespace kardo;
using namespace kardo::test;

namespace {

const QStringList kDemoLines{" ", " **** NO PROGRAMMER FOUND ****",
                             " **** System in Q6KUSB DEMO mode  ****"};

// A programmer stand-in that answers the version query with `firmware` and every
// parameter upload with `uploadReply`.
std::unique_ptr<ScriptedLink> Programmer(uint8_t firmware = 3) {
    auto link = std::make_unique<ScriptedLink>();
    link->replies.push_back(firmware);
    return link;
}

const char* kDeviceButtons[] = {"SB_Load", "SB_Save", "SB_Edit",   "SB_Config", "SB_Blank",
                                "SB_Read", "SB_Prog", "SB_Verify", "SB_Erase",  "SB_Option"};

}  // namespace

class TfrmMainsTest : public QObject {
    Q_OBJECT
  private slots:
    void startsWithItsControlsInOrder();
    void startsInDemonstrationModeWithoutAProgrammer();
    void startsConnectedWithAProgrammer();
    void selectWithoutDatabaseFilesSaysSo();
    void selectionWithoutProgrammerFillsOnlyThePanels();
    void connectedSelectionUploadsFillsAndEnables();
    void sameDeviceKeepsOptionsAndAnotherTakesThemFromItsRecord();
    void unansweredUploadCountsOneError();
    void refusedRecordLeavesTheDeviceAsItWas();
    void browsesTheShippedFiles();
    void worksAgainstTheVirtualProgrammer();
    void reconnectWithTheProgrammerGoneLeavesOnlyTheSafeControls();
    void reconnectOffersTheProgrammersAttachedAndKeepsTheChoice();
    void soundBackendCallsAMissingFileADeviceError();
    void aSoundThatFailsIsLoggedOnceAndTheSwitchKept();
};

void TfrmMainsTest::startsWithItsControlsInOrder() {
    MainWindowFixture f(nullptr);
    QCOMPARE(f.window().windowTitle(), QString("KARDO"));
    const char* names[] = {"SB_Select", "SB_Load", "SB_Save",   "SB_Edit",  "SB_Config", "SB_Blank",
                           "SB_Read",   "SB_Prog", "SB_Verify", "SB_Erase", "SB_Option", "SB_Test"};
    const char* texts[] = {"Select", "Load",    "Save",   "Edit",  "Config",  "Blank",
                           "Read",   "Program", "Verify", "Erase", "Options", "Self Test"};
    int left = -1;
    for (int i = 0; i < 12; ++i) {
        QToolButton* b = f.button(names[i]);
        QVERIFY2(b != nullptr, names[i]);
        QCOMPARE(b->text(), QString(texts[i]));
        QVERIFY2(b->x() > left, names[i]);  // left to right in this order
        left = b->x();
        QCOMPARE(b->height(), 57);
        QCOMPARE(b->width(), i == 11 ? 76 : 66);
        QVERIFY2(b->geometry().right() < f.window().width(), names[i]);
    }
    QVERIFY(f.button("SB_Select")->isEnabled());
    QCOMPARE(f.button("SB_Select")->toolTip(), QString("Select Device"));
    QVERIFY(f.button("SB_Test")->isEnabled());
    QCOMPARE(f.button("SB_Test")->toolTip(), QString("Test KARDO hardware"));
    for (const char* name : kDeviceButtons) {
        QVERIFY2(!f.button(name)->isEnabled(), name);
        QVERIFY2(f.button(name)->toolTip().isEmpty(), name);
    }
    auto* clear = f.window().findChild<QPushButton*>("ClearMessages");
    QCOMPARE(clear->text(), QString("Clear"));
    QCOMPARE(clear->toolTip(), QString("Clear Messages"));
    QCOMPARE(f.window().findChild<QPushButton*>("ReconnectBT")->text(), QString("Reconnect"));
    for (const char* value : {"ManuL", "ManIDL", "DevIDL", "DevIDL2", "DevL", "SizeL", "CheckL",
                              "VccL", "VppL", "AdapL", "FileL", "ComL"}) {
        QVERIFY2(f.label(value).isEmpty(), value);
    }
    // The resize rule, on the client area.
    auto* memo = f.window().findChild<QPlainTextEdit*>("Memo1");
    const int w = f.window().width();
    const int h = f.window().height();
    QCOMPARE(memo->width(), w - 19);
    QCOMPARE(memo->y(), f.button("SB_Select")->y() + 57);
    QCOMPARE(f.window().findChild<QWidget*>("Panel1")->y(), h - 221);
    QCOMPARE(f.window().findChild<QWidget*>("Panel2")->y(), h - 141);
    QCOMPARE(memo->y() + memo->height(), h - 221);
    QCOMPARE(f.window().findChild<QPushButton*>("ReconnectBT")->pos(), QPoint(w - 100, h - 53));
    QCOMPARE(clear->y(), h - 53);
}

void TfrmMainsTest::startsInDemonstrationModeWithoutAProgrammer() {
    auto link = std::make_unique<ScriptedLink>();
    link->opens = false;
    MainWindowFixture f(std::move(link));
    QCOMPARE(f.log(), kDemoLines);
    QCOMPARE(int(f.state().connection.LinkState), 0);
    QCOMPARE(int(f.state().connection.HardwareModel), 24);
    QCOMPARE(f.state().buffer.BufferSize(), std::size_t{0x200000});
    QCOMPARE(int(f.state().DatabaseFlags), 0x0A);
    QVERIFY(f.state().SoundON);
    QVERIFY(f.state().running);
    QVERIFY(f.dialogs.messages.empty());

    Click(f.window().findChild<QPushButton*>("ClearMessages"));
    QVERIFY(f.log().isEmpty());
}

void TfrmMainsTest::startsConnectedWithAProgrammer() {
    auto link = Programmer(3);
    ScriptedLink* probe = link.get();
    MainWindowFixture f(std::move(link));
    QCOMPARE(f.log(),
             QStringList({" ", " Q6K USB ", " Firmware Version: 3", " Software Version: 1.006"}));
    QCOMPARE(int(f.state().connection.LinkState), 1);
    QCOMPARE(int(f.state().connection.HardwareModel), 40);
    QCOMPARE(probe->written, std::vector<uint8_t>{'F'});

    f.window().close();
    QCOMPARE(probe->closed, 1);
}

void TfrmMainsTest::selectWithoutDatabaseFilesSaysSo() {
    TempDir empty;
    MainWindowFixture f(nullptr, empty.path());
    QCOMPARE(int(f.state().DatabaseFlags), 0);
    Click(f.button("SB_Select"));
    QCOMPARE(f.dialogs.messages.size(), std::size_t{1});
    QCOMPARE(f.dialogs.messages[0].text, QString(" No Device Files Found "));
    QCOMPARE(f.dialogs.messages[0].caption, QString());
    QVERIFY(f.dialogs.messages[0].icon == Dialogs::Icon::Error);
    QVERIFY(!f.state().record.has_value());
}

void TfrmMainsTest::selectionWithoutProgrammerFillsOnlyThePanels() {
    MainWindowFixture f(nullptr);
    f.Select("RadioButton2", 0, 1);  // ATMEL AT28C256
    QCOMPARE(f.log(), QStringList({" Selected : ATMEL  AT28C256"}));
    QCOMPARE(f.label("ManuL"), QString("ATMEL"));
    QCOMPARE(f.label("DevL"), QString("AT28C256"));
    QCOMPARE(f.label("ManIDL"), QString("0x1F"));
    QCOMPARE(f.label("DevIDL"), QString("0x08"));
    QCOMPARE(f.label("DevIDL2"), QString());  // third byte for 'M' parts only
    QCOMPARE(f.label("SizeL"), QString("0x8000"));
    QCOMPARE(f.label("VccL"), QString(" 5.00V"));
    QCOMPARE(f.label("VppL"), QString());
    QCOMPARE(f.label("AdapL"), QString("PLCC32 -> DIP32"));
    QCOMPARE(f.label("CheckL"), QString());
    QCOMPARE(f.state().buffer.BufferSize(), std::size_t{0x10000});
    QCOMPARE(int(f.state().buffer[0]), 0);  // not filled without a programmer
    for (const char* name : kDeviceButtons) {
        QVERIFY2(!f.button(name)->isEnabled(), name);
    }
    QVERIFY(f.button("SB_Test")->isEnabled());
    QCOMPARE(f.dialogs.jumperPictures.size(), std::size_t{1});  // model 24 shows the 28C jumper
    QCOMPARE(QString::fromStdString(f.dialogs.jumperPictures[0].filename().string()),
             QString("EE_Jumper.JPG"));

    f.Select("RadioButton4", 1, 0);  // ATMEL ATmega8
    QCOMPARE(f.label("DevIDL2"), QString("0x07"));
    QCOMPARE(f.label("ComL"), QString("E2prom @ 0x02000  size = 512 bytes"));
    QCOMPARE(f.log().last(),
             QString(" ***  Select Programming Options : Code Area / Lockbits in OPTIONS ***"));
    QCOMPARE(f.dialogs.ispHeaders, 1);
    QCOMPARE(f.sound.played, std::vector<Sound>{Sound::Notify});
}

void TfrmMainsTest::connectedSelectionUploadsFillsAndEnables() {
    auto link = Programmer(3);
    ScriptedLink* programmer = link.get();
    MainWindowFixture f(std::move(link));
    programmer->written.clear();
    programmer->Reply("OK");
    f.Select("RadioButton4", 0, 0);  // MICROCHIP PIC16F84A

    QCOMPARE(
        f.log(),
        QStringList({" Selected : MICROCHIP  PIC16F84A",
                     " ***  Select Programming Options : Prog / ID / Data / Config in OPTIONS ***",
                     " Parameters sent OK"}));
    // 'V', size 0x0800, family, variant, data count (63 + 1) * 2, ProgParam, ConfigCode.
    QCOMPARE(programmer->written,
             (std::vector<uint8_t>{'V', 0x08, 0x00, 'C', 2, 0x00, 0x80, 0x21, 0x13}));
    const DeviceBuffer& buffer = f.state().buffer;
    QCOMPARE(buffer.BufferSize(), std::size_t{0x20000});
    QCOMPARE(int(buffer[0]), 0x3F);
    QCOMPARE(int(buffer[1]), 0xFF);
    QCOMPARE(int(buffer[0x1FFFE]), 0x3F);
    QCOMPARE(f.label("CheckL"), QString::fromStdString(ChecksumText(1024u * 0x3FFF + 0x3FFF)));
    QCOMPARE(f.label("ComL"), QString("E2prom @ 0x4200  size = 64 bytes"));
    for (const char* name : kDeviceButtons) {
        QVERIFY2(f.button(name)->isEnabled(), name);  // ButtonMask 0xFF, ButtonMask2 0x05
        QVERIFY2(!f.button(name)->toolTip().isEmpty(), name);
    }
    QVERIFY(!f.button("SB_Test")->isEnabled());
    QVERIFY(f.button("SB_Select")->isEnabled());
    QCOMPARE(int(f.state().ProgBits), 0x17);
    QVERIFY(f.dialogs.jumperPictures.empty());  // firmware 3 is model 40: no jumpers to set

    // An EEPROM record enables exactly its own buttons.
    programmer->Reply("OK");
    f.Select("RadioButton2", 0, 0);  // AT28C16, ButtonMask 0xE7, ButtonMask2 0
    const bool expected[] = {true, true, true, false, false, true, true, true, false, false};
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(f.button(kDeviceButtons[i])->isEnabled(), expected[i]);
    }
    QCOMPARE(int(f.state().buffer[0x7FF]), 0xFF);

    // The PIC18 buffer carries its configuration defaults, and they count in the checksum.
    programmer->Reply("OK");
    f.Select("RadioButton4", 0, 1);  // PIC18F452
    QCOMPARE(f.state().buffer.BufferSize(), std::size_t{0x100000});
    QCOMPARE(int(f.state().buffer[0xF0010]), 0x27);
    QCOMPARE(int(f.state().buffer[0xF001D]), 0x00);
    QCOMPARE(
        f.label("CheckL"),
        QString::fromStdString(ChecksumText(ComputeChecksum(*f.state().record, f.state().buffer))));
    const std::vector<uint8_t> pic18Upload(programmer->written.end() - 9,
                                           programmer->written.end());
    QCOMPARE(pic18Upload, (std::vector<uint8_t>{'V', 0x80, 0x00, 'C', 18, 0x01, 0x00, 0x00, 0x30}));
}

void TfrmMainsTest::sameDeviceKeepsOptionsAndAnotherTakesThemFromItsRecord() {
    auto link = Programmer(3);
    ScriptedLink* programmer = link.get();
    MainWindowFixture f(std::move(link));
    programmer->Reply("OK");
    f.Select("RadioButton2", 0, 1);  // AT28C256, DefaultOptions 0x05
    QCOMPARE(int(f.state().ProgBits), 1);
    QVERIFY(f.state().options.Test_flag);
    QVERIFY(f.state().options.Id_flag);
    QVERIFY(!f.state().options.MaxMin_flag);

    f.state().ProgBits = 0x55;
    f.state().options = OptionFlags{false, false, true};
    programmer->Reply("OK");
    f.Select(nullptr, 0, 1);  // the same device again
    QCOMPARE(int(f.state().ProgBits), 0x55);
    QVERIFY(!f.state().options.Id_flag);
    QVERIFY(f.state().options.MaxMin_flag);

    programmer->Reply("OK");
    f.Select(nullptr, 0, 0);  // AT28C16, DefaultOptions 0
    QCOMPARE(int(f.state().ProgBits), 1);
    QVERIFY(!f.state().options.Test_flag);
    QVERIFY(!f.state().options.Id_flag);
    QVERIFY(!f.state().options.MaxMin_flag);

    // The first device of the other file sits at the same indexes, yet is another device.
    f.state().ProgBits = 0x55;
    programmer->Reply("OK");
    f.Select("RadioButton4", 1, 0);  // ATmega8, DefaultOptions 0x04
    QCOMPARE(int(f.state().ProgBits), 1);
    QVERIFY(f.state().options.Id_flag);
    QVERIFY(!f.state().options.Test_flag);
}

void TfrmMainsTest::unansweredUploadCountsOneError() {
    auto link = Programmer(3);
    MainWindowFixture f(std::move(link));
    f.Select("RadioButton2", 0, 0);  // no reply scripted
    QCOMPARE(int(f.state().errorCount), 1);
    QCOMPARE(f.log(), QStringList({" Selected : ATMEL  AT28C16"}));
    QCOMPARE(int(f.state().buffer[0]), 0xFF);  // the selection completes all the same
    QVERIFY(f.button("SB_Read")->isEnabled());
}

void TfrmMainsTest::refusedRecordLeavesTheDeviceAsItWas() {
    MainWindowFixture f(nullptr);
    f.Select("RadioButton2", 0, 1);
    const QStringList before = f.log();
    // The file is cut short behind the dialog's back: the record no longer comes whole.
    const auto file = f.dir / "KARDO_e.usb";
    auto bytes = ReadBytes(file);
    bytes.resize(bytes.size() - 100);  // X28C64, the last record, loses its tail
    WriteBytes(file, bytes);
    f.Select(nullptr, 1, 0);
    QCOMPARE(f.dialogs.messages.size(), std::size_t{1});
    QCOMPARE(f.dialogs.messages[0].text,
             QString("The record of X28C64 is cut short in KARDO_e.usb"));
    QCOMPARE(f.dialogs.messages[0].caption, QString("Device Database"));
    QCOMPARE(f.log(), before);
    QCOMPARE(QString::fromStdString(f.state().record->Name()), QString("AT28C256"));
}

void TfrmMainsTest::browsesTheShippedFiles() {
    MainWindowFixture f(nullptr, kardo::test::BuiltDataDir());
    QCOMPARE(int(f.state().DatabaseFlags), 0x0A);
    f.Select("RadioButton4", 0, 0);
    QVERIFY(f.state().record.has_value());
    QVERIFY(!f.label("ManuL").isEmpty());
    QVERIFY(f.label("SizeL").startsWith("0x"));
}

void TfrmMainsTest::worksAgainstTheVirtualProgrammer() {
    auto link = std::make_unique<SimulatedLink>();
    SimulatedLink* sim = link.get();
    MainWindowFixture f(std::move(link), {}, [sim](const DeviceRecord& record) {
        sim->programmer().InsertChip(record);
    });
    QCOMPARE(f.log(),
             QStringList({" ", " Q6K USB ", " Firmware Version: 3", " Software Version: 1.006"}));
    f.Select("RadioButton2", 0, 1);  // AT28C256
    QCOMPARE(f.log().last(), QString(" Parameters sent OK"));
    QVERIFY(sim->programmer().HasChip());
    QCOMPARE(sim->programmer().chip().name, std::string("AT28C256"));
    QCOMPARE(sim->programmer().chip().memory.size(), std::size_t{0x8000});
    QCOMPARE(int(sim->programmer().parameters().size), 0x8000);
    QCOMPARE(f.label("CheckL"), QString::fromStdString(ChecksumText(0x8000u * 0xFF)));
    QVERIFY(f.button("SB_Prog")->isEnabled());
    QVERIFY(!f.button("SB_Test")->isEnabled());
}

void TfrmMainsTest::reconnectWithTheProgrammerGoneLeavesOnlyTheSafeControls() {
    auto link = std::make_unique<SimulatedLink>();
    SimulatedLink* sim = link.get();
    MainWindowFixture f(std::move(link));
    f.Select("RadioButton2", 0, 1);
    QVERIFY(f.button("SB_Read")->isEnabled());
    f.state().running = false;

    sim->options().present = false;  // the programmer is unplugged
    Click(f.window().findChild<QPushButton*>("ReconnectBT"));
    QCOMPARE(f.log().mid(f.log().size() - 3),
             QStringList({" ", " **** NO PROGRAMMER FOUND ****",
                          " **** System in Q6KUSB DEMO mode  ****"}));
    QCOMPARE(int(f.state().connection.LinkState), 0);
    QCOMPARE(int(f.state().connection.HardwareModel), 65);
    QVERIFY(f.state().running);
    for (const char* name : kDeviceButtons) {
        QVERIFY2(!f.button(name)->isEnabled(), name);
        QVERIFY2(f.button(name)->toolTip().isEmpty(), name);
    }
    QVERIFY(f.button("SB_Select")->isEnabled());
    QVERIFY(f.button("SB_Test")->isEnabled());
    QCOMPARE(f.button("SB_Test")->toolTip(), QString("Test KARDO hardware"));
    QVERIFY(f.window().findChild<QPushButton*>("ClearMessages")->isEnabled());
    QVERIFY(f.window().findChild<QPushButton*>("ReconnectBT")->isEnabled());

    // Selecting now is browsing only: nothing is sent to a programmer that is not there.
    f.Select(nullptr, 0, 0);
    QVERIFY(!f.button("SB_Read")->isEnabled());
}

void TfrmMainsTest::reconnectOffersTheProgrammersAttachedAndKeepsTheChoice() {
    LinkEnvironment environment;
    environment.link = "sim";
    environment.simProgrammers = "3";
    auto link = std::make_unique<ChosenLink>(environment, "SIM2");  // as the setting says
    ChosenLink* programmers = link.get();
    MainWindowFixture f(std::move(link), {}, {}, {}, programmers);
    QVERIFY(f.log().contains(" Programmer: SIM2"));

    QStringList offered;
    f.dialogs.drivers.push_back([&offered](QDialog& dialog) {
        auto& choice = dynamic_cast<QInputDialog&>(dialog);
        offered = choice.comboBoxItems();
        choice.setTextValue("SIM3");
        choice.accept();
    });
    Click(f.window().findChild<QPushButton*>("ReconnectBT"));
    QCOMPARE(offered, QStringList({"SIM1", "SIM2", "SIM3"}));
    QCOMPARE(f.log().mid(f.log().size() - 2),
             QStringList({" Software Version: 1.006", " Programmer: SIM3"}));
    QCOMPARE(int(f.state().connection.LinkState), 1);
    QVERIFY(f.settings->OpenKey());
    QCOMPARE(f.settings->ReadString("Programmer").value, std::string("SIM3"));
    f.settings->CloseKey();

    // Cancelled: no reconnect at all.
    const int lines = f.log().size();
    Click(f.window().findChild<QPushButton*>("ReconnectBT"));
    QCOMPARE(f.log().size(), lines);
}

void TfrmMainsTest::soundBackendCallsAMissingFileADeviceError() {
    QtSoundBackend backend;
    QVERIFY(!backend.Play(Sound::Chimes, "/nonexistent/chimes.wav"));
}

// A sound device that fails is said once, and the user's switch is saved as it was: the
// next start, perhaps with a sound server, plays again.
void TfrmMainsTest::aSoundThatFailsIsLoggedOnceAndTheSwitchKept() {
    const QString line = " Sound could not be played: no more sounds until the next start";
    MainWindowFixture late(nullptr);
    QVERIFY(late.sound.lateFailure);
    late.sound.lateFailure();  // the backend found out once the file had loaded
    late.sound.lateFailure();
    QCOMPARE(late.log().count(line), 1);
    QVERIFY(late.state().SoundON);

    TempDir settingsDir;
    const auto settingsFile = settingsDir / "KARDO.ini";
    WriteBytes(settingsFile, {});
    MainWindowFixture f(std::make_unique<SimulatedLink>(), {}, {}, settingsFile);
    f.sound.works = false;
    f.Select("RadioButton4", 0, 0);  // a PIC: the reminder sound after the selection
    QCOMPARE(f.log().count(line), 1);
    QCOMPARE(f.sound.asked, 1);
    f.Select("RadioButton4", 0, 0);
    QCOMPARE(f.sound.asked, 1);  // silent for the rest of the run, and said only once
    QVERIFY(f.state().SoundON);
    f.window().close();
    const auto saved = ReadBytes(settingsFile);
    QVERIFY(std::string(saved.begin(), saved.end()).find("SoundON=bool:true") != std::string::npos);
}

QTEST_MAIN(TfrmMainsTest)
#include "TfrmMains_test.moc"
