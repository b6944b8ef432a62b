// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/forms/OperationControl.h"

#include <QTimer>
#include <QWidget>
#include <chrono>
#include <thread>

#include "algorithms/ElapsedTime.h"
#include "algorithms/OperationContext.h"
#include "algorithms/OperationDispatch.h"
#include "algorithms/forms/QtOperationHost.h"
#include "algorithms/forms/TProgressForm.h"
#include "app/WindowProductionLog.h"
#include "common/forms/Dialogs.h"
#include "config/SerialNumber.h"
#include "devicedb/DeviceDatabase.h"
#include "fileio/NotProgrammed.h"

namespace kardo {
namespace {

// The wait between the progress window closing and the checksum.
constexpr int kChecksumDelayMs = 250;

}  // namespace

// One operation's worker with what it works through; kept until the worker has ended.
struct OperationRun {
    std::unique_ptr<QtOperationHost> host;
    std::unique_ptr<OperationContext> context;
    std::thread Thread1;  // the worker
    bool workerEnded = false;
    bool finishStepDue = false;
    bool serialWritten = false;
    int64_t durationMs = 0;

    ~OperationRun() {
        if (Thread1.joinable()) {
            Thread1.join();
        }
    }
};

OperationControl::OperationControl(AppState& state, QWidget& parent, Window window)
    : state_(state), parent_(parent), window_(std::move(window)) {}

OperationControl::~OperationControl() {
    Shutdown();
}

void OperationControl::Shutdown() {
    state_.running = false;
    run_.reset();  // joins a worker that is still ending
    retired_.clear();
}

void OperationControl::Run(char code, const char* caption) {
    if (Busy()) {
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    state_.buffer.BufferPos = 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    if (state_.connection.LinkState == 0 || (state_.DatabaseFlags & kAnyDatabaseMask) == 0 ||
        !state_.record || !state_.link) {
        return;
    }
    std::string serialLine;
    if (!PrepareSerialNumber(code, serialLine)) {
        return;
    }
    window_.lockControls(true);

    TProgressForm progress(&parent_);
    window_.log("");
    if (!serialLine.empty()) {
        window_.log(serialLine);
    }
    // No ISP step writes the data EEPROM: what the buffer holds there stays out of the
    // chip, and the log says so rather than let the program pass for the whole file.
    if (code == 'P' && state_.record->Family() == 'M') {
        if (const std::string left = NotProgrammedText(*state_.record, state_.buffer);
            !left.empty()) {
            window_.log(" Not programmed: " + left);
        }
    }
    state_.OperationCode = code;
    progress.setWindowTitle(caption);
    connect(&progress, &TProgressForm::BitBtn1Click, this, [this, &progress] { Abort(progress); });
    state_.running = true;
    state_.link->Purge(kPurgeRxTx);

    run_ = std::make_unique<OperationRun>();
    OperationRun& run = *run_;
    run.serialWritten = !serialLine.empty();
    run.host = std::make_unique<QtOperationHost>(
        progress, QtOperationHost::Window{window_.log, window_.showChecksum,
                                          [this] { WorkerEnded(); }, window_.ask});
    run.context = std::make_unique<OperationContext>(
        *state_.record, state_.buffer, state_.OperationCode, state_.errorCount, state_.running,
        *state_.link, state_.connection.FirmwareVersion, *run.host,
        OperationChoices{state_.ProgBits, state_.options.Id_flag, state_.configBits});
    run.Thread1 = std::thread([&run] { RunOperation(*run.context); });

    progress.exec();

    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    window_.log(ElapsedTimeLine(took.count()));
    run.durationMs = took.count();
    if (state_.running) {
        window_.play(state_.errorCount != 0 ? Sound::Error : Sound::Chimes);
    }
    // A timer, not a nested event loop: nothing can be clicked meanwhile anyway, since the
    // controls stay locked until the finish.
    QTimer::singleShot(kChecksumDelayMs, this, [this] { FinishStepDue(); });
}

bool OperationControl::PrepareSerialNumber(char code, std::string& line) {
    if (code != 'P' || !WritesSerialNumber(*state_.record, state_.serial)) {
        return true;
    }
    const SerialInsertion serial = InsertSerialNumber(state_.buffer, *state_.record, state_.serial);
    if (!serial.written) {
        window_.log("");
        window_.log(serial.line);
        window_.play(Sound::Error);
        return false;
    }
    line = serial.line;
    return true;
}

void OperationControl::Abort(TProgressForm& progress) {
    state_.running = false;
    progress.hide();
    window_.log(" Process Aborted");
    window_.play(Sound::Error);
    progress.Finish();
}

// The worker's last word, on the UI thread: it is about to return, so the join is short.
void OperationControl::WorkerEnded() {
    if (!run_) {
        return;
    }
    lastUiUpdates_ = run_->host->UiUpdates();
    if (run_->Thread1.joinable()) {
        run_->Thread1.join();
    }
    run_->workerEnded = true;
    FinishIfDone();
}

void OperationControl::FinishStepDue() {
    if (!run_) {
        return;
    }
    run_->finishStepDue = true;
    if (!run_->workerEnded && !state_.running) {
        window_.log(" Waiting for the programmer to finish the aborted operation");
    }
    FinishIfDone();
}

void OperationControl::FinishIfDone() {
    if (!run_->workerEnded || !run_->finishStepDue) {
        return;
    }
    const bool passed = state_.running && state_.errorCount == 0;
    const std::string logged = WriteWindowProductionLine(
        state_, state_.OperationCode, passed, run_->durationMs,
        run_->serialWritten ? std::optional<uint64_t>(state_.serial.next) : std::nullopt);
    if (!logged.empty()) {
        window_.log(" Production log " + state_.ProductionLog.string() + " not written: " + logged);
    }
    // A number is used up only by a program that was verified; a failed or aborted one
    // leaves it for the next chip.
    if (run_->serialWritten && passed) {
        AdvanceSerialNumber(state_.serial);
        if (window_.serialAdvanced) {
            window_.serialAdvanced();
        }
    }
    // This may run inside one of the run's own posted effects: it is destroyed later,
    // once that effect has returned.
    retired_.push_back(std::move(run_));
    QTimer::singleShot(0, this, [this] { retired_.clear(); });
    window_.refreshChecksum();
    window_.lockControls(false);
    window_.focus();
    window_.idle();
}

OperationHost::Answer AskAbortRetryIgnore(Dialogs& dialogs, const std::string& text,
                                          const std::string& caption) {
    switch (dialogs.AskAbortRetryIgnore(nullptr, QString::fromStdString(text),
                                        QString::fromStdString(caption), Dialogs::Icon::Error)) {
        case Dialogs::Answer::Abort:
            return OperationHost::Answer::Abort;
        case Dialogs::Answer::Retry:
            return OperationHost::Answer::Retry;
        case Dialogs::Answer::Ignore:
            return OperationHost::Answer::Ignore;
        case Dialogs::Answer::Other:
            break;
    }
    return OperationHost::Answer::Other;
}

}  // namespace kardo
