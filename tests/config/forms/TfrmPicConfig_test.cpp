// SPDX-License-Identifier: GPL-3.0-or-later
// The PIC configuration dialog from the Config button on the shipped PICs: a gpasm
// file's configuration shown, a configuration set by clicks programmed into the virtual
// chip and saved by the writer, and the ID boxes as a user types into them.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "config/PicConfigModel.h"
#include "devicedb/DeviceDatabase.h"
#include "fileio/FileLoader.h"
#include "support/RecordingFileHost.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"
#include "support/forms/ShippedBench.h"
#include "support/forms/UserActions.h"

using namespace kardo;
using namespace kardo::test;

namespace {

// Opens Config with the button, lets `user` work in the dialog, finds that Escape does
// not close it, then OK.
void InConfig(ShippedBench& b, std::function<void(QDialog&)> user) {
    b.InDialog("SB_Config", "ID / Configuration", [user](QDialog& dialog) {
        user(dialog);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
    });
}

QRadioButton* Item(QDialog& dialog, const char* group, int index) {
    return Child<QGroupBox>(dialog, group)->findChildren<QRadioButton*>()[index];
}

}  // namespace

class TfrmPicConfigTest : public QObject {
    Q_OBJECT
  private slots:
    void everyShippedPicShowsItsSheets();
    void aGpasmConfigurationShowsAndAClickIsProgrammedAndSaved();
    void idBoxesAsTheUserTypes();
    void aPic18ShowsItsOwnIdBoxesOnItsFirstSheetOnly();
};

void TfrmPicConfigTest::everyShippedPicShowsItsSheets() {
    const auto file = kardo::test::BuiltDataDir() / kMicroDatabase;
    const auto makers = *DeviceDatabase::ListManufacturers(file);
    int pics = 0;
    for (int m = 0; m < static_cast<int>(makers.size()); ++m) {
        const auto names = *DeviceDatabase::ListDevices(file, m);
        for (int row = 0; row < static_cast<int>(names.size()); ++row) {
            const DeviceRecord record = DeviceDatabase::LoadRecord(file, m, row).record;
            if (record.Family() != 'C') {
                continue;
            }
            ++pics;
            const std::string name = names[static_cast<std::size_t>(row)];
            DeviceBuffer scratch(0x100000);
            const PicConfigModel sheets(record, scratch);
            ShippedBench b("RadioButton4", m, row, name.c_str());
            InConfig(b, [&](QDialog& dialog) {
                auto* pages = Child<QTabWidget>(dialog, "PageControl");
                QCOMPARE(pages->count(), static_cast<int>(sheets.pages().size()));
                QVERIFY2(pages->count() > 0, name.c_str());
                QCOMPARE(pages->tabText(0), QString::fromStdString(name));
                for (int i = 1; i < pages->count(); ++i) {
                    QCOMPARE(pages->tabText(i), QString::fromStdString(sheets.pages()[i].caption));
                }
                const bool pic18 = record.Variant() == 18;
                QCOMPARE(Child<QGroupBox>(dialog, "GB_ID")->isVisible(), !pic18);
                QCOMPARE(Child<QGroupBox>(dialog, "GB_18F")->isVisible(), pic18);
                QVERIFY(Child<QLabel>(dialog, pic18 ? "Label26" : "Label14")->isVisible());
            });
        }
    }
    QVERIFY(pics >= 8);
}

void TfrmPicConfigTest::aGpasmConfigurationShowsAndAClickIsProgrammedAndSaved() {
    ShippedBench b("RadioButton4", 1, 3, "PIC16F84A");
    MainWindowFixture& f = *b.f;
    b.Load("pic16f84a-inhx8m.hex");  // __CONFIG _CP_OFF & _PWRTE_ON & _WDT_OFF & _HS_OSC
    QCOMPARE(b.Bytes(0x400E, 2), (std::vector<uint8_t>{0x3F, 0xF2}));
    const QString before = f.label("CheckL");
    InConfig(b, [](QDialog& dialog) {
        QVERIFY(Item(dialog, "RG9_Osc", 2)->isChecked());   // HS
        QVERIFY(Item(dialog, "RG9_Prot", 1)->isChecked());  // Protection off
        auto* wdt = Child<QCheckBox>(dialog, "CB9_Wdt");
        QVERIFY(!wdt->isChecked());
        QVERIFY(!Child<QCheckBox>(dialog, "CB9_Pwt")->isChecked());
        QCOMPARE(Child<QLabel>(dialog, "Label14")->text(), QString("F2"));
        Click(wdt);
        Click(Item(dialog, "RG9_Osc", 1));  // XT
        QCOMPARE(Child<QLabel>(dialog, "Label14")->text(), QString("F5"));
    });
    QCOMPARE(b.Bytes(0x400E, 2), (std::vector<uint8_t>{0x3F, 0xF5}));
    QVERIFY(f.label("CheckL") != before);  // the checksum has the configuration word

    f.state().ProgBits = 0x10;  // the configuration step alone
    f.Operate("SB_Prog");
    QCOMPARE(b.LastOperation(),
             QStringList({" Config Bytes Programmed", " Config Bytes Verified"}));
    QCOMPARE(b.chip().config, b.Bytes(0x400E, 2));

    const TempDir out;
    const auto file = out / "configured.hex";
    f.dialogs.saveFiles.push_back(file);
    f.dialogs.drivers.push_back([](QDialog& dialog) {
        if (dialog.isVisible()) {
            Click(dialog.findChild<QPushButton*>("BitBtn1"));
        }
    });
    Click(f.button("SB_Save"));
    FileSettings settings;
    settings.format = format::Inh8m;
    settings.fill = fill::Zero;
    DeviceBuffer back;
    RecordingFileHost host;
    LoadFile({file, *f.state().record, settings}, back, host);
    QCOMPARE(int(back[0x400E]), 0x3F);
    QCOMPARE(int(back[0x400F]), 0xF5);
}

void TfrmPicConfigTest::idBoxesAsTheUserTypes() {
    ShippedBench b("RadioButton4", 1, 3, "PIC16F84A");
    MainWindowFixture& f = *b.f;
    InConfig(b, [&](QDialog& dialog) {
        auto* id0 = Child<QLineEdit>(dialog, "ID_0");
        id0->selectAll();
        QTest::keyClicks(id0, "1");
        QCOMPARE(int(f.state().buffer[0x4001]), 0x81);
        QTest::keyClicks(id0, "F");
        QCOMPARE(int(f.state().buffer[0x4001]), 0x9F);
        auto* id1 = Child<QLineEdit>(dialog, "ID1");
        const uint8_t kept = f.state().buffer[0x4003];
        id1->selectAll();
        QTest::keyClicks(id1, "G");
        QCOMPARE(int(f.state().buffer[0x4003]), int(kept));
        QCOMPARE(f.dialogs.messages.size(), 1u);
        QCOMPARE(f.dialogs.messages.back().caption, QString("Error : Not a Valid Hex Value"));
        QCOMPARE(f.dialogs.messages.back().text, QString("G"));
        id1->selectAll();
        QTest::keyClick(id1, Qt::Key_Delete);
        QCOMPARE(int(f.state().buffer[0x4003]), 0x80);
    });
}

void TfrmPicConfigTest::aPic18ShowsItsOwnIdBoxesOnItsFirstSheetOnly() {
    ShippedBench b("RadioButton4", 1, 7, "PIC18F452");
    b.Load("pic18f452-inhx32.hex");
    InConfig(b, [&](QDialog& dialog) {
        // CONFIG OSC = HSPLL, OSCS = OFF; BOR = ON, BORV = 42; WDT = OFF, WDTPS = 16
        QVERIFY(Item(dialog, "RG27_Osc", 6)->isChecked());
        QVERIFY(Child<QCheckBox>(dialog, "CB27_Oscen")->isChecked());
        QVERIFY(Item(dialog, "RG27_Bor", 1)->isChecked());
        auto* pages = Child<QTabWidget>(dialog, "PageControl");
        auto* ids = Child<QGroupBox>(dialog, "GB_18F");
        pages->tabBar()->setCurrentIndex(1);
        QVERIFY(!ids->isVisible());
        QVERIFY(Item(dialog, "RG27_Wdt", 4)->isChecked());
        QVERIFY(!Item(dialog, "RG27_Wdt", 4)->isEnabled());  // the watchdog is off
        Click(Child<QCheckBox>(dialog, "CB27_Wdt"));
        QVERIFY(Item(dialog, "RG27_Wdt", 4)->isEnabled());
        pages->tabBar()->setCurrentIndex(0);
        QVERIFY(ids->isVisible());
        auto* id7 = Child<QLineEdit>(dialog, "ID277");
        id7->selectAll();
        QTest::keyClicks(id7, "5A");
    });
    QCOMPARE(int(b.f->state().buffer[0xF0007]), 0x5A);
    QCOMPARE(int(b.f->state().buffer[0xF0012]) & 0x01, 0x01);  // CONFIG2H WDTEN
}

QTEST_MAIN(TfrmPicConfigTest)
#include "TfrmPicConfig_test.moc"
