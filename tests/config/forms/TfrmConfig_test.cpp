// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration dialog from the main window's Config button on the shipped parts,
// clicked as a user does, and the fuse bytes the programming that follows writes into
// the virtual chip; and the dialog's own widgets on sheets no shipped part has.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <bit>

#include "config/ConfigSheetModel.h"
#include "config/FactoryFuses.h"
#include "config/forms/TfrmConfig.h"
#include "devicedb/DeviceDatabase.h"
#include "support/Records.h"
#include "support/TestPaths.h"
#include "support/forms/ShippedBench.h"
#include "support/forms/UserActions.h"

using namespace kardo;
using namespace kardo::test;

namespace {

// Opens Config with the button and lets `user` work in the dialog; then OK.
void InConfig(ShippedBench& b, std::function<void(QDialog&)> user) {
    b.InDialog("SB_Config", "ID / Configuration", std::move(user));
}

// The EESAVE box of a sheet, found by its caption.
QCheckBox* EesaveBox(QDialog& dialog) {
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
        if (box->text() == "EESAVE") {
            return box;
        }
    }
    qFatal("no EESAVE box");
}

// The display of the high fuse, whichever the sheet has.
QLabel* HighFuseDisplay(QDialog& dialog) {
    for (const char* name : {"Label14", "Edit2", "FH_Value"}) {
        if (auto* label = dialog.findChild<QLabel*>(name)) {
            return label;
        }
    }
    qFatal("no high-fuse display");
}

// A part with one fuse byte (sheet 202): the fuse step sends its two fuses and its two
// lock bits, every other bit as 1, and no high or extended fuse.
void SingleFuseBytePartProgramsWhatItsSheetShows(int row, const DeviceRecord& record) {
    const std::string name = record.Name();
    ShippedBench b("RadioButton4", 0, row, name.c_str());
    const FuseBytes factory = *FactoryFuses(record);
    const bool rc = (factory.FuseLow & 0x01) == 0;  // RCEN programmed: the AT90S2343
    InConfig(b, [&](QDialog& dialog) {
        QCOMPARE(Child<QTabWidget>(dialog, "PageControl")->tabText(0),
                 QString::fromStdString(name));
        auto* clock = Child<QCheckBox>(dialog, "CB202_Fstrt");
        QCOMPARE(clock->text(), QString(rc ? "RCEN" : "FSTRT"));
        QCOMPARE(clock->isChecked(), rc);
        QVERIFY(Child<QCheckBox>(dialog, "CB202_Spien")->isChecked());
        Click(clock);
        for (QRadioButton* item :
             Child<QGroupBox>(dialog, "RG202")->findChildren<QRadioButton*>()) {
            if (item->text() == "LB1 on") {
                Click(item);
            }
        }
    });
    const ConfigBits chosen = b.f->state().configBits;
    QCOMPARE(int(chosen.FuseLow), factory.FuseLow ^ 0x01);
    QCOMPARE(int(chosen.LockBits), 0x04);
    b.chip().fuseHigh = 0x5A;  // no frame may reach it
    b.f->state().ProgBits = 0x01;
    b.f->Operate("SB_Prog");
    QCOMPARE(b.LastOperation().last(), QString(" Lockbits Programmed"));
    QCOMPARE(int(b.chip().fuseLow), (chosen.FuseLow & 0x21) | 0xDE);
    QCOMPARE(int(b.chip().fuseHigh), 0x5A);
    QCOMPARE(int(b.chip().lockBits), 0xFD);  // LB1 programmed, LB2 not
}

}  // namespace

class TfrmConfigTest : public QObject {
    Q_OBJECT
  private slots:
    void everyShippedPartWithFusesProgramsWhatItsSheetShows();
    void anAvrProgrammedWithoutOpeningConfigKeepsItsResetPinAndIsNotLocked();
    void theChecksumIsShownAgainAfterTheDialog();
    void itemGroupsCalibrationAndTheOnlyWayOut();
    void aSheetWithoutItsTab();
};

void TfrmConfigTest::everyShippedPartWithFusesProgramsWhatItsSheetShows() {
    const auto file = kardo::test::BuiltDataDir() / kMicroDatabase;
    const auto names = *DeviceDatabase::ListDevices(file, 0);
    int parts = 0;
    for (int row = 0; row < static_cast<int>(names.size()); ++row) {
        const DeviceRecord record = DeviceDatabase::LoadRecord(file, 0, row).record;
        if (record.Family() != 'M' || !(record.ButtonMask() & 0x08)) {
            continue;
        }
        ++parts;
        const std::string name = names[static_cast<std::size_t>(row)];
        if (record.Variant() == 30) {
            SingleFuseBytePartProgramsWhatItsSheetShows(row, record);
            continue;
        }
        ShippedBench b("RadioButton4", 0, row, name.c_str());
        const FuseBytes factory = *FactoryFuses(record);
        bool showsExtended = false;
        InConfig(b, [&](QDialog& dialog) {
            showsExtended = dialog.findChild<QLabel*>("Label15") != nullptr ||
                            dialog.findChild<QLabel*>("FE_Value") != nullptr;
            auto* pages = Child<QTabWidget>(dialog, "PageControl");
            QCOMPARE(pages->tabText(0), QString::fromStdString(name));
            QVERIFY(pages->tabBar()->isVisible());
            // The boxes of one group share its frame: no group is made twice.
            QSet<QString> groups;
            for (const QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
                QVERIFY2(!groups.contains(group->objectName()), qPrintable(group->objectName()));
                groups.insert(group->objectName());
            }
            QCheckBox* eesave = EesaveBox(dialog);
            QVERIFY(eesave->isVisible());
            QVERIFY(!eesave->isChecked());  // factory: EEPROM erased with the chip
            Click(eesave);
            QVERIFY(eesave->isChecked());
            const QString shown = HighFuseDisplay(dialog)->text();
            QVERIFY2(shown.endsWith(QString("%1")
                                        .arg(b.f->state().configBits.FuseHigh, 2, 16, QChar('0'))
                                        .toUpper()),
                     qPrintable(shown));
        });
        // The one click changed one bit, in whichever byte the part keeps EESAVE.
        const ConfigBits chosen = b.f->state().configBits;
        const unsigned changed = unsigned(chosen.FuseLow ^ factory.FuseLow) |
                                 unsigned(chosen.FuseHigh ^ factory.FuseHigh) << 8 |
                                 unsigned(chosen.FuseExt ^ factory.FuseExt) << 16 |
                                 unsigned(chosen.LockBits ^ factory.LockBits) << 24;
        QVERIFY2(std::popcount(changed) == 1, name.c_str());

        b.chip().fuseExt = 0x00;  // so that a frame's value shows, 0xFF included
        b.f->state().ProgBits = 0x01;
        b.f->Operate("SB_Prog");
        QCOMPARE(b.LastOperation().last(), QString(" Lockbits Programmed"));
        // The frames the virtual programmer received, byte for byte; the extended fuse
        // goes exactly to the parts whose sheet shows one.
        QCOMPARE(b.LastOperation().contains(" Extended Fusebits Programmed"), showsExtended);
        QCOMPARE(int(b.chip().fuseLow), int(chosen.FuseLow));
        QCOMPARE(int(b.chip().fuseHigh), int(chosen.FuseHigh));
        QCOMPARE(int(b.chip().fuseExt), showsExtended ? int(chosen.FuseExt) : 0x00);
        QCOMPARE(int(b.chip().lockBits), int(chosen.LockBits));
    }
    QVERIFY(parts >= 60);  // every shipped AVR; the two AT89S have no fuses
}

void TfrmConfigTest::anAvrProgrammedWithoutOpeningConfigKeepsItsResetPinAndIsNotLocked() {
    // Another part's choice first: on the ATtiny2313 a programmed bit 0 of the high fuse
    // disables the reset pin.
    ShippedBench b("RadioButton4", 0, 2, "ATmega8");
    InConfig(b, [](QDialog& dialog) { Click(Child<QCheckBox>(dialog, "CB204_Bootrst")); });
    QCOMPARE(b.f->state().configBits.FuseHigh & 0x01, 0);
    b.f->Select("RadioButton4", 0, 10);
    QCOMPARE(QString::fromStdString(b.f->state().record->Name()), QString("ATtiny2313"));
    b.chip().fuseHigh = 0x00;  // so that the frame's value shows
    b.f->state().ProgBits = 0x01;
    b.f->Operate("SB_Prog");
    QCOMPARE(int(b.chip().fuseLow), 0x64);
    QCOMPARE(int(b.chip().fuseHigh), 0xDF);
    QVERIFY(b.chip().fuseHigh & 0x01);  // RSTDISBL unprogrammed
    QCOMPARE(int(b.chip().lockBits), 0xFF);
}

void TfrmConfigTest::theChecksumIsShownAgainAfterTheDialog() {
    ShippedBench b("RadioButton4", 0, 2, "ATmega8");
    const QString before = b.f->label("CheckL");
    b.f->state().buffer.data()[0] = 0x12;
    InConfig(b, [](QDialog&) {});
    QVERIFY(b.f->label("CheckL") != before);
}

void TfrmConfigTest::itemGroupsCalibrationAndTheOnlyWayOut() {
    ShippedBench b("RadioButton4", 0, 2, "ATmega8");
    ConfigBits& bits = b.f->state().configBits;
    bits.CalSlots = {0xA0, 0xA1, 0xA2, 0xA3};
    bits.CalProgram = true;
    bits.CalIndex = 3;
    bits.CalOffset = 0x1FFE;
    InConfig(b, [&](QDialog& dialog) {
        auto* pages = Child<QTabWidget>(dialog, "PageControl");
        QCOMPARE(pages->tabText(1), QString("Page 2"));
        pages->tabBar()->setCurrentIndex(1);
        auto* memoryLock = Child<QGroupBox>(dialog, "RG204A_LB");
        const auto buttons = memoryLock->findChildren<QRadioButton*>();
        QVERIFY(buttons[2]->isChecked());  // factory: "Lock Bits off"
        Click(buttons[1]);                 // "LB1 on"; the mask also clears bits 7..6
        QCOMPARE(int(bits.LockBits), 0x3E);

        // Nothing programs a calibration byte: the group shows what is stored, takes no
        // click, and each of its controls says why.
        QVERIFY(!Child<QGroupBox>(dialog, "GB204A_CF")->isEnabled());
        auto* program = Child<QCheckBox>(dialog, "CB204A_Prog");
        auto* slot2 = Child<QRadioButton>(dialog, "RadioButton7");
        auto* offset = Child<QLineEdit>(dialog, "Edit204A");
        QVERIFY(program->isChecked() && slot2->isChecked());
        QCOMPARE(offset->text(), QString("1FFE"));
        for (QWidget* control : {static_cast<QWidget*>(program), static_cast<QWidget*>(slot2),
                                 static_cast<QWidget*>(offset)}) {
            QVERIFY(!control->isEnabled());
            QVERIFY(control->toolTip().contains("Not programmed"));
        }
        Click(program);
        Click(Child<QRadioButton>(dialog, "RadioButton5"));
        QTest::keyClicks(offset, "0");
        QVERIFY(bits.CalProgram);
        QCOMPARE(int(bits.CalIndex), 3);
        QCOMPARE(bits.CalOffset, 0x1FFEu);

        // No cancel: Escape leaves the dialog open, and every change is already made.
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
    });

    b.f->Select("RadioButton4", 0, 6);  // ATmega168: the lock bits are combo boxes
    InConfig(b, [&](QDialog& dialog) {
        auto* memoryLock = Child<QComboBox>(dialog, "CB205_MlbBox");
        QCOMPARE(memoryLock->currentIndex(), 2);
        memoryLock->setFocus();
        QTest::keyClick(memoryLock, Qt::Key_Up);
        QCOMPARE(memoryLock->currentIndex(), 1);
        QCOMPARE(int(bits.LockBits), 0xFE);
        QCOMPARE(Child<QLabel>(dialog, "Label15")->text(), QString("F9"));
    });
}

void TfrmConfigTest::aSheetWithoutItsTab() {
    auto record = MakeRecord('M', 0x1FFF, 0, "AT89S8253");
    record.SetU8(field::ConfigCode, 208);
    record.SetU8(field::DeviceId, 0xE0);
    ConfigBits bits;
    ConfigSheetModel model(record, bits);
    model.Open();
    TfrmConfig form(model, nullptr);
    form.show();
    QVERIFY(!Child<QTabWidget>(form, "PageControl")->tabBar()->isVisible());
    QVERIFY(Child<QWidget>(form, "Page208")->isVisible());
    auto* value = Child<QLabel>(form, "Label5");
    QCOMPARE(value->text(), QString("0xFF"));
    Click(Child<QCheckBox>(form, "P208Lock"));
    QCOMPARE(value->text(), QString("0xFE"));
    auto* osc = Child<QCheckBox>(form, "P208Osc");
    QVERIFY(osc->isVisible() && osc->isChecked());
    Click(osc);
    QCOMPARE(osc->text(), QString("Osc Half Gain"));
    QCOMPARE(value->text(), QString("0x7E"));
    QCOMPARE(Child<QCheckBox>(form, "P208S01in")->text(), QString("Encryption"));
}

QTEST_MAIN(TfrmConfigTest)
#include "TfrmConfig_test.moc"
