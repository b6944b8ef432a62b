// SPDX-License-Identifier: GPL-3.0-or-later
// Device operations from the main window against the virtual programmer, as a user
// runs them: the buttons, the progress window, the log, the sounds and the chip.
#include <QApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "algorithms/forms/TProgressForm.h"
#include "devicedb/Checksum.h"
#include "link/SimulatedLink.h"
#include "support/forms/MainWindowFixture.h"
#include "support/forms/UserActions.h"

using namespace kardo;
using namespace kardo::test;

namespace {

// The main window with a virtual programmer whose socket follows the selection, and a
// 28C256 selected.
struct Workbench {
    SimulatedLink* sim;
    std::unique_ptr<MainWindowFixture> f;

    explicit Workbench(SimulatedLink::Options options = {}) {
        auto link = std::make_unique<SimulatedLink>(options);
        sim = link.get();
        f = std::make_unique<MainWindowFixture>(
            std::move(link), std::filesystem::path{},
            [s = sim](const DeviceRecord& r) { s->programmer().InsertChip(r); });
        f->Select("RadioButton2", 0, 1);  // ATMEL AT28C256
    }
    std::vector<uint8_t> Buffer(std::size_t n) {
        return std::vector<uint8_t>(f->state().buffer.data(), f->state().buffer.data() + n);
    }
    QStringList LogSince(int from) { return f->log().mid(from); }
};

void FillPattern(DeviceBuffer& buffer, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        buffer[i] = static_cast<uint8_t>((i * 13) ^ (i >> 7));
    }
}

bool IsElapsedLine(const QString& line) {
    return QRegularExpression("^ \\d\\d:\\d\\d:\\d\\d\\.\\d\\d$").match(line).hasMatch();
}

const char* kOperationButtons[] = {"SB_Read", "SB_Prog", "SB_Verify"};

}  // namespace

class OperationsTest : public QObject {
    Q_OBJECT
  private slots:
    void programThenReadGivesThePatternBack();
    void abortStopsTheOperationAndLeavesTheWindowUsable();
    void aFailedOperationClosesItsProgressWindowItself();
    void operationsDoNothingWithoutAProgrammer();
    void aProgrammerThatGoesQuietEndsTheProgramAfterOneTimeout();
    void afterAnAbortedProgramNothingWaitsForTheWorker();
    void theProductionLogGetsALinePerOperation();
};

namespace {

// Counts the turns of the event loop while it lives: a window that keeps counting is
// one that repaints and takes clicks.
struct Heartbeat {
    QTimer timer;
    int beats = 0;
    Heartbeat() {
        timer.setInterval(50);
        QObject::connect(&timer, &QTimer::timeout, [this] { ++beats; });
        timer.start();
    }
};

}  // namespace

void OperationsTest::programThenReadGivesThePatternBack() {
    Workbench w;
    MainWindowFixture& f = *w.f;
    FillPattern(f.state().buffer, 0x8000);
    const auto pattern = w.Buffer(0x8000);
    const int before = static_cast<int>(f.log().size());

    f.Operate("SB_Prog");
    QStringList lines = w.LogSince(before);
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], QString(""));
    QCOMPARE(lines.mid(1, 3),
             QStringList({" Programmed", " Verifying @ Vdd = 5.0V ", " Verified OK"}));
    QVERIFY2(IsElapsedLine(lines[4]), qPrintable(lines[4]));
    QCOMPARE(w.sim->programmer().chip().memory, pattern);
    QCOMPARE(f.sound.played.back(), Sound::Chimes);
    QCOMPARE(int(f.state().errorCount), 0);
    QVERIFY(f.window().findChild<TProgressForm*>() == nullptr);
    // The worker's effects arrive in a bounded number of UI updates, not one per byte.
    QVERIFY2(f.window().LastOperationUiUpdates() < 200,
             qPrintable(QString::number(f.window().LastOperationUiUpdates())));
    for (const char* name : kOperationButtons) {
        QVERIFY2(f.button(name)->isEnabled(), name);
    }
    QVERIFY(f.button("SB_Select")->isEnabled());
    const QString programmedChecksum = f.label("CheckL");

    std::fill(f.state().buffer.data(), f.state().buffer.data() + 0x8000, 0x00);
    f.Operate("SB_Read");
    QCOMPARE(w.LogSince(before + 5).mid(1, 1), QStringList({" Read Completed"}));
    QCOMPARE(w.Buffer(0x8000), pattern);
    QCOMPARE(f.label("CheckL"), programmedChecksum);
    QCOMPARE(
        f.label("CheckL"),
        QString::fromStdString(ChecksumText(ComputeChecksum(*f.state().record, f.state().buffer))));
}

void OperationsTest::abortStopsTheOperationAndLeavesTheWindowUsable() {
    SimulatedLink::Options slow;
    slow.realTime = true;
    slow.latency = std::chrono::milliseconds(1);  // a 32 KiB read takes seconds
    Workbench w(slow);
    MainWindowFixture& f = *w.f;
    const int before = static_cast<int>(f.log().size());
    const std::size_t soundsBefore = f.sound.played.size();

    bool pressed = false;
    QTimer::singleShot(300, [&] {
        auto* progress = f.window().findChild<TProgressForm*>();
        QVERIFY(progress != nullptr && progress->isVisible());
        Click(progress->findChild<QPushButton*>("BitBtn1"));
        pressed = true;
    });
    Click(f.button("SB_Read"));
    QVERIFY(pressed);

    QStringList lines = w.LogSince(before);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QString(""));
    QCOMPARE(lines[1], QString(" Process Aborted"));
    QVERIFY(IsElapsedLine(lines[2]));
    QCOMPARE(f.sound.played.size(), soundsBefore + 1);
    QCOMPARE(f.sound.played.back(), Sound::Error);

    // The worker ends at its next check; nothing more is logged, no second sound, and the
    // buttons come back.
    QTRY_VERIFY(!f.window().OperationBusy());
    for (const char* name : kOperationButtons) {
        QVERIFY2(f.button(name)->isEnabled(), name);
    }
    QVERIFY(f.button("SB_Select")->isEnabled());
    QTest::qWait(200);
    QCOMPARE(w.LogSince(before), lines);
    QCOMPARE(f.sound.played.size(), soundsBefore + 1);

    // And the next operation runs as usual.
    w.sim->options().realTime = false;
    f.Operate("SB_Verify");
    QVERIFY(f.log().contains(" Verifying @ Vdd = 5.0V "));
}

void OperationsTest::aFailedOperationClosesItsProgressWindowItself() {
    Workbench w;
    MainWindowFixture& f = *w.f;
    w.sim->programmer().faults.silent = true;  // the jumpers are not set
    const int before = static_cast<int>(f.log().size());
    Click(f.button("SB_Read"));  // returns only once the progress window has closed
    QVERIFY(f.window().findChild<TProgressForm*>() == nullptr);
    QTRY_VERIFY(!f.window().OperationBusy());
    QStringList lines = w.LogSince(before);
    QCOMPARE(lines.mid(0, 2), QStringList({"", " Set Jumper for 28C's"}));
    QVERIFY(IsElapsedLine(lines[2]));
    QCOMPARE(int(f.state().errorCount), 1);
    QCOMPARE(f.sound.played.back(), Sound::Error);
    QVERIFY(f.button("SB_Read")->isEnabled());

    // A corrupted byte is named with the buffer's byte and the device's.
    w.sim->programmer().faults.silent = false;
    std::fill(w.sim->programmer().chip().memory.begin(), w.sim->programmer().chip().memory.end(),
              0xFF);
    w.sim->programmer().faults.corruptAddress = 0x1A3;
    std::fill(f.state().buffer.data(), f.state().buffer.data() + 0x8000, 0xFF);
    f.Operate("SB_Verify");
    QVERIFY(f.log().contains("  Compare Error @ 0x001A3 Ram = 0xFF AT28C256 = 0x00"));
}

void OperationsTest::operationsDoNothingWithoutAProgrammer() {
    MainWindowFixture f(nullptr);
    f.Select("RadioButton2", 0, 1);
    const QStringList before = f.log();
    f.window().SB_ReadClick(f.button("SB_Read"));  // even were the button enabled
    QCOMPARE(f.log(), before);
    QVERIFY(f.sound.played.empty() || f.sound.played.back() != Sound::Chimes);
}

void OperationsTest::aProgrammerThatGoesQuietEndsTheProgramAfterOneTimeout() {
    SimulatedLink::Options realTime;
    realTime.realTime = true;  // timeouts are waited out for real, as in the window
    Workbench w(realTime);
    MainWindowFixture& f = *w.f;
    // 'E', "Go" and 'W', ten blocks with their acknowledgements, then nothing more comes.
    w.sim->options().silentAfterBytes = w.sim->transferred() + 4 + 10 * 256;
    const auto waitedBefore = w.sim->elapsed();
    const int before = static_cast<int>(f.log().size());
    Heartbeat heart;

    f.Operate("SB_Prog");
    const QStringList lines = w.LogSince(before);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.mid(0, 2), QStringList({"", " No acknowledgement from programmer"}));
    QVERIFY(IsElapsedLine(lines[2]));
    QCOMPARE(int(f.state().errorCount), 1);
    QCOMPARE(f.sound.played.back(), Sound::Error);
    // Exactly one acknowledgement timeout was waited out, with the window alive meanwhile.
    QCOMPARE((w.sim->elapsed() - waitedBefore).count(), 4000);
    QVERIFY2(heart.beats >= 20, qPrintable(QString::number(heart.beats)));
    QVERIFY(f.button("SB_Prog")->isEnabled());
}

void OperationsTest::afterAnAbortedProgramNothingWaitsForTheWorker() {
    SimulatedLink::Options slow;
    slow.realTime = true;
    slow.latency = std::chrono::milliseconds(5);  // the blocks after the abort take a second
    Workbench w(slow);
    MainWindowFixture& f = *w.f;
    FillPattern(f.state().buffer, 0x8000);
    const auto pattern = w.Buffer(0x8000);
    const int before = static_cast<int>(f.log().size());
    QTimer::singleShot(300, [&] {
        Click(f.window().findChild<TProgressForm*>()->findChild<QPushButton*>("BitBtn1"));
    });
    Click(f.button("SB_Prog"));  // returns when the progress window has gone
    Heartbeat heart;

    // The remaining blocks are still going out: nothing that reaches the link or the
    // buffer can be used, and stray calls return at once instead of waiting.
    QVERIFY(f.window().OperationBusy());
    auto* reconnect = f.window().findChild<QPushButton*>("ReconnectBT");
    for (const char* name : {"SB_Select", "SB_Read", "SB_Prog", "SB_Verify", "SB_Load"}) {
        QVERIFY2(!f.button(name)->isEnabled(), name);
    }
    QVERIFY(!reconnect->isEnabled());
    f.window().SB_SelectClick();
    f.window().ReconnectBTClick();
    f.window().SB_ReadClick(f.button("SB_Read"));
    QVERIFY(f.window().OperationBusy());
    QTRY_VERIFY(f.log().contains(" Waiting for the programmer to finish the aborted operation"));

    QTRY_VERIFY_WITH_TIMEOUT(!f.window().OperationBusy(), 20000);
    QVERIFY2(heart.beats >= 5, qPrintable(QString::number(heart.beats)));
    const QStringList lines = w.LogSince(before);
    QCOMPARE(lines.mid(0, 2), QStringList({"", " Process Aborted"}));
    QVERIFY(!lines.contains(" Programmed") && !lines.contains(" Verified OK"));
    QCOMPARE(w.sim->programmer().chip().memory, pattern);  // every block reached the chip
    QVERIFY(f.button("SB_Select")->isEnabled() && f.button("SB_Read")->isEnabled());
    QVERIFY(reconnect->isEnabled());
    QCOMPARE(
        f.label("CheckL"),
        QString::fromStdString(ChecksumText(ComputeChecksum(*f.state().record, f.state().buffer))));
}

// With the ProductionLog setting, every operation appends its line, as kardo-cli's --log.
void OperationsTest::theProductionLogGetsALinePerOperation() {
    Workbench w;
    MainWindowFixture& f = *w.f;
    f.state().ProductionLog = f.dir / "production.jsonl";
    f.Operate("SB_Prog");
    f.Operate("SB_Read");
    std::ifstream in(f.state().ProductionLog);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    QCOMPARE(int(lines.size()), 2);
    for (const char* part : {"\"device\": \"ATMEL/AT28C256\"", "\"result\": \"passed\"",
                             "\"time\": \"", "\"checksum\": \""}) {
        QVERIFY2(lines[0].find(part) != std::string::npos, part);
        QVERIFY2(lines[1].find(part) != std::string::npos, part);
    }
    QVERIFY(lines[0].find("\"operation\": \"program\"") != std::string::npos);
    QVERIFY(lines[1].find("\"operation\": \"read\"") != std::string::npos);
    QVERIFY(lines[0].front() == '{' && lines[0].back() == '}');
}

QTEST_MAIN(OperationsTest)
#include "Operations_test.moc"
