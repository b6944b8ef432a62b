// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ProgrammerLock.h"

#include <utility>

namespace kardo {

std::string ProgrammerLockFileName(const std::string& name) {
    std::string file = "programmer-";
    for (const char c : name) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                           (c >= 'a' && c <= 'z') || c == '-' || c == '.';
        file += plain ? c : '_';
    }
    file += ".lock";
    return file;
}

ProgrammerLock::ProgrammerLock(ProgrammerLock&& other) noexcept
    : state_(std::exchange(other.state_, State::Unlocked)),
      handle_(std::exchange(other.handle_, -1)),
      holder_(std::move(other.holder_)) {}

ProgrammerLock& ProgrammerLock::operator=(ProgrammerLock&& other) noexcept {
    if (this != &other) {
        Release();
        state_ = std::exchange(other.state_, State::Unlocked);
        handle_ = std::exchange(other.handle_, -1);
        holder_ = std::move(other.holder_);
    }
    return *this;
}

}  // namespace kardo
