// SPDX-License-Identifier: GPL-3.0-or-later
// The jumper and ISP header pictures after a selection, as the program builds their
// dialogs, with good pictures and with pictures that are missing or damaged.
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "link/SimulatedLink.h"
#include "support/TestPaths.h"
#include "support/forms/MainWindowFixture.h"
#include "support/forms/UserActions.h"

using namespace kardo;
using namespace kardo::test;

namespace {

const std::filesystem::path kPictures = kardo::test::BuiltDataDir();

// A main window on the first programmer board (firmware 1), which has jumpers to set.
std::unique_ptr<MainWindowFixture> FirstBoard() {
    auto link = std::make_unique<SimulatedLink>();
    link->programmer().firmwareVersion = 1;
    auto f = std::make_unique<MainWindowFixture>(std::move(link));
    f->dialogs.showPictures = true;
    return f;
}

void CopyPicture(const char* name, const std::filesystem::path& to) {
    std::filesystem::copy_file(kPictures / name, to / name);
}

struct Shown {
    QString title, text;
    QSize pictureSize;
    QRgb corner = 0;
    QStringList pins;
    bool closedByOk = false;
};

// Looks at the picture dialog and closes it with its OK button.
std::function<void(QDialog&)> Look(Shown& shown, const char* okButton) {
    return [&shown, okButton](QDialog& dialog) {
        shown.title = dialog.windowTitle();
        const QLabel* picture = dialog.findChild<QLabel*>("Image1");
        shown.text = picture->text();
        const QPixmap pixmap = picture->pixmap();
        shown.pictureSize = pixmap.size();
        if (!pixmap.isNull()) {
            const QImage image = pixmap.toImage();
            shown.corner = image.pixel(image.width() - 1, image.height() - 1);
        }
        for (const QLabel* label : dialog.findChildren<QLabel*>(QRegularExpression("^Pin"))) {
            shown.pins << label->text() + " " + label->palette().color(QPalette::WindowText).name();
        }
        Click(dialog.findChild<QPushButton*>(okButton));
        shown.closedByOk = !dialog.isVisible() && dialog.result() == QDialog::Accepted;
    };
}

bool IsBoardGreen(QRgb c) {
    return qAbs(qRed(c) - 0x1E) < 12 && qAbs(qGreen(c) - 0x6B) < 12 && qAbs(qBlue(c) - 0x3A) < 12;
}

}  // namespace

class AdapterPicturesTest : public QObject {
    Q_OBJECT
  private slots:
    void picAndEepromOnTheFirstBoardShowTheirJumpers();
    void ispDeviceShowsTheHeaderPinout();
    void damagedOrMissingPicturesAreSaidAndTheDialogStillOpens();
};

void AdapterPicturesTest::picAndEepromOnTheFirstBoardShowTheirJumpers() {
    auto f = FirstBoard();
    CopyPicture("Pic_Jumper.JPG", f->dir.path());
    CopyPicture("EE_Jumper.JPG", f->dir.path());
    Shown pic;
    f->AnswerSelection("RadioButton4", 0, 0);  // MICROCHIP PIC16F84A
    f->dialogs.drivers.push_back(Look(pic, "OKbt"));
    Click(f->button("SB_Select"));
    QCOMPARE(pic.title, QString("Jumper Set"));
    QCOMPARE(pic.pictureSize, QSize(360, 300));  // the file's own size, decoded by libjpeg
    QVERIFY(IsBoardGreen(pic.corner));
    QVERIFY(pic.closedByOk);
    QCOMPARE(f->label("DevL"), QString("PIC16F84A"));  // the selection went on

    Shown eeprom;
    f->AnswerSelection("RadioButton2", 0, 1);  // ATMEL AT28C256
    f->dialogs.drivers.push_back(Look(eeprom, "OKbt"));
    Click(f->button("SB_Select"));
    QCOMPARE(eeprom.title, QString("Jumper Set"));
    QCOMPARE(eeprom.pictureSize, QSize(360, 300));
    QCOMPARE(QString::fromStdString(f->dialogs.jumperPictures.back().filename().string()),
             QString("EE_Jumper.JPG"));
}

void AdapterPicturesTest::ispDeviceShowsTheHeaderPinout() {
    auto f = FirstBoard();
    Shown isp;
    f->AnswerSelection("RadioButton4", 1, 0);  // ATMEL ATmega8
    f->dialogs.drivers.push_back(Look(isp, "BitBtn1"));
    Click(f->button("SB_Select"));
    QCOMPARE(isp.title, QString("ATMEL_ISP"));
    QCOMPARE(isp.pictureSize, QSize(320, 220));  // built in: no file needed
    QVERIFY(IsBoardGreen(isp.corner));
    QCOMPARE(isp.pins, QStringList({"VCC #ff0000", "CLK #0000ff", "DATA/MOSI #ffffff",
                                    "MISO #000080", "RST #008000", "GND #000000"}));
    QVERIFY(isp.closedByOk);
    QVERIFY(f->dialogs.jumperPictures.empty());  // ISP parts need no jumpers
}

void AdapterPicturesTest::damagedOrMissingPicturesAreSaidAndTheDialogStillOpens() {
    auto f = FirstBoard();
    const std::vector<uint8_t> whole = ReadBytes(kPictures / "Pic_Jumper.JPG");
    WriteBytes(f->dir / "Pic_Jumper.JPG",
               std::vector<uint8_t>(whole.begin(), whole.begin() + long(whole.size() / 2)));
    const struct {
        const char* type;
        int manufacturer, device;
        const char* says;
    } cases[] = {
        {"RadioButton4", 0, 0, "Cannot show Pic_Jumper.JPG: it is damaged or cut short ("},
        {"RadioButton2", 0, 1, "Cannot show EE_Jumper.JPG: "},  // not there at all
    };
    for (const auto& c : cases) {
        Shown shown;
        f->AnswerSelection(c.type, c.manufacturer, c.device);
        f->dialogs.drivers.push_back(Look(shown, "OKbt"));
        Click(f->button("SB_Select"));
        QCOMPARE(shown.title, QString("Jumper Set"));
        QVERIFY(shown.pictureSize.isEmpty());
        QVERIFY2(shown.text.startsWith(c.says), qPrintable(shown.text));
        QVERIFY(shown.closedByOk);
    }

    // A file that is no JPEG at all, under the picture's name.
    WriteBytes(f->dir / "EE_Jumper.JPG", {'G', 'I', 'F', '8', '9', 'a'});
    Shown notJpeg;
    f->AnswerSelection("RadioButton2", 0, 1);
    f->dialogs.drivers.push_back(Look(notJpeg, "OKbt"));
    Click(f->button("SB_Select"));
    QCOMPARE(notJpeg.text, QString("Cannot show EE_Jumper.JPG: it is not a JPEG picture"));
}

QTEST_MAIN(AdapterPicturesTest)
#include "AdapterPictures_test.moc"
