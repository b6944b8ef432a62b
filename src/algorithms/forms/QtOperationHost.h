// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "algorithms/OperationHost.h"
#include "algorithms/forms/TProgressForm.h"

namespace kardo {

// Carries an operation's effects from its worker to the UI thread: every call is
// queued under our own lock and run by this object, which lives on the UI thread.
// The lock, not Qt's event queue, hands the effects over, so the hand-over is visible
// to the thread checker as well as correct. Gauge moves are only stored; a
// timer shows the latest one at screen rate, so an operation of millions of units does
// not flood the event loop.
class QtOperationHost : public QObject, public OperationHost {
    Q_OBJECT
public:
    struct Window {
        std::function<void(const std::string&)> log;
        std::function<void(const std::string&)> showChecksum;
        std::function<void()> ended;
        std::function<Answer(const std::string& text, const std::string& caption)> ask;
    };

    QtOperationHost(TProgressForm& progress, Window window);
    ~QtOperationHost() override;

    void Log(const std::string& line) override;
    void SetCaption(const std::string& caption) override;
    void SetGauge(int64_t maximum, int64_t position) override;
    void ShowChecksum(const std::string& text) override;
    void CloseProgress() override;
    void OperationEnded() override;
    Answer AskAbortRetryIgnore(const std::string& text, const std::string& caption,
                               const std::atomic<bool>& running) override;

    // How many times the worker's effects reached the windows.
    int UiUpdates() const { return uiUpdates_.load(); }

signals:
    void EffectsWaiting();

private:
    void Post(std::function<void()> effect);
    void RunEffects();
    void ShowGauge();

    QPointer<TProgressForm> progress_;
    Window window_;
    std::mutex effectsLock_;
    std::deque<std::function<void()>> effects_;
    QTimer gaugeTimer_;
    std::atomic<int64_t> gaugeMaximum_{0};
    std::atomic<int64_t> gaugePosition_{0};
    std::atomic<bool> gaugeMoved_{false};
    std::atomic<int> uiUpdates_{0};
};

}  // namespace kardo
