// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/SimulatedLink.h"

#include <algorithm>
#include <thread>

namespace kardo {

void SimulatedLink::StartModel() {
    if (options_.usb && !bridge_) {
        bridge_.emplace(*options_.usb);
    }
}

void SimulatedLink::Wait(std::chrono::milliseconds time) {
    if (time.count() <= 0) {
        return;
    }
    if (bridge_) {
        bridge_->Wait(time);
        return;
    }
    elapsed_ += time;
    if (options_.realTime) {
        std::this_thread::sleep_for(time);
    }
}

std::size_t SimulatedLink::Allowance(const std::optional<std::size_t>& limit, std::size_t n) const {
    if (!limit) {
        return n;
    }
    return transferred_ >= *limit ? 0 : std::min(n, *limit - transferred_);
}

LinkStatus SimulatedLink::OpenEx(const std::string& description) {
    if (!options_.present || description != kProgrammerDescription) {
        return kLinkDeviceNotFound;
    }
    open_ = true;
    StartModel();
    return kLinkOk;
}

LinkStatus SimulatedLink::ResetDevice() {
    if (!open_)
        return kLinkInvalidHandle;
    if (bridge_) {
        bridge_->Reset(programmer_);
        return kLinkOk;
    }
    programmer_.Reset();
    return kLinkOk;
}

LinkStatus SimulatedLink::Purge(uint32_t mask) {
    if (!open_)
        return kLinkInvalidHandle;
    if (bridge_) {
        bridge_->Purge(programmer_);
    } else if (mask & 1u) {
        programmer_.DropOutput();
    }
    return kLinkOk;
}

LinkStatus SimulatedLink::SetTimeouts(uint32_t readMs, uint32_t) {
    if (!open_)
        return kLinkInvalidHandle;
    readTimeout_ = std::chrono::milliseconds(readMs);
    return kLinkOk;
}

LinkStatus SimulatedLink::Write(const uint8_t* data, std::size_t n, std::size_t& written) {
    written = 0;
    if (!open_)
        return kLinkInvalidHandle;
    Wait(options_.latency);
    written = std::min(Allowance(options_.failAfterBytes, n),
                       Allowance(options_.writesFailAfterBytes, n));
    transferred_ += written;
    if (bridge_) {
        bridge_->Write(programmer_, data, written);
    } else {
        programmer_.Receive(data, written);
    }
    return written == n ? kLinkOk : kLinkIoError;
}

LinkStatus SimulatedLink::Read(uint8_t* data, std::size_t n, std::size_t& got) {
    got = 0;
    if (!open_)
        return kLinkInvalidHandle;
    Wait(options_.latency);
    const std::size_t allowed = Allowance(options_.failAfterBytes, n);
    const std::size_t limit = std::min(allowed, Allowance(options_.silentAfterBytes, n));
    if (bridge_) {
        // The model waits out the read timeout itself when the bytes do not come; a link
        // that breaks during the read ends it once the bytes before the break are in.
        got = bridge_->Read(programmer_, data, allowed < n ? limit : n, limit, readTimeout_);
        transferred_ += got;
        return allowed < n ? kLinkIoError : kLinkOk;
    }
    got = programmer_.Take(data, limit);
    transferred_ += got;
    if (allowed < n) {
        return kLinkIoError;
    }
    if (got < n) {
        Wait(readTimeout_);  // the rest never comes
    }
    return kLinkOk;
}

LinkStatus SimulatedLink::GetQueueStatus(std::size_t& queued) {
    queued = 0;
    if (!open_)
        return kLinkInvalidHandle;
    // A programmer that went quiet has nothing more for us, whatever it still holds.
    queued = Allowance(options_.silentAfterBytes,
                       bridge_ ? bridge_->Poll(programmer_) : programmer_.Available());
    if (Allowance(options_.failAfterBytes, 1) == 0) {
        queued = 0;
        return kLinkIoError;
    }
    return kLinkOk;
}

LinkStatus SimulatedLink::Close() {
    if (!open_)
        return kLinkInvalidHandle;
    open_ = false;
    return kLinkOk;
}

}  // namespace kardo
