// SPDX-License-Identifier: GPL-3.0-or-later
// The self-test dialog against the virtual programmer: what goes over the link, what the
// status line says, and that the window keeps working while the programmer takes its time.
#include "algorithms/forms/TfrmTest.h"

#include <QButtonGroup>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <condition_variable>
#include <mutex>

#include "link/SimulatedLink.h"
#include "link/TraceLink.h"
#include "support/TestPaths.h"
#include "support/forms/MainWindowFixture.h"
#include "support/forms/UserActions.h"

using namespace kardo;
using namespace kardo::test;

namespace {

const std::filesystem::path kPictures = kardo::test::BuiltDataDir();

// Holds every read until the test lets it through, so the test can look at the dialog
// while a step is waiting for the programmer.
class GatedLink : public ProgrammerLink {
  public:
    explicit GatedLink(ProgrammerLink& inner) : inner_(inner) {}

    // Lets every read through from here on: a test that stops early must not leave the
    // step waiting, or the dialog's end would wait for it for ever.
    auto OpenAtEnd() {
        return qScopeGuard([this] { Allow(1000); });
    }

    void Allow(int reads) {
        std::lock_guard lock(mutex_);
        allowed_ += reads;
        changed_.notify_all();
    }
    bool ReadWaiting() {
        std::lock_guard lock(mutex_);
        return waiting_;
    }

    LinkStatus OpenEx(const std::string& d) override { return inner_.OpenEx(d); }
    LinkStatus ResetDevice() override { return inner_.ResetDevice(); }
    LinkStatus Purge(uint32_t mask) override { return inner_.Purge(mask); }
    LinkStatus SetTimeouts(uint32_t r, uint32_t w) override { return inner_.SetTimeouts(r, w); }
    LinkStatus Write(const uint8_t* data, std::size_t n, std::size_t& written) override {
        return inner_.Write(data, n, written);
    }
    LinkStatus Read(uint8_t* data, std::size_t n, std::size_t& got) override {
        {
            std::unique_lock lock(mutex_);
            waiting_ = true;
            changed_.wait(lock, [this] { return allowed_ > 0; });
            --allowed_;
            waiting_ = false;
        }
        return inner_.Read(data, n, got);
    }
    LinkStatus GetQueueStatus(std::size_t& queued) override {
        return inner_.GetQueueStatus(queued);
    }
    LinkStatus Close() override { return inner_.Close(); }

  private:
    ProgrammerLink& inner_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int allowed_ = 0;
    bool waiting_ = false;
};

struct Programmer {
    SimulatedLink sim;
    TraceLink trace{sim};
    Programmer() { sim.OpenEx(kProgrammerDescription); }

    QStringList Lines() const {
        QStringList lines;
        for (const std::string& line : trace.Lines()) {
            lines << QString::fromStdString(line);
        }
        return lines;
    }
    int Reads() const { return static_cast<int>(Lines().filter("read 1:").size()); }
};

QString Status(const TfrmTest& dialog) {
    return dialog.findChild<QLabel*>("Label1")->text();
}
QColor StatusColour(const TfrmTest& dialog) {
    return dialog.findChild<QLabel*>("Label1")->palette().color(QPalette::WindowText);
}
bool ControlsEnabled(const TfrmTest& dialog) {
    return dialog.findChild<QGroupBox*>("TestRG")->isEnabled() &&
           dialog.findChild<QPushButton*>("Button1")->isEnabled() &&
           dialog.findChild<QPushButton*>("Button2")->isEnabled();
}

// Chooses a step (or none, for -1) and presses "Go".
void Go(TfrmTest& dialog, int step) {
    if (step >= 0) {
        Click(dialog.findChild<QRadioButton*>(QString("TestRG%1").arg(step)));
    }
    Click(dialog.findChild<QPushButton*>("Button1"));
}

void WaitForStep(TfrmTest& dialog) {
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.StepRunning(), 10000);
}

void CopyPictures(const std::filesystem::path& to) {
    for (const char* name : {"Test.jpg", "Test_2.jpg"}) {
        std::filesystem::copy_file(kPictures / name, to / name);
    }
}

}  // namespace

class TfrmTestTest : public QObject {
    Q_OBJECT
  private slots:
    void goWithNoStepSendsFFAndKeepsTheTextWhileItRuns();
    void programmersAnswerDecidesTheStatusLine();
    void silentProgrammerFailsAfter31ReadsWhileTheWindowResponds();
    void selfTestButtonShowsThePictureOfTheBoardInUse();
    void missingPictureIsSaidAndTheTestStillRuns();
    void withoutAProgrammerEveryStepFails();
};

void TfrmTestTest::goWithNoStepSendsFFAndKeepsTheTextWhileItRuns() {
    Programmer p;
    GatedLink gate(p.trace);
    TfrmTest dialog(&gate, 40, kPictures, nullptr);
    const auto release = gate.OpenAtEnd();
    dialog.show();
    Go(dialog, -1);
    QTRY_VERIFY(gate.ReadWaiting());
    QCOMPARE(p.Lines(), QStringList({"purge 3", "write 54", "write FF", "timeouts 1000/1000"}));
    QCOMPARE(Status(dialog), QString("** REMOVE  ALL  JUMPERS **"));
    QVERIFY(!ControlsEnabled(dialog));
    gate.Allow(31);
    WaitForStep(dialog);
    QCOMPARE(Status(dialog), QString());  // the programmer said 'D'
    QVERIFY(ControlsEnabled(dialog));
}

void TfrmTestTest::programmersAnswerDecidesTheStatusLine() {
    Programmer p;
    TfrmTest dialog(&p.trace, 40, kPictures, nullptr);
    dialog.show();
    const QColor windowText = dialog.palette().color(QPalette::WindowText);

    Go(dialog, 0);  // 'D' at once
    WaitForStep(dialog);
    QCOMPARE(Status(dialog), QString());
    QCOMPARE(p.Reads(), 1);

    p.sim.programmer().faults.selfTestNoise = 31;
    p.trace.Clear();
    Go(dialog, 2);
    WaitForStep(dialog);
    QCOMPARE(p.Lines().mid(1, 2), QStringList({"write 54", "write 02"}));
    QCOMPARE(p.Reads(), 31);
    QCOMPARE(Status(dialog), QString("Test failed"));
    QCOMPARE(StatusColour(dialog), QColor(Qt::red));
    QVERIFY(dialog.isVisible());  // another step can be tried
    QVERIFY(ControlsEnabled(dialog));

    // 30 other bytes and then 'D' still pass, and the text is in its usual colour again.
    p.sim.programmer().faults.selfTestNoise = 30;
    GatedLink gate(p.trace);
    TfrmTest again(&gate, 40, kPictures, nullptr);
    const auto release = gate.OpenAtEnd();
    again.show();
    Go(again, 3);
    QTRY_VERIFY(gate.ReadWaiting());
    QCOMPARE(Status(again), QString("DATA/MOSI will be high for 1s, low for 1s (5x)"));
    gate.Allow(31);
    WaitForStep(again);
    QCOMPARE(Status(again), QString());

    Go(dialog, 6);
    WaitForStep(dialog);
    QCOMPARE(Status(dialog), QString());
    QCOMPARE(StatusColour(dialog), windowText);
}

void TfrmTestTest::silentProgrammerFailsAfter31ReadsWhileTheWindowResponds() {
    Programmer p;
    p.sim.programmer().faults.silent = true;
    GatedLink gate(p.trace);
    TfrmTest dialog(&gate, 24, kPictures, nullptr);
    const auto release = gate.OpenAtEnd();
    dialog.show();
    Go(dialog, 1);
    QTRY_VERIFY(gate.ReadWaiting());
    QCOMPARE(Status(dialog), QString("VPP will be 12.5V - 13V for 5s"));

    // The programmer is taking its time: the window still handles its events.
    bool timerRan = false;
    QTimer::singleShot(0, &dialog, [&timerRan] { timerRan = true; });
    QTRY_VERIFY(timerRan);
    const QPoint moved = dialog.pos() + QPoint(40, 30);
    dialog.move(moved);
    QCOMPARE(dialog.pos(), moved);
    QVERIFY(!dialog.grab().isNull());  // it repaints
    QVERIFY(!ControlsEnabled(dialog));
    dialog.reject();  // Escape or the window's close: not while the step runs
    dialog.close();
    QTest::qWait(20);
    QVERIFY(dialog.isVisible());

    gate.Allow(40);
    WaitForStep(dialog);
    QCOMPARE(p.Reads(), 31);
    QCOMPARE(p.sim.elapsed(), std::chrono::milliseconds(31000));  // on the virtual clock
    QCOMPARE(Status(dialog), QString("Test failed"));
    QCOMPARE(StatusColour(dialog), QColor(Qt::red));
    Click(dialog.findChild<QPushButton*>("Button2"));
    QVERIFY(!dialog.isVisible());
}

void TfrmTestTest::selfTestButtonShowsThePictureOfTheBoardInUse() {
    for (const auto& [firmware, size] : {std::pair{1, QSize(340, 300)}, {3, QSize(420, 300)}}) {
        auto link = std::make_unique<SimulatedLink>();
        link->programmer().firmwareVersion = static_cast<uint8_t>(firmware);
        MainWindowFixture f(std::move(link));
        CopyPictures(f.dir.path());
        bool shown = false;
        f.dialogs.drivers.push_back([&](QDialog& dialog) {
            shown = true;
            QCOMPARE(dialog.windowTitle(), QString("Test KARDO Hardware"));
            QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
            QCOMPARE(dialog.findChild<QGroupBox*>("PINS")->title(), QString("PINS"));
            const QLabel* picture = dialog.findChild<QLabel*>("Image2");
            QCOMPARE(picture->pixmap().size(), size);
            const std::pair<const char*, QColor> pins[] = {
                {"VCC", QColor("red")},         {"VPP", QColor("yellow")}, {"CLK", QColor("blue")},
                {"DATA/MOSI", QColor("white")}, {"MISO", QColor("navy")},  {"RST", QColor("green")},
                {"GND", QColor("black")}};
            for (const auto& [name, colour] : pins) {
                const QLabel* pin = dialog.findChild<QLabel*>(QString("Pin") + name);
                QVERIFY2(pin != nullptr, name);
                QCOMPARE(pin->text(), QString(name));
                QCOMPARE(pin->palette().color(QPalette::WindowText), colour);
            }
            QCOMPARE(dialog.findChild<QGroupBox*>("TestRG")->title(), QString(" Test "));
            QStringList items;
            for (int i = 0; i < 7; ++i) {
                items << dialog.findChild<QRadioButton*>(QString("TestRG%1").arg(i))->text();
            }
            QCOMPARE(items, QStringList({"VCC", "VPP", "CLK", "DATA/MOSI", "MISO", "RST", "LED"}));
            const QLabel* status = dialog.findChild<QLabel*>("Label1");
            QCOMPARE(status->text(), QString("** REMOVE  ALL  JUMPERS **"));
            QVERIFY(status->alignment() & Qt::AlignHCenter);
            // What the dialog asks for, not what this machine's fonts resolve it to.
            const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
            QCOMPARE(status->font().families(), fixed.families());
            QCOMPARE(status->font().styleHint(), fixed.styleHint());
            QCOMPARE(dialog.findChild<QPushButton*>("Button1")->text(), QString("Go"));
            QCOMPARE(dialog.findChild<QPushButton*>("Button2")->text(), QString("Cancel"));
            Click(dialog.findChild<QPushButton*>("Button2"));
            QVERIFY(!dialog.isVisible());
        });
        Click(f.button("SB_Test"));
        QVERIFY(shown);
    }
}

void TfrmTestTest::missingPictureIsSaidAndTheTestStillRuns() {
    MainWindowFixture f(std::make_unique<SimulatedLink>());  // no pictures in its directory
    bool ran = false;
    f.dialogs.drivers.push_back([&](QDialog& dialog) {
        const QLabel* picture = dialog.findChild<QLabel*>("Image2");
        QVERIFY(picture->pixmap().isNull());
        QVERIFY2(picture->text().startsWith("Cannot show Test_2.jpg: "),
                 qPrintable(picture->text()));
        auto& test = static_cast<TfrmTest&>(dialog);
        Go(test, 5);
        WaitForStep(test);
        QCOMPARE(Status(test), QString());
        ran = true;
    });
    Click(f.button("SB_Test"));
    QVERIFY(ran);
}

void TfrmTestTest::withoutAProgrammerEveryStepFails() {
    TfrmTest noBackend(nullptr, 24, kPictures, nullptr);
    noBackend.show();
    Go(noBackend, 0);
    WaitForStep(noBackend);
    QCOMPARE(Status(noBackend), QString("Test failed"));

    // Demonstration mode: the link never opened, so every read fails at once.
    SimulatedLink::Options absent;
    absent.present = false;
    SimulatedLink sim(absent);
    TfrmTest demo(&sim, 24, kPictures, nullptr);
    demo.show();
    Go(demo, 6);
    WaitForStep(demo);
    QCOMPARE(Status(demo), QString("Test failed"));
    QCOMPARE(sim.elapsed(), std::chrono::milliseconds(0));
}

QTEST_MAIN(TfrmTestTest)
#include "TfrmTest_test.moc"
