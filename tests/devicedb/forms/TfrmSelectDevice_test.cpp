// SPDX-License-Identifier: GPL-3.0-or-later
// The selection dialog driven as a user drives it, in a real offscreen window.
#include "devicedb/forms/TfrmSelectDevice.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include "devicedb/DeviceDatabase.h"
#include "support/TempDir.h"
#include "support/TestDatabases.h"
#include "support/TestPaths.h"
#include "support/forms/ScriptedDialogs.h"
#include "support/forms/UserActions.h"

using namespace kardo;
using namespace kardo::test;

namespace {

constexpr uint8_t kBothFiles = (1u << 1) | (1u << 3);

struct Session {
    Session(std::string file = "", int m = 0, int d = 0, std::string name = "")
        : filename(std::move(file)), manufacturer(m), device(d), deviceName(std::move(name)) {}
    std::string filename;
    int manufacturer;
    int device;
    std::string deviceName;
};

class Dialog {
  public:
    Dialog(Session& s, const std::filesystem::path& dir, ScriptedDialogs& dialogs,
           uint8_t flags = kBothFiles)
        : form({s.filename, s.manufacturer, s.device, s.deviceName}, flags, dir, dialogs, nullptr) {
        form.show();
        QApplication::processEvents();
    }
    QListWidget* list(const char* name) { return form.findChild<QListWidget*>(name); }
    QRadioButton* radio(const char* name) { return form.findChild<QRadioButton*>(name); }
    QPushButton* button(const char* name) { return form.findChild<QPushButton*>(name); }
    TfrmSelectDevice form;
};

}  // namespace

class TfrmSelectDeviceTest : public QObject {
    Q_OBJECT
  private slots:
    void showOffersTheTypesWhoseFilesArePresent();
    void showKeepsTheRememberedIndexes();
    void changingTheDeviceTypeResetsBothIndexes();
    void clickingAManufacturerStartsItsDeviceList();
    void confirmReportsTheChosenNames();
    void cancelAndMissingFileConfirmNothing();
    void typingFiltersTheManufacturersDevicesAndEnterTakesASingleMatch();
    void allManufacturersSearchesEveryOne();
    void aSearchWithoutAMatchConfirmsNothing();
    void everyNameIsSeenWholeWithoutSidewaysScrolling();

  private:
    TempDir dir_;
    ScriptedDialogs dialogs_;

  public:
    TfrmSelectDeviceTest() { WriteTestDatabases(dir_.path()); }
};

void TfrmSelectDeviceTest::showOffersTheTypesWhoseFilesArePresent() {
    Session s;
    Dialog d(s, dir_.path(), dialogs_);
    QCOMPARE(d.form.windowTitle(), QString("   Select a Device"));
    QCOMPARE(d.form.size(), QSize(680, 320));
    QVERIFY(!d.radio("RadioButton1")->isEnabled());
    QVERIFY(d.radio("RadioButton2")->isEnabled());
    QVERIFY(!d.radio("RadioButton3")->isEnabled());
    QVERIFY(d.radio("RadioButton4")->isEnabled());
    QVERIFY(!d.radio("RadioButton5")->isEnabled());
    QVERIFY(!d.radio("RadioButton6")->isVisible());
    // An empty file name becomes the EEPROM file, then the last present file wins the
    // name only when none was set: here the EEPROM file stays.
    QCOMPARE(s.filename, std::string("KARDO_e.usb"));
    QVERIFY(d.radio("RadioButton2")->isChecked());
    QCOMPARE(Items(d.list("ListBox1")), QStringList({"ATMEL", "XICOR"}));
    QCOMPARE(Items(d.list("ListBox2")), QStringList({"AT28C16", "AT28C256"}));

    Session microOnly;
    Dialog m(microOnly, dir_.path(), dialogs_, 1u << 3);
    QVERIFY(!m.radio("RadioButton2")->isEnabled());
    QVERIFY(m.radio("RadioButton4")->isChecked());
    QCOMPARE(microOnly.filename, std::string("KARDO_m.usb"));
    QCOMPARE(Items(m.list("ListBox1")), QStringList({"MICROCHIP", "ATMEL"}));
}

void TfrmSelectDeviceTest::showKeepsTheRememberedIndexes() {
    Session s{"KARDO_m.usb", 1, 0};
    Dialog d(s, dir_.path(), dialogs_);
    QVERIFY(d.radio("RadioButton4")->isChecked());
    QCOMPARE(d.list("ListBox1")->currentRow(), 1);
    QCOMPARE(Items(d.list("ListBox2")), QStringList({"ATmega8"}));
    QCOMPARE(s.manufacturer, 1);
    QCOMPARE(s.device, 0);

    // Devices added before the remembered one move it down: its name finds it again. A
    // name the manufacturer no longer lists leaves the indexes as they were.
    for (const auto& [name, row] : {std::pair{"AT28C256", 1}, std::pair{"AT28C64", 0}}) {
        Session moved{"KARDO_e.usb", 0, 0, name};
        Dialog m(moved, dir_.path(), dialogs_);
        QCOMPARE(m.list("ListBox2")->currentRow(), row);
        QCOMPARE(moved.device, row);
    }
    // A click keeps the name with the indexes.
    Session clicked{"KARDO_e.usb", 0, 0};
    Dialog c(clicked, dir_.path(), dialogs_);
    ClickRow(c.list("ListBox2"), 1);
    QCOMPARE(clicked.deviceName, std::string("AT28C256"));
}

void TfrmSelectDeviceTest::changingTheDeviceTypeResetsBothIndexes() {
    Session s{"KARDO_e.usb", 1, 0};
    Dialog d(s, dir_.path(), dialogs_);
    QCOMPARE(d.list("ListBox1")->currentRow(), 1);
    Click(d.radio("RadioButton4"));
    QCOMPARE(s.filename, std::string("KARDO_m.usb"));
    QCOMPARE(s.manufacturer, 0);
    QCOMPARE(Items(d.list("ListBox2")), QStringList({"PIC16F84A", "PIC18F452"}));
    ClickRow(d.list("ListBox2"), 1);
    QCOMPARE(s.device, 1);
    // The same type again still starts from the top.
    Click(d.radio("RadioButton4"));
    QCOMPARE(s.device, 0);
    QCOMPARE(d.list("ListBox2")->currentRow(), 0);
}

void TfrmSelectDeviceTest::clickingAManufacturerStartsItsDeviceList() {
    Session s{"KARDO_e.usb", 0, 1};
    Dialog d(s, dir_.path(), dialogs_);
    QCOMPARE(d.list("ListBox2")->currentRow(), 1);
    ClickRow(d.list("ListBox1"), 1);
    QCOMPARE(s.manufacturer, 1);
    QCOMPARE(s.device, 0);
    QCOMPARE(Items(d.list("ListBox2")), QStringList({"X28C64"}));
    QCOMPARE(d.list("ListBox2")->currentRow(), 0);
}

void TfrmSelectDeviceTest::confirmReportsTheChosenNames() {
    Session s{"KARDO_e.usb", 0, 0};
    Dialog d(s, dir_.path(), dialogs_);
    ClickRow(d.list("ListBox2"), 1);
    Click(d.button("BitBtn1"));
    QVERIFY(d.form.Confirmed());
    QCOMPARE(d.form.result(), int(QDialog::Accepted));
    QCOMPARE(d.form.ManufacturerName(), std::string("ATMEL"));
    QCOMPARE(d.form.DeviceName(), std::string("AT28C256"));
}

void TfrmSelectDeviceTest::cancelAndMissingFileConfirmNothing() {
    Session s{"KARDO_e.usb", 0, 0};
    Dialog d(s, dir_.path(), dialogs_);
    Click(d.button("BitBtn2"));
    QVERIFY(d.form.SelectCancelled());
    QVERIFY(!d.form.Confirmed());

    TempDir empty;
    dialogs_.messages.clear();
    Session gone{"KARDO_e.usb", 1, 1};
    Dialog missing(gone, empty.path(), dialogs_);
    QVERIFY(!dialogs_.messages.empty());
    QCOMPARE(dialogs_.messages.back().text, QString("KARDO_e.usb"));
    QCOMPARE(dialogs_.messages.back().caption, QString(" File Not Found "));
    QVERIFY(dialogs_.messages.back().icon == Dialogs::Icon::Error);
    QCOMPARE(gone.manufacturer, -1);
    QCOMPARE(gone.device, -1);
    QCOMPARE(missing.list("ListBox1")->count(), 0);
    Click(missing.button("BitBtn1"));
    QVERIFY(!missing.form.Confirmed());

    // An index beyond what the file lists cannot be confirmed either.
    Session beyond{"KARDO_e.usb", 0, 7};
    Dialog far(beyond, dir_.path(), dialogs_);
    Click(far.button("BitBtn1"));
    QVERIFY(!far.form.Confirmed());
}

void TfrmSelectDeviceTest::typingFiltersTheManufacturersDevicesAndEnterTakesASingleMatch() {
    Session s{"KARDO_m.usb", 1, 0};  // MICROCHIP in the shipped file
    Dialog d(s, BuiltDataDir(), dialogs_);
    QCOMPARE(d.list("ListBox1")->currentItem()->text(), QString("MICROCHIP"));
    auto* search = d.form.findChild<QLineEdit*>("SearchEdit");
    QCOMPARE(d.form.focusWidget(), search);  // ready for typing as the dialog opens
    QTest::keyClicks(search, "877");
    QCOMPARE(Items(d.list("ListBox2")), QStringList({"PIC16F877A", "PIC16F877"}));
    // Enter with several matches only moves on to the list.
    QTest::keyClick(search, Qt::Key_Return);
    QVERIFY(d.form.isVisible() && !d.form.Confirmed());
    search->clear();
    QTest::keyClicks(search, "f877a");  // any case
    QCOMPARE(Items(d.list("ListBox2")), QStringList({"PIC16F877A"}));
    QTest::keyClick(search, Qt::Key_Return);
    QVERIFY(d.form.Confirmed());
    QCOMPARE(d.form.ManufacturerName(), std::string("MICROCHIP"));
    QCOMPARE(d.form.DeviceName(), std::string("PIC16F877A"));
    // The remembered index is the device's place in the file, not in the filtered list.
    const auto devices = DeviceDatabase::ListDevices(BuiltDataDir() / "KARDO_m.usb", 1);
    QCOMPARE((*devices)[static_cast<std::size_t>(s.device)], std::string("PIC16F877A"));
}

void TfrmSelectDeviceTest::allManufacturersSearchesEveryOne() {
    Session s{"KARDO_e.usb", 0, 0};
    Dialog d(s, dir_.path(), dialogs_);
    auto* search = d.form.findChild<QLineEdit*>("SearchEdit");
    QTest::keyClicks(search, "28c");
    QCOMPARE(Items(d.list("ListBox2")), QStringList({"AT28C16", "AT28C256"}));
    Click(d.form.findChild<QCheckBox*>("AllManufacturers"));
    QCOMPARE(Items(d.list("ListBox2")),
             QStringList({"AT28C16  (ATMEL)", "AT28C256  (ATMEL)", "X28C64  (XICOR)"}));
    ClickRow(d.list("ListBox2"), 2);
    QCOMPARE(s.manufacturer, 1);
    QCOMPARE(s.device, 0);
    QCOMPARE(d.list("ListBox1")->currentRow(), 1);  // the manufacturer list follows
    Click(d.button("BitBtn1"));
    QVERIFY(d.form.Confirmed());
    QCOMPARE(d.form.ManufacturerName(), std::string("XICOR"));
    QCOMPARE(d.form.DeviceName(), std::string("X28C64"));
}

void TfrmSelectDeviceTest::aSearchWithoutAMatchConfirmsNothing() {
    Session s{"KARDO_e.usb", 0, 1};
    Dialog d(s, dir_.path(), dialogs_);
    auto* search = d.form.findChild<QLineEdit*>("SearchEdit");
    QTest::keyClicks(search, "zz");
    QCOMPARE(d.list("ListBox2")->count(), 0);
    QTest::keyClick(search, Qt::Key_Return);
    QVERIFY(d.form.isVisible());
    Click(d.button("BitBtn1"));  // the device the field hides is not taken
    QVERIFY(!d.form.Confirmed());
    // Cleared, the full list is back with the remembered device.
    search->clear();
    QCOMPARE(Items(d.list("ListBox2")), QStringList({"AT28C16", "AT28C256"}));
    QCOMPARE(d.list("ListBox2")->currentRow(), 1);
}

void TfrmSelectDeviceTest::everyNameIsSeenWholeWithoutSidewaysScrolling() {
    for (int manufacturer = 0;; ++manufacturer) {
        Session s{"KARDO_m.usb", manufacturer, 0};
        Dialog d(s, BuiltDataDir(), dialogs_);
        QListWidget* list = d.list("ListBox2");
        if (manufacturer >= d.list("ListBox1")->count())
            break;
        QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
        const int width = list->viewport()->width();
        for (int i = 0; i < list->count(); ++i) {
            const QRect r = list->visualItemRect(list->item(i));
            QVERIFY2(r.left() >= 0 && r.right() < width, qPrintable(list->item(i)->text()));
            QVERIFY2(list->fontMetrics().horizontalAdvance(list->item(i)->text()) < r.width(),
                     qPrintable(list->item(i)->text()));
        }
    }
}

QTEST_MAIN(TfrmSelectDeviceTest)
#include "TfrmSelectDevice_test.moc"
