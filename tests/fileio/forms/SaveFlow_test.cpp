// SPDX-License-Identifier: GPL-3.0-or-later
// Saving from the real main window: the save dialog, the format dialog in its save mode,
// the log and the file label; and a save that cannot be written, which must leave an
// earlier file as it was.
#include <sys/stat.h>
#include <unistd.h>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "fileio/FileLoader.h"
#include "link/SimulatedLink.h"
#include "support/DataFiles.h"
#include "support/RecordingFileHost.h"
#include "support/TestPaths.h"
#include "support/forms/MainWindowFixture.h"
#include "support/forms/UserActions.h"

using namespace kardo;
using namespace kardo::test;

namespace {

// The main window with a programmer, the device at `manufacturer`/`device` of the
// EEPROM file selected, and a pattern in its buffer.
struct Bench {
    std::unique_ptr<MainWindowFixture> f;
    uint8_t loadResult = 0xFF;
    explicit Bench(int manufacturer = 0, int device = 1) {
        f = std::make_unique<MainWindowFixture>(std::make_unique<SimulatedLink>());
        f->Select("RadioButton2", manufacturer, device);
        const auto pattern = PatternBytes(f->state().buffer.BufferSize(), 4);
        std::copy(pattern.begin(), pattern.end(), f->state().buffer.data());
    }
    // The user names `file`, then does `inFormatDialog` (OK when nothing is given).
    void Save(const std::filesystem::path& file,
              std::function<void(QDialog&)> inFormatDialog = {}) {
        f->dialogs.saveFiles.push_back(file);
        f->dialogs.drivers.push_back([inFormatDialog](QDialog& dialog) {
            if (inFormatDialog)
                inFormatDialog(dialog);
            if (dialog.isVisible())
                Click(dialog.findChild<QPushButton*>("BitBtn1"));
        });
        Click(f->button("SB_Save"));
    }
    std::vector<uint8_t> Loaded(const std::filesystem::path& file, uint8_t fileFormat) {
        FileSettings settings;
        settings.format = fileFormat;
        settings.fill = fill::Zero;
        DeviceBuffer back;
        RecordingFileHost host;
        loadResult = LoadFile({file, *f->state().record, settings}, back, host);
        return std::vector<uint8_t>(back.data(), back.data() + back.BufferSize());
    }
};

// A folder nothing can be written into, even by root: a read-only mount for root, the
// permissions for anyone else. Made with one file in it.
struct ReadOnlyFolder {
    std::filesystem::path path;
    bool mounted = false;
    ReadOnlyFolder(const std::filesystem::path& where, const std::vector<uint8_t>& earlier)
        : path(where) {
        std::filesystem::create_directory(path);
        if (geteuid() == 0) {
            mounted = std::system(
                          ("mount -t tmpfs -o size=1m tmpfs '" + path.string() + "'").c_str()) == 0;
            WriteBytes(path / "image.hex", earlier);
            mounted = mounted &&
                      std::system(("mount -o remount,ro '" + path.string() + "'").c_str()) == 0;
        } else {
            WriteBytes(path / "image.hex", earlier);
            chmod(path.c_str(), 0555);
        }
    }
    bool Ready() const { return geteuid() != 0 || mounted; }
    ~ReadOnlyFolder() {
        if (mounted) {
            if (std::system(("umount '" + path.string() + "'").c_str()) != 0) {
                std::fprintf(stderr, "could not unmount %s\n", path.c_str());
            }
        } else {
            chmod(path.c_str(), 0755);
        }
    }
};

}  // namespace

class SaveFlowTest : public QObject {
    Q_OBJECT
  private slots:
    void savesTheRangeTheFormatDialogShows();
    void aSaveThatCannotBeWrittenLeavesTheEarlierFile();
    void aRangeThatCannotBeSavedIsRefused();
    void fuseMapsAreSavedAsJedecWithoutTheFormatDialog();
};

void SaveFlowTest::savesTheRangeTheFormatDialogShows() {
    Bench b;
    MainWindowFixture& f = *b.f;
    const auto file = f.dir / "saved.mot";
    QString start, stop;
    b.Save(file, [&](QDialog& dialog) {
        start = dialog.findChild<QLineEdit*>("Edit2")->text();
        stop = dialog.findChild<QLineEdit*>("Edit3")->text();
        Click(dialog.findChild<QAbstractButton*>("RB_Motorola"));
    });
    QCOMPARE(start, QString("0"));
    QCOMPARE(stop, QString("00007FFF"));  // AT28C256
    QCOMPARE(f.log().last(), " File " + QString::fromStdString(file.string()) + " saved");
    QCOMPARE(f.label("FileL"), QString::fromStdString(file.string()));
    QCOMPARE(f.state().PathLoadSave, f.dir.path());
    QCOMPARE(f.dialogs.saveAsked.back().filter,
             std::string("Intel Hex (*.HEX)|*.hex|Motorola (*.MOT)|*.MOT|Binary (*.BIN)|*.bin|All "
                         "Files (*.*)|*.*"));
    const auto back = b.Loaded(file, format::Motorola);
    QCOMPARE(int(b.loadResult), int(load::Ok));
    QVERIFY(std::equal(back.begin(), back.begin() + 0x8000, f.state().buffer.data()));
    QCOMPARE(int(back[0x8000]), 0);  // no more than the range
    // The next save offers the same name.
    f.dialogs.saveFiles.push_back(std::nullopt);
    Click(f.button("SB_Save"));
    QCOMPARE(f.dialogs.saveSuggested.back(), file);
}

void SaveFlowTest::aSaveThatCannotBeWrittenLeavesTheEarlierFile() {
    Bench b;
    MainWindowFixture& f = *b.f;
    const std::string earlierText = IntelHexText(0, {1, 2, 3, 4});
    const std::vector<uint8_t> earlier(earlierText.begin(), earlierText.end());
    ReadOnlyFolder folder(f.dir / "readonly", earlier);
    QVERIFY2(folder.Ready(), "could not mount a read-only folder");
    const QStringList before = f.log();
    b.Save(folder.path / "image.hex");
    QCOMPARE(f.dialogs.messages.back().text, QString("File ERROR"));
    // No " saved" line, but one that says why, in the system's words.
    const QString why = geteuid() == 0 ? "Read-only file system" : "Permission denied";
    const QString file = QString::fromStdString((folder.path / "image.hex").string());
    QCOMPARE(f.log(), before + QStringList{" File " + file + " not saved: " + why});
    QCOMPARE(ReadBytes(folder.path / "image.hex"), earlier);
    QCOMPARE(std::distance(std::filesystem::directory_iterator(folder.path), {}), 1);
}

void SaveFlowTest::aRangeThatCannotBeSavedIsRefused() {
    Bench b;
    MainWindowFixture& f = *b.f;
    const auto file = f.dir / "range.hex";
    b.Save(file, [](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("Edit2")->setText("200");
        dialog.findChild<QLineEdit*>("Edit3")->setText("100");
    });
    QVERIFY(f.dialogs.messages.back().text.contains("above the stop"));
    QVERIFY(!std::filesystem::exists(file));
    b.Save(file,
           [](QDialog& dialog) { dialog.findChild<QLineEdit*>("Edit3")->setText("FFFFFFFF"); });
    QVERIFY(f.dialogs.messages.back().text.contains("beyond the buffer"));
    b.Save(file, [](QDialog& dialog) { dialog.findChild<QLineEdit*>("Edit3")->clear(); });
    QVERIFY(f.dialogs.messages.back().text.contains("hexadecimal"));
    QVERIFY(!std::filesystem::exists(file));
    QVERIFY(!f.log().last().endsWith(" saved"));
}

void SaveFlowTest::fuseMapsAreSavedAsJedecWithoutTheFormatDialog() {
    MainWindowFixture f(std::make_unique<SimulatedLink>(), kardo::test::BuiltDataDir());
    // The fuse-map parts come last in the EEPROM file.
    f.Select("RadioButton2", 3, 0);  // LATTICE GAL16V8
    QCOMPARE(QString::fromStdString(f.state().record->Name()), QString("GAL16V8"));
    const TempDir out;
    const auto file = out / "fuses.jed";
    f.dialogs.saveFiles.push_back(file);
    const std::size_t dialogsBefore = f.dialogs.drivers.size();
    Click(f.button("SB_Save"));
    QCOMPARE(f.dialogs.drivers.size(), dialogsBefore);  // no format dialog was shown
    QCOMPARE(f.dialogs.saveAsked.back().filter,
             std::string("Jedec (*.JED)|*.jed|All Files (*.*)|*.*"));
    QCOMPARE(f.log().last(), " File " + QString::fromStdString(file.string()) + " saved");
    const auto text = ReadBytes(file);
    QVERIFY(std::string(text.begin(), text.end()).find("*QF2194\r\n") != std::string::npos);
}

QTEST_MAIN(SaveFlowTest)
#include "SaveFlow_test.moc"
