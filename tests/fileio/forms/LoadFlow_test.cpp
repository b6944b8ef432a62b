// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a file from the real main window, as a user does: the file dialog, the format
// dialog, the log and the panels; then the automatic reload when the file is written
// again, also while an operation runs.
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "devicedb/Checksum.h"
#include "fileio/FileLoader.h"
#include "fileio/LoadErrors.h"
#include "fileio/forms/FileDrop.h"
#include "fileio/forms/LoadFlow.h"
#include "fileio/forms/QtFileIoHost.h"
#include "fileio/forms/TfrmFileFormat.h"
#include "fileio/forms/TfrmLoad_Save.h"
#include "link/SimulatedLink.h"
#include "support/DataFiles.h"
#include "support/RecordingFileHost.h"
#include "support/TestPaths.h"
#include "support/forms/MainWindowFixture.h"
#include "support/forms/UserActions.h"

using namespace kardo;
using namespace kardo::test;

namespace {

std::string IntelHex(uint32_t address, const std::vector<uint8_t>& data) {
    return IntelHexText(address, data);
}
std::vector<uint8_t> Pattern(std::size_t n, uint8_t seed) {
    return PatternBytes(n, seed);
}

void WriteText(const std::filesystem::path& file, const std::string& text) {
    WriteBytes(file, std::vector<uint8_t>(text.begin(), text.end()));
}

// The main window against the virtual programmer, a 28C256 selected.
struct Bench {
    SimulatedLink* sim;
    std::unique_ptr<MainWindowFixture> f;
    explicit Bench(SimulatedLink::Options options = {}, std::filesystem::path directory = {},
                   int manufacturer = 0, int device = 1) {
        auto link = std::make_unique<SimulatedLink>(options);
        sim = link.get();
        f = std::make_unique<MainWindowFixture>(
            std::move(link), directory,
            [s = sim](const DeviceRecord& r) { s->programmer().InsertChip(r); });
        f->Select("RadioButton2", manufacturer, device);
    }
    // The user picks `file` under filter `filterIndex`, then, in the format dialog, does
    // what `inFormatDialog` does (OK when nothing is given).
    void Load(const std::filesystem::path& file, int filterIndex = 1,
              std::function<void(QDialog&)> inFormatDialog = {}) {
        f->dialogs.openFiles.push_back(Dialogs::FileChoice{file, filterIndex});
        f->dialogs.drivers.push_back([inFormatDialog](QDialog& dialog) {
            if (inFormatDialog)
                inFormatDialog(dialog);
            if (dialog.isVisible())
                Click(dialog.findChild<QPushButton*>("BitBtn1"));
        });
        Click(f->button("SB_Load"));
    }
    bool BufferHolds(const std::vector<uint8_t>& bytes) {
        return std::equal(bytes.begin(), bytes.end(), f->state().buffer.data());
    }
    QString Checksum() {
        return QString::fromStdString(
            ChecksumText(ComputeChecksum(*f->state().record, f->state().buffer)));
    }
};

// Drags `file` over the window and drops it, as a file manager does; whether the window
// took both. The load itself runs once the drop is over.
bool Drop(MainWindowFixture& f, const std::filesystem::path& file) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(file.string()))});
    const QPoint at(400, 200);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(&f.window(), &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    drop.setAccepted(false);
    QApplication::sendEvent(&f.window(), &drop);
    QApplication::processEvents();
    return enter.isAccepted() && drop.isAccepted();
}

}  // namespace

class LoadFlowTest : public QObject {
    Q_OBJECT
  private slots:
    void loadsThroughBothDialogsAndReports();
    void allFilesFilterAndTheFiltersByFamily();
    void cancellingChangesNothingButTheChecksumIsShown();
    void aRewrittenFileIsLoadedAgainASecondLater();
    void aRewriteDuringAnOperationWaitsForItsEnd();
    void aLoadThatLastsShowsTheValuesItSetsOnTheBar();
    void aDroppedFileLoadsAsLoadDoesAnElfFileAsAProgram();
    void aDropIsRefusedWhenAClickOnLoadWouldBe();
};

void LoadFlowTest::loadsThroughBothDialogsAndReports() {
    Bench b;
    MainWindowFixture& f = *b.f;
    const auto data = Pattern(0x8000, 1);
    const auto file = f.dir / "image.hex";
    WriteText(file, IntelHex(0, data));
    const int before = static_cast<int>(f.log().size());
    b.Load(file);
    QCOMPARE(f.log().mid(before),
             QStringList({"", " File " + QString::fromStdString(file.string()) + " Loaded",
                          " Highest Load Address : 7FFF", " Lowest Load Address  : 0"}));
    QVERIFY(b.BufferHolds(data));
    QCOMPARE(f.label("FileL"), QString::fromStdString(file.string()));
    QCOMPARE(f.label("CheckL"), b.Checksum());
    QCOMPARE(f.state().PathLoadSave, f.dir.path());
    QCOMPARE(f.state().LoadedFile, file);
    QCOMPARE(int(f.state().errorCount), 0);
    QVERIFY(f.window().findChild<TfrmFileFormat*>() == nullptr);

    // Programmed and read back, the file's bytes come from the chip.
    f.Operate("SB_Prog");
    QVERIFY(f.log().contains(" Verified OK"));
    QCOMPARE(b.sim->programmer().chip().memory, data);

    // A broken file: its line, the error sound, and the error in the counter.
    WriteText(f.dir / "broken.hex", ":0100000001FF\n");
    b.Load(f.dir / "broken.hex");
    QCOMPARE(f.log().last(), QString(" Checksum Error "));
    QCOMPARE(int(f.state().errorCount), int(load::ChecksumError));
    QCOMPARE(f.sound.played.back(), Sound::Error);
}

void LoadFlowTest::allFilesFilterAndTheFiltersByFamily() {
    Bench b;
    MainWindowFixture& f = *b.f;
    WriteBytes(f.dir / "raw.bin", Pattern(0x100, 7));
    bool binaryChecked = false;
    b.Load(f.dir / "raw.bin", 4, [&](QDialog& dialog) {
        binaryChecked = dialog.findChild<QRadioButton*>("RB_Binary")->isChecked();
    });
    QVERIFY(binaryChecked);
    QVERIFY(b.BufferHolds(Pattern(0x100, 7)));
    QCOMPARE(f.dialogs.openAsked.back().filter,
             std::string("Intel Hex (*.HEX)|*.hex|Motorola (*.MOT)|*.MOT|Binary (*.BIN)|*.bin|All "
                         "Files (*.*)|*.*"));
    QCOMPARE(f.dialogs.openAsked.back().directory, f.dir.path());

    f.Select("RadioButton4", 0, 0);  // PIC16F84A
    f.dialogs.openFiles.push_back(std::nullopt);
    Click(f.button("SB_Load"));
    QCOMPARE(f.dialogs.openAsked.back().filter,
             std::string("Inh8m (*.HEX)|*.hex|All Files (*.*)|*.*"));
}

void LoadFlowTest::cancellingChangesNothingButTheChecksumIsShown() {
    Bench b;
    MainWindowFixture& f = *b.f;
    const auto before =
        std::vector<uint8_t>(f.state().buffer.data(), f.state().buffer.data() + 0x8000);
    const QStringList log = f.log();
    f.state().buffer[0] = 0x12;  // as an edit would
    f.dialogs.openFiles.push_back(std::nullopt);
    Click(f.button("SB_Load"));
    QCOMPARE(f.label("CheckL"), b.Checksum());
    QCOMPARE(f.state().PathLoadSave, f.dir.path());

    WriteText(f.dir / "other", IntelHex(0, {1, 2, 3}));
    f.state().buffer[0] = 0x34;
    b.Load(f.dir / "other", 1, [](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    QCOMPARE(int(f.state().buffer[0]), 0x34);  // nothing loaded
    QCOMPARE(f.label("CheckL"), b.Checksum());
    QCOMPARE(f.log(), log);
    QCOMPARE(f.label("FileL"), QString());
}

void LoadFlowTest::aRewrittenFileIsLoadedAgainASecondLater() {
    Bench b;
    MainWindowFixture& f = *b.f;
    const auto file = f.dir / "watched.hex";
    WriteText(file, IntelHex(0, Pattern(0x100, 1)));
    b.Load(file);

    // Written again with the same last-write time: not taken for a change.
    const auto time = std::filesystem::last_write_time(file);
    WriteText(file, IntelHex(0, Pattern(0x100, 2)));
    std::filesystem::last_write_time(file, time);
    QTest::qWait(1500);
    QVERIFY(!f.log().contains(" File Updated"));
    QVERIFY(b.BufferHolds(Pattern(0x100, 1)));

    // Any newer write is loaded a second later, with the settings of the load.
    std::filesystem::last_write_time(file, time + std::chrono::seconds(5));
    QTRY_VERIFY_WITH_TIMEOUT(f.log().contains(" File Updated"), 5000);
    QVERIFY(b.BufferHolds(Pattern(0x100, 2)));
    QCOMPARE(f.log().last(), QString(" File Updated"));
    QCOMPARE(f.label("CheckL"), b.Checksum());
}

void LoadFlowTest::aRewriteDuringAnOperationWaitsForItsEnd() {
    SimulatedLink::Options slow;
    slow.realTime = true;
    slow.latency = std::chrono::milliseconds(1);  // a read of the 32 KiB part takes seconds
    Bench b(slow);
    MainWindowFixture& f = *b.f;
    const auto file = f.dir / "watched.hex";
    WriteText(file, IntelHex(0, Pattern(0x8000, 1)));
    b.Load(file);
    std::fill(b.sim->programmer().chip().memory.begin(), b.sim->programmer().chip().memory.end(),
              0xC3);

    bool checkedWhileBusy = false;
    QTimer::singleShot(200, [&] { WriteText(file, IntelHex(0, Pattern(0x8000, 9))); });
    QTimer::singleShot(2000, [&] {
        // Due for a while now, and waiting: the read is still filling the buffer.
        QVERIFY(f.window().OperationBusy());
        QVERIFY(f.window().loadFlow().monitor().ReloadPending());
        QVERIFY(!f.log().contains(" File Updated"));
        checkedWhileBusy = true;
    });
    Click(f.button("SB_Read"));
    QVERIFY(checkedWhileBusy);
    QTRY_VERIFY_WITH_TIMEOUT(f.log().contains(" File Updated"), 10000);
    const QStringList log = f.log();
    QVERIFY(log.indexOf(" Read Completed") < log.indexOf(" File Updated"));
    QVERIFY(b.BufferHolds(Pattern(0x8000, 9)));  // the reload came after the read, not into it
}

// The bar shows exactly the values the load hands the window, once the load has lasted
// long enough to want one. How fast the machine parses plays no part: the values come
// through the same calls the loader makes, and the wait is only ever at least as long.
void LoadFlowTest::aLoadThatLastsShowsTheValuesItSetsOnTheBar() {
    Bench b;
    QtFileIoHost host({b.f->window(), b.f->dialogs, [](const std::string&) {}, [] {}});
    host.OpenProgress(" Loading ");
    QTest::qWait(TfrmLoad_Save::kDrawEveryMs + 1);
    QList<int> shown;
    for (int percent : {3, 40, 41, 100}) {
        host.SetProgress(percent);
        QVERIFY(host.Progress() != nullptr && host.Progress()->isVisible());
        shown << host.Progress()->Position();
    }
    QCOMPARE(shown, QList<int>({3, 40, 41, 100}));
    QCOMPARE(host.Progress()->windowTitle(), QString(" Loading "));
    host.CloseProgress();
    QVERIFY(host.Progress() == nullptr);
    QVERIFY(b.f->window().findChild<TfrmLoad_Save*>() == nullptr);
}

void LoadFlowTest::aDroppedFileLoadsAsLoadDoesAnElfFileAsAProgram() {
    Bench b;
    MainWindowFixture& f = *b.f;
    const auto data = Pattern(0x100, 3);
    const auto hex = f.dir / "dropped.hex";
    WriteText(hex, IntelHex(0x10, data));
    QString checked;
    f.dialogs.drivers.push_back([&](QDialog& dialog) {
        for (auto* rb : dialog.findChildren<QRadioButton*>())
            if (rb->isChecked() && rb->objectName() != "RB_Default" && rb->parent()->objectName() == "GroupBox2")
                checked = rb->objectName();
        Click(dialog.findChild<QPushButton*>("BitBtn1"));
    });
    QVERIFY(Drop(f, hex));
    QCOMPARE(checked, QString("RB_Intelhex"));  // the format of the filter its name matches
    QVERIFY(std::equal(data.begin(), data.end(), f.state().buffer.data() + 0x10));
    QCOMPARE(f.label("FileL"), QString::fromStdString(hex.string()));
    QCOMPARE(f.state().LoadedFile, hex);
    QCOMPARE(f.label("CheckL"), b.Checksum());

    // avr-gcc's program for an ATmega8, under any name: the buffer its own hex file gives.
    f.Select("RadioButton4", 1, 0);
    QCOMPARE(QString::fromStdString(f.state().record->Name()), QString("ATmega8"));
    const auto elf = f.dir / "chaser.bin";
    std::filesystem::copy_file(SourceDir() / "tests/cli/data/atmega8-chaser.elf", elf);
    f.dialogs.drivers.push_back(
        [](QDialog& dialog) { Click(dialog.findChild<QPushButton*>("BitBtn1")); });
    QVERIFY(Drop(f, elf));
    DeviceBuffer expected;
    RecordingFileHost host;
    FileSettings asHex;
    QCOMPARE(int(LoadFile({SourceDir() / "tests/fileio/data/atmega8-ihex.hex",
                           *f.state().record, asHex},
                          expected, host)),
             int(load::Ok));
    QCOMPARE(f.state().buffer.BufferSize(), expected.BufferSize());
    QVERIFY(std::equal(expected.data(), expected.data() + expected.BufferSize(),
                       f.state().buffer.data()));
    QVERIFY(f.log().filter(QRegularExpression("^ ELF section \\.text : \\d+ bytes$")).size() == 1);
    QCOMPARE(f.label("CheckL"), b.Checksum());
}

void LoadFlowTest::aDropIsRefusedWhenAClickOnLoadWouldBe() {
    SimulatedLink::Options slow;
    slow.realTime = true;
    slow.latency = std::chrono::milliseconds(1);
    auto link = std::make_unique<SimulatedLink>(slow);
    SimulatedLink* sim = link.get();
    MainWindowFixture f(std::move(link), {},
                        [sim](const DeviceRecord& r) { sim->programmer().InsertChip(r); });
    const auto file = f.dir / "refused.hex";
    WriteText(file, IntelHex(0, {1, 2, 3}));
    QVERIFY(!Drop(f, file));  // no device yet: Load is off
    QVERIFY(f.dialogs.drivers.empty() && f.label("FileL").isEmpty());

    f.Select("RadioButton2", 0, 1);
    bool refusedWhileBusy = false;
    QTimer::singleShot(300, [&] {
        QVERIFY(f.window().OperationBusy());
        refusedWhileBusy = !Drop(f, file);
    });
    Click(f.button("SB_Read"));
    QTRY_VERIFY_WITH_TIMEOUT(!f.window().OperationBusy(), 20000);
    QVERIFY(refusedWhileBusy);
    QCOMPARE(f.label("FileL"), QString());
    QVERIFY(!f.log().join('\n').contains("refused.hex"));
    // A folder, or two files at once, is nothing to load.
    QMimeData two;
    two.setUrls({QUrl::fromLocalFile("/tmp/a.hex"), QUrl::fromLocalFile("/tmp/b.hex")});
    QVERIFY(!DroppedFile(&two));
    QVERIFY(!Drop(f, f.dir.path()));
}

QTEST_MAIN(LoadFlowTest)
#include "LoadFlow_test.moc"
