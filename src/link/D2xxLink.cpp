// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/D2xxLink.h"

#include <algorithm>
#include <limits>

namespace kardo {
namespace {

// A single driver call moves at most a DWORD's count of bytes; more is reported as a
// short transfer, which every caller already handles.
D2xxDword DriverCount(std::size_t n) {
    return static_cast<D2xxDword>(std::min<std::size_t>(n, std::numeric_limits<uint32_t>::max()));
}

}  // namespace

D2xxLink::~D2xxLink() {
    Close();
}

LinkStatus D2xxLink::OpenEx(const std::string& description) {
    Close();  // one handle at most: a second open must not leak the first
    if (d2xx_ == nullptr) {
        return kLinkDeviceNotFound;
    }
    D2xxHandle handle = nullptr;
    const D2xxStatus status = d2xx_->OpenEx(description.c_str(), kD2xxOpenByDescription, handle);
    if (status != kD2xxOk) {
        return static_cast<LinkStatus>(status);
    }
    handle_ = handle;
    open_ = true;
    SetTimeouts(kOpenTimeoutMs, kOpenTimeoutMs);
    return kLinkOk;
}

LinkStatus D2xxLink::ResetDevice() {
    if (!open_) {
        return kLinkInvalidHandle;
    }
    return static_cast<LinkStatus>(d2xx_->ResetDevice(handle_));
}

LinkStatus D2xxLink::Purge(uint32_t mask) {
    if (!open_) {
        return kLinkInvalidHandle;
    }
    return static_cast<LinkStatus>(d2xx_->Purge(handle_, mask));
}

LinkStatus D2xxLink::SetTimeouts(uint32_t readMs, uint32_t writeMs) {
    if (!open_) {
        return kLinkInvalidHandle;
    }
    return static_cast<LinkStatus>(d2xx_->SetTimeouts(handle_, readMs, writeMs));
}

LinkStatus D2xxLink::Write(const uint8_t* data, std::size_t n, std::size_t& written) {
    written = 0;
    if (!open_) {
        return kLinkInvalidHandle;
    }
    const D2xxDword count = DriverCount(n);
    D2xxDword sent = 0;
    const D2xxStatus status = d2xx_->Write(handle_, data, count, sent);
    written = std::min(sent, count);
    return static_cast<LinkStatus>(status);
}

LinkStatus D2xxLink::Read(uint8_t* data, std::size_t n, std::size_t& got) {
    got = 0;
    if (!open_) {
        return kLinkInvalidHandle;
    }
    const D2xxDword count = DriverCount(n);
    D2xxDword arrived = 0;
    const D2xxStatus status = d2xx_->Read(handle_, data, count, arrived);
    // A count beyond what was asked for cannot be bytes in our buffer.
    got = std::min(arrived, count);
    return static_cast<LinkStatus>(status);
}

LinkStatus D2xxLink::GetQueueStatus(std::size_t& queued) {
    queued = 0;
    if (!open_) {
        return kLinkInvalidHandle;
    }
    D2xxDword count = 0;
    const D2xxStatus status = d2xx_->GetQueueStatus(handle_, count);
    queued = count;
    return static_cast<LinkStatus>(status);
}

LinkStatus D2xxLink::Close() {
    if (!open_) {
        return kLinkInvalidHandle;
    }
    open_ = false;
    const D2xxStatus status = d2xx_->Close(handle_);
    handle_ = nullptr;
    return static_cast<LinkStatus>(status);
}

}  // namespace kardo
