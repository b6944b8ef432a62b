// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace kardo::cli {

// The serial numbers of a gang: every chip the next number, none twice. The programmers
// take their turns in their own order, so that the socket of the first programmer gets
// the first number whichever worker is ready first; a programmer that never got as far
// as its chip passes its turn and uses no number. A number once taken is never handed
// out again, even when its chip then fails.
class SerialNumberTurns {
  public:
    SerialNumberTurns(uint64_t first, uint64_t increment) : next_(first), increment_(increment) {}

    // Waits for the programmers before `programmer` to take or pass, then takes the next.
    uint64_t Take(std::size_t programmer);
    // This programmer will take no number.
    void Pass(std::size_t programmer);
    // The number after the last one taken.
    uint64_t Next() const;

  private:
    void WaitFor(std::unique_lock<std::mutex>& lock, std::size_t programmer);

    mutable std::mutex mutex_;
    std::condition_variable turnChanged_;
    uint64_t next_;
    const uint64_t increment_;
    std::size_t turn_ = 0;  // whose turn it is
};

// Makes sure a worker's turn is passed when it does not take a number, however it ends.
class SerialNumberTurn {
  public:
    SerialNumberTurn(SerialNumberTurns* turns, std::size_t programmer)
        : turns_(turns), programmer_(programmer) {}
    ~SerialNumberTurn() {
        if (turns_ != nullptr && !taken_) {
            turns_->Pass(programmer_);
        }
    }
    SerialNumberTurn(const SerialNumberTurn&) = delete;
    SerialNumberTurn& operator=(const SerialNumberTurn&) = delete;

    uint64_t Take() {
        taken_ = true;
        return turns_->Take(programmer_);
    }

  private:
    SerialNumberTurns* turns_;
    std::size_t programmer_;
    bool taken_ = false;
};

}  // namespace kardo::cli
