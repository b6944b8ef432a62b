// SPDX-License-Identifier: GPL-3.0-or-later
// The format dialog as a user meets it: what it offers for each family and mode, what
// each choice writes into the shared settings, and cancelling.
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "fileio/forms/TfrmFileFormat.h"
#include "support/Records.h"
#include "support/forms/UserActions.h"

using namespace kardo;
using namespace kardo::test;

class TfrmFileFormatTest : public QObject {
    Q_OBJECT
  private slots:
    void allFilesOpensWithBinaryAndTheDefaultFill();
    void aPicOffersOnlyItsFormatsAndNoOffset();
    void theOffsetIsTypedInHexAndKeepsItsDirection();
    void escCancels();
    void saveModeShowsTheRange();
};

namespace {

struct Shown {
    std::unique_ptr<TfrmFileFormat> form;
    explicit Shown(TfrmFileFormat::Mode mode, FileSettings& settings, const DeviceRecord& record) {
        form = std::make_unique<TfrmFileFormat>(mode, settings, record, false, nullptr);
        form->show();
    }
    QRadioButton* radio(const char* name) const { return form->findChild<QRadioButton*>(name); }
    QGroupBox* group(const char* name) const { return form->findChild<QGroupBox*>(name); }
    QLineEdit* edit(const char* name) const { return form->findChild<QLineEdit*>(name); }
    void Ok() { Click(form->findChild<QPushButton*>("BitBtn1")); }
};

}  // namespace

void TfrmFileFormatTest::allFilesOpensWithBinaryAndTheDefaultFill() {
    FileSettings settings;
    settings.format = format::Inh8m;  // "All Files" in the load dialog
    settings.fill = fill::Zero;
    Shown d(TfrmFileFormat::Mode::Load, settings, MakeRecord('E', 0x7FFF));
    QCOMPARE(d.form->windowTitle(), QString("Select File Format"));
    QVERIFY(d.radio("RB_Binary")->isChecked());
    QCOMPARE(int(settings.format), int(format::Binary));
    QVERIFY(d.radio("RB_Default")->isChecked());
    QCOMPARE(int(settings.fill), int(fill::DeviceDefault));
    QVERIFY(!d.radio("RB_Inh8m")->isEnabled() && !d.radio("RB_Inx16")->isEnabled());
    QVERIFY(d.radio("RB_Sub")->isChecked());  // the direction at program start
    QVERIFY(d.group("GroupBox3")->isVisible() && !d.group("GroupBox4")->isVisible());
    QCOMPARE(d.group("GroupBox1")->title(), QString(" Buffer Fill Option "));
    QCOMPARE(d.group("GroupBox2")->title(), QString(" File Format  "));

    Click(d.radio("RB_Motorola"));
    Click(d.radio("RB_FF"));
    QCOMPARE(int(settings.format), int(format::Motorola));
    QCOMPARE(int(settings.fill), int(fill::FF));
    Click(d.radio("RB_No"));
    QCOMPARE(int(settings.fill), int(fill::Disable));
}

void TfrmFileFormatTest::aPicOffersOnlyItsFormatsAndNoOffset() {
    FileSettings settings;
    settings.format = format::Inh8m;
    Shown d(TfrmFileFormat::Mode::Load, settings, MakeRecord('C', 0x7FF, 2));
    for (const char* name : {"RB_Intelhex", "RB_Motorola", "RB_Binary"}) {
        QVERIFY2(!d.radio(name)->isEnabled(), name);
    }
    QVERIFY(d.radio("RB_Inh8m")->isChecked());
    QVERIFY(!d.group("GroupBox3")->isVisible());
    QVERIFY(d.group("GroupBox1")->isVisible());
    Click(d.radio("RB_Inx16"));
    d.Ok();
    QCOMPARE(int(settings.format), int(format::Inx16));
    QCOMPARE(d.form->result(), int(QDialog::Accepted));
}

void TfrmFileFormatTest::theOffsetIsTypedInHexAndKeepsItsDirection() {
    FileSettings settings;
    {
        Shown d(TfrmFileFormat::Mode::Load, settings, MakeRecord('E', 0x7FFF));
        QCOMPARE(d.edit("Edit1")->text(), QString("0"));
        d.edit("Edit1")->clear();
        QTest::keyClicks(d.edit("Edit1"), "1G000");  // a letter that is no digit cannot be typed
        QCOMPARE(d.edit("Edit1")->text(), QString("1000"));
        d.Ok();
        QCOMPARE(settings.offset, int64_t{-0x1000});
    }
    {
        Shown d(TfrmFileFormat::Mode::Load, settings, MakeRecord('E', 0x7FFF));
        QCOMPARE(d.edit("Edit1")->text(), QString("1000"));
        Click(d.radio("RB_Add"));
        d.edit("Edit1")->setText("ffffffff");
        d.Ok();
        QCOMPARE(settings.offset, int64_t{0xFFFFFFFF});  // no 32-bit wrap to -1
    }
    Shown again(TfrmFileFormat::Mode::Load, settings, MakeRecord('E', 0x7FFF));
    QVERIFY(again.radio("RB_Add")->isChecked());
}

void TfrmFileFormatTest::escCancels() {
    FileSettings settings;
    Shown d(TfrmFileFormat::Mode::Load, settings, MakeRecord('E', 0x7FFF));
    QTest::keyClick(d.form.get(), Qt::Key_Escape);
    QCOMPARE(int(settings.format), int(format::Cancelled));
    QVERIFY(!d.form->isVisible());
    Shown c(TfrmFileFormat::Mode::Save, settings, MakeRecord('E', 0x7FFF));
    Click(c.form->findChild<QPushButton*>("BitBtn2"));
    QCOMPARE(int(settings.format), int(format::Cancelled));
}

void TfrmFileFormatTest::saveModeShowsTheRange() {
    FileSettings settings;
    settings.format = format::IntelHex;
    Shown d(TfrmFileFormat::Mode::Save, settings, MakeRecord('E', 0x7FFF));
    QVERIFY(!d.group("GroupBox1")->isVisible() && !d.group("GroupBox3")->isVisible());
    QVERIFY(d.group("GroupBox4")->isVisible());
    QCOMPARE(d.group("GroupBox4")->title(), QString(" Start - Stop "));
    QCOMPARE(d.edit("Edit2")->text(), QString("0"));
    QCOMPARE(d.edit("Edit3")->text(), QString("00007FFF"));
    d.edit("Edit3")->clear();
    QTest::keyClicks(d.edit("Edit3"), "3ff");
    QCOMPARE(QString::fromStdString(d.form->StopText()), QString("3FF"));  // upper case as typed
    d.Ok();
    QCOMPARE(int(settings.format), int(format::IntelHex));
    QCOMPARE(settings.offset, int64_t{0});  // a save leaves the load offset alone
}

QTEST_MAIN(TfrmFileFormatTest)
#include "TfrmFileFormat_test.moc"
