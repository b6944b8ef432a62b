// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/ElapsedTime.h"

#include "common/Format.h"

namespace kardo {

std::string ElapsedTimeLine(int64_t milliseconds) {
    constexpr int64_t kDay = 24 * 3600000;
    const int64_t t = ((milliseconds % kDay) + kDay) % kDay;
    return Format(" %.2d:%.2d:%.2d.%.2d", static_cast<int>(t / 3600000),
                  static_cast<int>((t / 60000) % 60), static_cast<int>((t / 1000) % 60),
                  static_cast<int>((t % 1000) / 10));
}

}  // namespace kardo
