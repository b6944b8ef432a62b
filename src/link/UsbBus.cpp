// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/UsbBus.h"

namespace kardo {

bool UsbBus::Claim(int64_t slot) {
    const std::lock_guard lock(mutex_);
    const auto at = static_cast<std::size_t>(slot);
    if (at >= taken_.size()) {
        taken_.resize(at + 1 + taken_.size() / 2);
    } else if (taken_[at]) {
        return false;
    }
    taken_[at] = true;
    ++claimed_;
    return true;
}

int64_t UsbBus::claimed() const {
    const std::lock_guard lock(mutex_);
    return claimed_;
}

}  // namespace kardo
