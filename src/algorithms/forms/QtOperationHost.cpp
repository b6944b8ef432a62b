#include "algorithms/forms/QtOperationHost.h"

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

}  // namespace kardo
