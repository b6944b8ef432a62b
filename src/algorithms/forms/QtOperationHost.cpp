// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/forms/QtOperationHost.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <optional>

namespace kardo {

QtOperationHost::QtOperationHost(TProgressForm& progress, Window window)
    : progress_(&progress), window_(std::move(window)) {
    gaugeTimer_.setInterval(33);
    connect(&gaugeTimer_, &QTimer::timeout, this, &QtOperationHost::ShowGauge);
    gaugeTimer_.start();
    connect(this, &QtOperationHost::EffectsWaiting, this, &QtOperationHost::RunEffects,
            Qt::QueuedConnection);
}

QtOperationHost::~QtOperationHost() = default;

void QtOperationHost::Post(std::function<void()> effect) {
    bool wasEmpty = false;
    {
        std::lock_guard lock(effectsLock_);
        wasEmpty = effects_.empty();
        effects_.push_back(std::move(effect));
    }
    // One wake-up per batch: effects posted before the UI thread runs share it.
    if (wasEmpty) {
        emit EffectsWaiting();
    }
}

void QtOperationHost::RunEffects() {
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard lock(effectsLock_);
        batch.swap(effects_);
    }
    for (auto& effect : batch) {
        ++uiUpdates_;
        effect();
    }
}

void QtOperationHost::ShowGauge() {
    if (gaugeMoved_.exchange(false) && progress_) {
        ++uiUpdates_;
        progress_->SetGauge(gaugeMaximum_.load(), gaugePosition_.load());
    }
}

void QtOperationHost::Log(const std::string& line) {
    Post([this, line] { window_.log(line); });
}

void QtOperationHost::SetCaption(const std::string& caption) {
    Post([this, caption] {
        if (progress_) {
            progress_->setWindowTitle(QString::fromStdString(caption));
        }
    });
}

void QtOperationHost::SetGauge(int64_t maximum, int64_t position) {
    gaugeMaximum_.store(maximum, std::memory_order_relaxed);
    gaugePosition_.store(position, std::memory_order_relaxed);
    gaugeMoved_.store(true, std::memory_order_release);
}

void QtOperationHost::ShowChecksum(const std::string& text) {
    Post([this, text] { window_.showChecksum(text); });
}

void QtOperationHost::CloseProgress() {
    Post([this] {
        ShowGauge();
        if (progress_) {
            progress_->Finish();
        }
    });
}

void QtOperationHost::OperationEnded() {
    Post([this] { window_.ended(); });
}

namespace {

// One question between the worker, which waits, and the UI thread, which asks.
struct PendingQuestion {
    std::mutex lock;
    std::condition_variable answered;
    std::optional<OperationHost::Answer> answer;
    bool withdrawn = false;  // the worker stopped waiting: nothing more to ask
};

}  // namespace

OperationHost::Answer QtOperationHost::AskAbortRetryIgnore(const std::string& text,
                                                           const std::string& caption,
                                                           const std::atomic<bool>& running) {
    auto question = std::make_shared<PendingQuestion>();
    Post([this, question, text, caption] {
        {
            std::lock_guard lock(question->lock);
            if (question->withdrawn) {
                return;
            }
        }
        const Answer answer = window_.ask ? window_.ask(text, caption) : Answer::Abort;
        std::lock_guard lock(question->lock);
        question->answer = answer;
        question->answered.notify_all();
    });
    // The worker never waits on the UI thread alone: an abort, or the window closing and
    // joining the worker, ends the wait within a few hundredths of a second.
    std::unique_lock lock(question->lock);
    while (!question->answer) {
        if (!running.load()) {
            question->withdrawn = true;
            return Answer::Abort;
        }
        question->answered.wait_for(lock, std::chrono::milliseconds(20));
    }
    return *question->answer;
}

}  // namespace kardo
