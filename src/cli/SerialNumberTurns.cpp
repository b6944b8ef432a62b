// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/SerialNumberTurns.h"

namespace kardo::cli {

void SerialNumberTurns::WaitFor(std::unique_lock<std::mutex>& lock, std::size_t programmer) {
    turnChanged_.wait(lock, [&] { return turn_ >= programmer; });
}

uint64_t SerialNumberTurns::Take(std::size_t programmer) {
    std::unique_lock lock(mutex_);
    WaitFor(lock, programmer);
    const uint64_t number = next_;
    next_ += increment_;
    turn_ = programmer + 1;
    turnChanged_.notify_all();
    return number;
}

void SerialNumberTurns::Pass(std::size_t programmer) {
    std::unique_lock lock(mutex_);
    WaitFor(lock, programmer);
    turn_ = programmer + 1;
    turnChanged_.notify_all();
}

uint64_t SerialNumberTurns::Next() const {
    const std::lock_guard lock(mutex_);
    return next_;
}

}  // namespace kardo::cli
