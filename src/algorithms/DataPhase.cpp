// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/DataPhase.h"

namespace kardo {

bool DataPhase::Receive(uint8_t* into, std::size_t n, const char* lineOnFailure) {
    std::size_t got = 0;
    if (const LinkStatus status = c_.link.Read(into, n, got); status != kLinkOk || got != n) {
        return Fail(status, lineOnFailure);
    }
    return true;
}

bool DataPhase::Send(const uint8_t* data, std::size_t n) {
    std::size_t written = 0;
    if (const LinkStatus status = c_.link.Write(data, n, written);
        status != kLinkOk || written != n) {
        return Fail(status, kWriteFailedLine);
    }
    return true;
}

bool DataPhase::Fail(LinkStatus status, const char* line) {
    if (status != kLinkOk && linkFailure_ != nullptr) {
        linkFailure_->Keep(status, line);
        return false;
    }
    c_.CountError();
    if (c_.Running()) {
        c_.Log(line);
    }
    return false;
}

}  // namespace kardo
