// SPDX-License-Identifier: GPL-3.0-or-later
// PIC and ISP parts from the real main window against the virtual programmer, with the
// shipped database and files made by gpasm and avr-gcc: load, program, read back, and the
// chip identity question as the user answers it.
#include <QPushButton>
#include <QTest>

#include "algorithms/forms/TProgressForm.h"
#include "support/forms/ShippedBench.h"
#include "support/forms/UserActions.h"

using namespace kardo;
using namespace kardo::test;

class FamilyOperationsTest : public QObject {
    Q_OBJECT
  private slots:
    void aPicWithDataEepromIsProgrammedFromItsGpasmFileAndReadBack();
    void anAtmega8IsErasedProgrammedAndVerifiedFromItsAvrGccFile();
    void anAvrWithAnExtendedFuseGetsItsFusesAfterTheVerify();
    void anIspProgramSaysTheDataEepromIsNotProgrammed();
    void anAt89s52GetsItsLockBitsAndAReadShowsThem();
    void theIdentityQuestionAsTheUserAnswersIt();
    void abortWhileTheIdentityQuestionIsUpEndsTheOperation();
};

void FamilyOperationsTest::aPicWithDataEepromIsProgrammedFromItsGpasmFileAndReadBack() {
    ShippedBench b("RadioButton4", 1, 3, "PIC16F84A");
    MainWindowFixture& f = *b.f;
    b.Load("pic16f84a-inhx8m.hex");
    // Code 0x800 bytes, ID bytes at 0x4000, the configuration word at 0x400E, the data
    // EEPROM (64 bytes, a word each) at 0x4200.
    const auto code = b.Bytes(0, 0x800), id = b.Bytes(0x4000, 8), config = b.Bytes(0x400E, 2),
               data = b.Bytes(0x4200, 128);
    QVERIFY(data != std::vector<uint8_t>(128, 0xFF));
    const QString loadedChecksum = f.label("CheckL");

    f.state().ProgBits = 0x17;
    f.Operate("SB_Prog");
    QCOMPARE(b.LastOperation(),
             QStringList({" Code Area Programmed", " Code Area Verified", " Data Area Programmed",
                          " Data Area Verified", " ID Bytes Programmed", " ID Bytes Verified",
                          " Config Bytes Programmed", " Config Bytes Verified"}));
    QCOMPARE(b.chip().memory, code);
    QCOMPARE(b.chip().data, data);
    QCOMPARE(b.chip().config, config);
    QCOMPARE(f.sound.played.back(), Sound::Chimes);

    std::fill(f.state().buffer.data(), f.state().buffer.data() + 0x4400, 0x00);
    f.Operate("SB_Read");
    QCOMPARE(b.LastOperation(), QStringList({" Code Area Read", " Data Area Read", " ID Bytes Read",
                                             " Config Bytes Read"}));
    QCOMPARE(b.Bytes(0, 0x800), code);
    QCOMPARE(b.Bytes(0x4000, 8), id);
    QCOMPARE(b.Bytes(0x400E, 2), config);
    QCOMPARE(b.Bytes(0x4200, 128), data);
    QCOMPARE(f.label("CheckL"), loadedChecksum);
}

void FamilyOperationsTest::anAtmega8IsErasedProgrammedAndVerifiedFromItsAvrGccFile() {
    ShippedBench b("RadioButton4", 0, 2, "ATmega8");
    MainWindowFixture& f = *b.f;
    b.Load("atmega8-ihex.hex");
    const auto code = b.Bytes(0, 0x2000);
    QVERIFY(code != std::vector<uint8_t>(0x2000, 0xFF));
    std::fill(b.chip().memory.begin(), b.chip().memory.end(), 0x00);  // an old program
    f.state().configBits = {.FuseLow = 0xE1, .FuseHigh = 0xD9, .FuseExt = 0, .LockBits = 0xFF};

    f.state().ProgBits = 0x41;
    f.Operate("SB_Prog");
    QCOMPARE(b.LastOperation(), QStringList({" Erase Completed ", " Code Area Clean", " Programmed",
                                             " Verifying @ Vdd = 5.0V ", " Code Area Verified OK",
                                             " Fusebits Programmed", " High Fusebits Programmed",
                                             " Lockbits Programmed"}));
    QCOMPARE(b.chip().memory, code);
    QCOMPARE(int(b.chip().fuseLow), 0xE1);
    QCOMPARE(int(f.state().errorCount), 0);
    QVERIFY(f.button("SB_Prog")->isEnabled());
}

void FamilyOperationsTest::anAvrWithAnExtendedFuseGetsItsFusesAfterTheVerify() {
    ShippedBench b("RadioButton4", 0, 6, "ATmega168");  // Variant 32, ConfigCode 0xCD
    MainWindowFixture& f = *b.f;
    f.state().ProgBits = 0x01;
    f.state().configBits = {.FuseLow = 0x62, .FuseHigh = 0xDF, .FuseExt = 0xF9, .LockBits = 0xFF};
    f.Operate("SB_Prog");
    QCOMPARE(
        b.LastOperation().mid(2),
        QStringList({" Code Area Verified OK", " Fusebits Programmed", " High Fusebits Programmed",
                     " Extended Fusebits Programmed", " Lockbits Programmed"}));
    QCOMPARE(int(b.chip().fuseExt), 0xF9);
}

// The buffer's data EEPROM (after the code of the ATmega168) holds a byte no step writes.
void FamilyOperationsTest::anIspProgramSaysTheDataEepromIsNotProgrammed() {
    ShippedBench b("RadioButton4", 0, 6, "ATmega168");
    MainWindowFixture& f = *b.f;
    f.state().ProgBits = 0x01;
    f.state().buffer[0x4000 + 5] = 0x12;
    f.Operate("SB_Prog");
    QCOMPARE(b.LastOperation().at(0),
             QString(" Not programmed: data EEPROM bytes 0x4005 to 0x4005"));
    QVERIFY(b.LastOperation().contains(" Code Area Verified OK"));
}

void FamilyOperationsTest::anAt89s52GetsItsLockBitsAndAReadShowsThem() {
    ShippedBench b("RadioButton4", 0, 1, "AT89S52");
    MainWindowFixture& f = *b.f;
    b.Load("mcs51.ihx");
    f.state().ProgBits = 0x4F;
    f.Operate("SB_Prog");
    QCOMPARE(
        b.LastOperation().mid(5),
        QStringList({" Lockbit 1 Programmed", " Lockbit 2 Programmed", " Lockbit 3 Programmed"}));
    f.Operate("SB_Read");
    QCOMPARE(b.LastOperation(), QStringList({" Read Completed", " LockBit 1 = P", " LockBit 2 = P",
                                             " LockBit 3 = P"}));
}

void FamilyOperationsTest::theIdentityQuestionAsTheUserAnswersIt() {
    ShippedBench b("RadioButton4", 0, 2, "ATmega8");
    MainWindowFixture& f = *b.f;
    b.link->simulator().programmer().faults.signature = std::array<uint8_t, 3>{0x1E, 0x95, 0x0F};
    QVERIFY(f.state().options.Id_flag);  // the part's default options

    f.dialogs.answers = {Dialogs::Answer::Ignore};
    b.link->Clear();
    f.Operate("SB_Read");
    QCOMPARE(f.dialogs.questions.size(), std::size_t{1});
    const auto& asked = f.dialogs.questions[0];
    QCOMPARE(asked.text, QString("ID: 30=0x1E 31=0x95 32=0xF "));
    QCOMPARE(asked.caption, QString("CHIP_ID Error"));
    QCOMPARE(asked.icon, Dialogs::Icon::Error);
    QVERIFY(!asked.owned);
    QCOMPARE(b.LastOperation().first(), QString(" Read Completed"));

    f.dialogs.questions.clear();
    f.dialogs.answers = {Dialogs::Answer::Retry, Dialogs::Answer::Retry, Dialogs::Answer::Ignore};
    b.link->Clear();
    f.Operate("SB_Read");
    QCOMPARE(f.dialogs.questions.size(), std::size_t{3});
    QCOMPARE(b.Count("write 49"), 3);
    const auto lines = b.link->Lines();
    // Each query: the purge, 'M', 'I', the three bytes.
    QCOMPARE(lines[1], std::string("purge 3"));
    QCOMPARE(lines[2], std::string("write 4D"));
    QCOMPARE(lines[3], std::string("write 49"));
    QCOMPARE(lines[4], std::string("read 3: 1E 95 0F"));
    QCOMPARE(lines[5], std::string("purge 3"));

    f.dialogs.questions.clear();
    f.dialogs.answers = {Dialogs::Answer::Abort};
    b.link->Clear();
    f.Operate("SB_Read");
    QCOMPARE(int(f.state().errorCount), 1);
    QVERIFY(b.LastOperation().isEmpty());
    QCOMPARE(b.Count("write 70"), 0);
    QCOMPARE(f.sound.played.back(), Sound::Error);
    QVERIFY(f.button("SB_Read")->isEnabled());

    f.state().options.Id_flag = false;
    f.dialogs.questions.clear();
    b.link->Clear();
    f.Operate("SB_Read");
    QVERIFY(f.dialogs.questions.empty());
    QCOMPARE(b.Count("write 49"), 0);
    QCOMPARE(b.LastOperation().first(), QString(" Read Completed"));
}

void FamilyOperationsTest::abortWhileTheIdentityQuestionIsUpEndsTheOperation() {
    ShippedBench b("RadioButton4", 0, 2, "ATmega8");
    MainWindowFixture& f = *b.f;
    b.link->simulator().programmer().faults.signature = std::array<uint8_t, 3>{0, 0, 0};
    // The user presses Abort in the progress window and then answers Retry: the worker,
    // asking again, finds the operation aborted and asks nothing more.
    f.dialogs.whileAsked = [&] {
        if (auto* progress = f.window().findChild<TProgressForm*>()) {
            Click(progress->findChild<QAbstractButton*>("BitBtn1"));
        }
    };
    f.dialogs.answers = {Dialogs::Answer::Retry, Dialogs::Answer::Retry};
    f.Operate("SB_Read");
    QCOMPARE(f.dialogs.questions.size(), std::size_t{1});
    QCOMPARE(b.Count("write 70"), 0);
    QVERIFY(f.log().contains(" Process Aborted"));
    QVERIFY(f.button("SB_Read")->isEnabled());
}

QTEST_MAIN(FamilyOperationsTest)
#include "FamilyOperations_test.moc"
