// SPDX-License-Identifier: GPL-3.0-or-later
// A gang's serial numbers, taken from worker threads in whatever order they come.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <thread>
#include <vector>

#include "cli/SerialNumberTurns.h"

namespace kardo::cli {
namespace {

// The workers start last first; still the first programmer's chip gets the first number,
// one that never got to its chip uses none, and no number is handed out twice.
TEST(SerialNumberTurns, NumbersGoInTheProgrammersOrderWhoeverIsReadyFirst) {
    SerialNumberTurns turns(1000, 2);
    std::array<std::optional<uint64_t>, 4> taken;
    std::vector<std::thread> workers;
    for (std::size_t i = taken.size(); i-- > 0;) {
        workers.emplace_back([&turns, &taken, i] {
            SerialNumberTurn turn(&turns, i);
            if (i != 1) {
                taken[i] = turn.Take();
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    EXPECT_EQ(taken[0], 1000u);
    EXPECT_FALSE(taken[1].has_value());
    EXPECT_EQ(taken[2], 1002u);
    EXPECT_EQ(taken[3], 1004u);
    EXPECT_EQ(turns.Next(), 1006u);
}

}  // namespace
}  // namespace kardo::cli
