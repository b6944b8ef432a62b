// SPDX-License-Identifier: GPL-3.0-or-later
// The options dialog from the main window's Options button, clicked as a user does, and
// what its choices do to the operations that follow.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>

#include "devicedb/Checksum.h"
#include "support/forms/ShippedBench.h"
#include "support/forms/UserActions.h"

using namespace kardo;
using namespace kardo::test;

namespace {

QCheckBox* BoxIn(QDialog& dialog, const char* name) {
    auto* box = dialog.findChild<QCheckBox*>(name);
    if (box == nullptr) {
        qFatal("no check box %s", name);
    }
    return box;
}

// Opens the options with the Options button and lets `user` work in the dialog; OK.
void InOptions(ShippedBench& b, std::function<void(QDialog&)> user) {
    b.f->dialogs.drivers.push_back([user](QDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QString("Options"));
        user(dialog);
        Click(dialog.findChild<QPushButton*>("BitBtn3"));
    });
    Click(b.f->button("SB_Option"));
    QVERIFY(b.f->dialogs.drivers.empty());
}

void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

}  // namespace

class TfrmOptionTest : public QObject {
    Q_OBJECT
  private slots:
    void ispLockBitsAreCumulative();
    void aPicsCodeStepIsTickedAtEveryOpening();
    void withoutTheIdCheckOfferedTheIdentityCheckIsSkipped();
    void aFuseStepThatAlwaysGoes();
    void oddAndEvenProgrammingMakesTheImageOfThePair();
    void serialNumbersInARowOfPrograms();
};

void TfrmOptionTest::ispLockBitsAreCumulative() {
    ShippedBench b("RadioButton4", 0, 1, "AT89S52");
    InOptions(b, [&](QDialog& dialog) {
        QVERIFY(dialog.findChild<QGroupBox*>("GroupBox3")->isVisible());
        QCOMPARE(BoxIn(dialog, "ProgStep4")->text(), QString("Lockbit 3"));
        Click(BoxIn(dialog, "ProgStep4"));
        QVERIFY(BoxIn(dialog, "ProgStep2")->isChecked());
        QVERIFY(BoxIn(dialog, "ProgStep3")->isChecked());
        QCOMPARE(b.f->state().ProgBits & 0x0E, 0x0E);
        Click(BoxIn(dialog, "ProgStep2"));
        QVERIFY(!BoxIn(dialog, "ProgStep3")->isChecked());
        QVERIFY(!BoxIn(dialog, "ProgStep4")->isChecked());
    });
    QCOMPARE(b.f->state().ProgBits & 0x0E, 0);
    QVERIFY(b.f->state().ProgBits & 0x01);
}

void TfrmOptionTest::aPicsCodeStepIsTickedAtEveryOpening() {
    ShippedBench b("RadioButton4", 1, 6, "PIC16F877A");
    b.f->state().ProgBits = 0x10;
    InOptions(b, [](QDialog& dialog) {
        QCOMPARE(BoxIn(dialog, "ProgStep1")->text(), QString("Code Area"));
        QVERIFY(BoxIn(dialog, "ProgStep1")->isChecked());
        QVERIFY(!BoxIn(dialog, "ProgStep4")->isEnabled());  // "Calibration": not offered
    });
    QCOMPARE(int(b.f->state().ProgBits), 0x11);
}

void TfrmOptionTest::withoutTheIdCheckOfferedTheIdentityCheckIsSkipped() {
    ShippedBench b("RadioButton4", 0, 2, "ATmega8");
    b.f->state().record->SetU8(field::OptionMask, 0x00);
    QVERIFY(b.f->state().options.Id_flag);
    InOptions(b, [](QDialog& dialog) { QVERIFY(!BoxIn(dialog, "CheckBox3")->isEnabled()); });
    QVERIFY(!b.f->state().options.Id_flag);
    b.link->simulator().programmer().faults.signature = std::array<uint8_t, 3>{0x1E, 0xFF, 0xFF};
    b.link->Clear();
    b.f->Operate("SB_Read");
    QVERIFY(b.f->dialogs.questions.empty());
    QCOMPARE(b.Count("write 49"), 0);
    QCOMPARE(b.LastOperation().first(), QString(" Read Completed"));
}

void TfrmOptionTest::aFuseStepThatAlwaysGoes() {
    ShippedBench b("RadioButton4", 0, 2, "ATmega8");
    b.f->state().record->SetU8(field::Variant, 35);
    b.f->state().record->SetU8(field::ProgStepMask, 0x03);
    b.f->state().ProgBits = 0x01;
    InOptions(b, [](QDialog& dialog) {
        QCheckBox* fuses = BoxIn(dialog, "ProgStep2");
        QCOMPARE(fuses->text(), QString("Fuses"));
        QVERIFY(!fuses->isEnabled());
        QVERIFY(fuses->isChecked());
    });
    QCOMPARE(b.f->state().ProgBits & 0x02, 0x02);
}

void TfrmOptionTest::oddAndEvenProgrammingMakesTheImageOfThePair() {
    ShippedBench b("RadioButton2", 0, 2, "AT28C256");
    DeviceRecord& record = *b.f->state().record;
    record.SetU8(field::Family, 'R');  // an EPROM pair on the 40-pin model
    b.f->state().connection.HardwareModel = 65;
    InOptions(b, [](QDialog& dialog) {
        QCheckBox* oddEven = BoxIn(dialog, "OddEvenBox");
        QCOMPARE(oddEven->text(), QString("Odd && Even programming"));
        QVERIFY(oddEven->isEnabled());
        Click(oddEven);
    });
    const DeviceBuffer& buffer = b.f->state().buffer;
    QVERIFY(b.f->state().options.OddEven);
    QCOMPARE(buffer.BufferSize(), std::size_t{0x10000});
    QVERIFY(
        std::all_of(buffer.data(), buffer.data() + 0x10000, [](uint8_t v) { return v == 0xFF; }));
    QCOMPARE(b.f->label("CheckL"),
             QString::fromStdString(ChecksumText(ComputeChecksum(record, buffer))));
    // Opening again keeps the buffer as it is.
    b.f->state().buffer[5] = 0x12;
    InOptions(b, [](QDialog& dialog) { QVERIFY(BoxIn(dialog, "OddEvenBox")->isChecked()); });
    QCOMPARE(int(b.f->state().buffer[5]), 0x12);
}

void TfrmOptionTest::serialNumbersInARowOfPrograms() {
    ShippedBench b("RadioButton2", 0, 2, "AT28C256");
    MainWindowFixture& f = *b.f;
    InOptions(b, [&](QDialog& dialog) {
        auto* group = dialog.findChild<QGroupBox*>("GroupBox2");
        QVERIFY(group->isVisible());
        QVERIFY(!dialog.findChild<QLineEdit*>("Edit2")->isEnabled());
        Click(BoxIn(dialog, "CheckBox8"));
        auto* digits = dialog.findChild<QComboBox*>("ComboBox1");
        digits->setCurrentIndex(digits->findText("4"));
        QCOMPARE(f.dialogs.messages.back().text, QString("4"));
        QCOMPARE(f.dialogs.messages.back().caption, QString(" "));
        Type(dialog.findChild<QLineEdit*>("Edit2"), "0A9");
        Type(dialog.findChild<QLineEdit*>("Edit3"), "7ff0");
    });
    QCOMPARE(f.state().serial.next, 0xA9u);
    QCOMPARE(f.state().serial.address, 0x7FF0u);
    const auto serialInChip = [&] {
        const auto& memory = b.chip().memory;
        return std::string(memory.begin() + 0x7FF0, memory.begin() + 0x7FF4);
    };
    for (const char* expected : {"00A9", "00AA", "00AB"}) {
        f.Operate("SB_Prog");
        QCOMPARE(b.LastOperation().first(), QString(" Serial Number %1 @ 0x7FF0").arg(expected));
        f.Operate("SB_Read");
        QCOMPARE(serialInChip(), std::string(expected));
    }
    // A program that fails its verify leaves the number for the next chip.
    b.link->simulator().programmer().faults.corruptAddress = 0x10;
    f.Operate("SB_Prog");
    QCOMPARE(int(f.state().errorCount), 1);
    QCOMPARE(f.state().serial.next, 0xACu);
    b.link->simulator().programmer().faults.corruptAddress.reset();
    f.Operate("SB_Prog");
    QCOMPARE(serialInChip(), std::string("00AC"));
    QCOMPARE(f.state().serial.next, 0xADu);

    // A number that does not fit is refused and nothing is programmed.
    f.state().serial.address = 0x7FFE;
    const int writesBefore = static_cast<int>(b.link->Lines().size());
    f.Operate("SB_Prog");
    QCOMPARE(f.log().last(),
             QString(" Serial Number 00AD does not fit the device @ 0x7FFE: nothing programmed"));
    QCOMPARE(static_cast<int>(b.link->Lines().size()), writesBefore);
    QCOMPARE(f.sound.played.back(), Sound::Error);
}

QTEST_MAIN(TfrmOptionTest)
#include "TfrmOption_test.moc"
