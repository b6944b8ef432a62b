// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/FtdiLink.h"

#include <thread>

namespace kardo {

FtdiLink::FtdiLink(std::string name) : factory_(MakeLibFtdiBackend), wanted_(std::move(name)) {}

std::vector<std::string> FtdiLink::List(const BackendFactory& factory) {
    std::vector<std::string> names;
    if (const std::unique_ptr<FtdiBackend> ftdi = factory(); ftdi != nullptr) {
        for (const uint16_t product : kProducts) {
            for (std::string& name : ftdi->List(kVendor, product, kProgrammerDescription)) {
                names.push_back(std::move(name));
            }
        }
    }
    return names;
}

FtdiLink::~FtdiLink() {
    Close();
}

LinkStatus FtdiLink::OpenEx(const std::string& description) {
    Close();
    std::unique_ptr<FtdiBackend> ftdi = factory_();
    if (ftdi == nullptr) {
        return kLinkDeviceNotFound;  // USB itself is not available to us
    }
    bool opened = false;
    openProblem_.clear();
    for (const uint16_t product : kProducts) {
        if (ftdi->OpenByDescription(kVendor, product, description, wanted_)) {
            opened = true;
            break;
        }
    }
    if (!opened) {
        if (const int n = ftdi->Unopened(); n > 0) {
            openProblem_ = std::to_string(n) + (n == 1 ? " USB device" : " USB devices") +
                           " of the programmer's maker (vendor 0403) could not be read or opened";
            if (const std::string why = ftdi->UnopenedReason(); !why.empty()) {
                openProblem_ += " (" + why + ")";
            }
        }
        return kLinkDeviceNotFound;
    }
    ftdi_ = std::move(ftdi);
    // The latency timer stays set in the bridge until it loses power; another program
    // opening it after us should find it as we did.
    uint8_t found = 0;
    if (ftdi_->GetLatencyTimer(found) >= 0) {
        latencyFound_ = found;
    }
    ftdi_->SetLatencyTimer(kLatencyMs);
    ftdi_->SetChunkSizes(kReadChunk, kWriteChunk);
    SetTimeouts(1000, 1000);
    return kLinkOk;
}

LinkStatus FtdiLink::ResetDevice() {
    if (!ftdi_)
        return kLinkInvalidHandle;
    received_.clear();
    const int result = ftdi_->Reset();
    ftdi_->SetLatencyTimer(kLatencyMs);  // in case the reset took it back to the default
    return result == 0 ? kLinkOk : kLinkIoError;
}

LinkStatus FtdiLink::Purge(uint32_t mask) {
    if (!ftdi_)
        return kLinkInvalidHandle;
    if (mask & 1u) {
        received_.clear();
    }
    return ftdi_->PurgeBoth() == 0 ? kLinkOk : kLinkIoError;
}

LinkStatus FtdiLink::SetTimeouts(uint32_t readMs, uint32_t writeMs) {
    if (!ftdi_)
        return kLinkInvalidHandle;
    readTimeout_ = std::chrono::milliseconds(readMs);
    ftdi_->SetUsbTimeouts(kUsbReadTimeoutMs, static_cast<int>(writeMs));
    return kLinkOk;
}

LinkStatus FtdiLink::Write(const uint8_t* data, std::size_t n, std::size_t& written) {
    written = 0;
    if (!ftdi_)
        return kLinkInvalidHandle;
    const int result = ftdi_->Write(data, static_cast<int>(n));
    if (result < 0) {
        return kLinkIoError;
    }
    written = static_cast<std::size_t>(result);
    return kLinkOk;
}

LinkStatus FtdiLink::Drain() {
    uint8_t chunk[kReadChunk];
    const int got = ftdi_->Read(chunk, static_cast<int>(sizeof chunk));
    lastDrain_ = std::chrono::steady_clock::now();
    if (got < 0) {
        return kLinkIoError;
    }
    received_.insert(received_.end(), chunk, chunk + got);
    return kLinkOk;
}

LinkStatus FtdiLink::Read(uint8_t* data, std::size_t n, std::size_t& got) {
    got = 0;
    if (!ftdi_)
        return kLinkInvalidHandle;
    // Served from our own queue: the 8-byte and 2-byte reads of a block's
    // acknowledgement cost USB only when the queue runs short.
    const auto deadline = std::chrono::steady_clock::now() + readTimeout_;
    while (received_.size() < n) {
        const auto before = std::chrono::steady_clock::now();
        if (const LinkStatus status = Drain(); status != kLinkOk) {
            return status;
        }
        const auto after = std::chrono::steady_clock::now();
        if (received_.size() >= n || after >= deadline) {
            break;
        }
        // The bridge answers each transfer within its latency timer, so a transfer
        // that came back at once with nothing means the bridge is not pacing us.
        if (after - before < kPollInterval / 4) {
            std::this_thread::sleep_for(kPollInterval / 4);
        }
    }
    while (got < n && !received_.empty()) {
        data[got++] = received_.front();
        received_.pop_front();
    }
    return kLinkOk;
}

LinkStatus FtdiLink::GetQueueStatus(std::size_t& queued) {
    queued = 0;
    if (!ftdi_)
        return kLinkInvalidHandle;
    LinkStatus status = kLinkOk;
    if (received_.empty() && std::chrono::steady_clock::now() - lastDrain_ >= kPollInterval) {
        status = Drain();
    }
    queued = received_.size();
    return status;
}

LinkStatus FtdiLink::Close() {
    const bool wasOpen = ftdi_ != nullptr;
    if (wasOpen) {
        if (latencyFound_ && *latencyFound_ != kLatencyMs) {
            ftdi_->SetLatencyTimer(*latencyFound_);
        }
        ftdi_->Close();
        ftdi_.reset();
    }
    latencyFound_.reset();
    received_.clear();
    return wasOpen ? kLinkOk : kLinkInvalidHandle;
}

}  // namespace kardo
