// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "algorithms/OperationHost.h"
#include "app/AppState.h"
#include "app/Sounds.h"

class QWidget;

namespace kardo {

class Dialogs;
class TProgressForm;
struct OperationRun;

// One device operation from the button press to its result: the locked controls, the
// modal progress window, the worker, the elapsed time, the sound and the checksum.
//
// The controls stay locked until the worker has ended and the checksum is shown, also
// after an abort: a program that was aborted still sends the blocks the programmer
// expects, and nothing may reach the link or the buffer before it has. So the window
// never waits for a worker, and a click can never start a second operation, a
// selection or a reconnect while the first is still finishing.
class OperationControl : public QObject {
    Q_OBJECT
  public:
    // What an operation needs of the main window.
    struct Window {
        std::function<void(const std::string&)> log;
        std::function<void(const std::string&)> showChecksum;
        std::function<void()> refreshChecksum;
        // true: every control that reaches the link or the buffer off; false: the
        // buttons the record allows, Select and Reconnect on again.
        std::function<void(bool locked)> lockControls;
        std::function<void(Sound)> play;
        std::function<void()> focus;
        std::function<void()> idle;  // the operation has finished completely
        // The worker's Abort / Retry / Ignore question, asked without an owner window.
        std::function<OperationHost::Answer(const std::string& text, const std::string& caption)>
            ask;
        // The serial number moved on after a program that wrote one and succeeded.
        std::function<void()> serialAdvanced = {};
    };

    OperationControl(AppState& state, QWidget& parent, Window window);
    ~OperationControl() override;

    // Runs the operation `code` with the progress window titled `caption`; returns once
    // the progress window has closed. The rest of the finish follows on its own.
    void Run(char code, const char* caption);

    // From the start of an operation until it has finished completely.
    bool Busy() const { return run_ != nullptr; }

    // Stops a worker that is still running and waits for it: only for closing.
    void Shutdown();

    // How many effects of the last operation reached the windows (for the benchmarks).
    int LastUiUpdates() const { return lastUiUpdates_; }

  private:
    void Abort(TProgressForm& progress);
    void WorkerEnded();
    void FinishStepDue();
    void FinishIfDone();
    // Writes the serial number before a Program; false when the Program must not run.
    bool PrepareSerialNumber(char code, std::string& line);

    AppState& state_;
    QWidget& parent_;
    Window window_;
    std::unique_ptr<OperationRun> run_;
    std::vector<std::unique_ptr<OperationRun>> retired_;  // ended, destroyed once idle
    int lastUiUpdates_ = 0;
};

// The worker's question through the dialogs: a message box without owner, error icon.
OperationHost::Answer AskAbortRetryIgnore(Dialogs& dialogs, const std::string& text,
                                          const std::string& caption);

}  // namespace kardo
