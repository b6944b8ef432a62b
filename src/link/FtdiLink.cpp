#include "link/FtdiLink.h"

#include <ftdi.h>

#include <thread>

namespace kardo {
namespace {

// Finds the bridge whose product string is `description` and opens it.
bool OpenByDescription(ftdi_context* ftdi, const std::string& description) {
    ftdi_device_list* devices = nullptr;
    // Vendor and product 0: every product id the library knows for FTDI bridges.
    if (ftdi_usb_find_all(ftdi, &devices, 0, 0) < 0) {
        return false;
    }
    bool opened = false;
    for (ftdi_device_list* d = devices; d != nullptr && !opened; d = d->next) {
        char product[128] = {};
        if (ftdi_usb_get_strings(ftdi, d->dev, nullptr, 0, product, sizeof product, nullptr, 0) <
            0) {
            continue;  // not ours to read, or busy: not the one we want
        }
        if (description == product) {
            opened = ftdi_usb_open_dev(ftdi, d->dev) == 0;
        }
    }
    ftdi_list_free(&devices);
    return opened;
}

}  // namespace

FtdiLink::~FtdiLink() { Close(); }

LinkStatus FtdiLink::OpenEx(const std::string& description) {
    Close();
    ftdi_ = ftdi_new();  // null when USB itself is not available to us
    if (ftdi_ == nullptr) {
        return kLinkDeviceNotFound;
    }
    if (!OpenByDescription(ftdi_, description)) {
        ftdi_free(ftdi_);
        ftdi_ = nullptr;
        return kLinkDeviceNotFound;
    }
    open_ = true;
    ftdi_set_latency_timer(ftdi_, 2);  // short replies should not wait 16 ms in the bridge
    SetTimeouts(1000, 1000);
    return kLinkOk;
}

LinkStatus FtdiLink::ResetDevice() {
    if (!open_) return kLinkInvalidHandle;
    received_.clear();
    return ftdi_usb_reset(ftdi_) == 0 ? kLinkOk : kLinkIoError;
}

LinkStatus FtdiLink::Purge(uint32_t mask) {
    if (!open_) return kLinkInvalidHandle;
    if (mask & 1u) {
        received_.clear();
    }
    return ftdi_tcioflush(ftdi_) == 0 ? kLinkOk : kLinkIoError;
}

LinkStatus FtdiLink::SetTimeouts(uint32_t readMs, uint32_t writeMs) {
    if (!open_) return kLinkInvalidHandle;
    readTimeout_ = std::chrono::milliseconds(readMs);
    ftdi_->usb_write_timeout = static_cast<int>(writeMs);
    // USB transfers themselves stay short: our own loop waits out the read timeout.
    ftdi_->usb_read_timeout = 50;
    return kLinkOk;
}

LinkStatus FtdiLink::Write(const uint8_t* data, std::size_t n, std::size_t& written) {
    written = 0;
    if (!open_) return kLinkInvalidHandle;
    const int result = ftdi_write_data(ftdi_, data, static_cast<int>(n));
    if (result < 0) {
        return kLinkIoError;
    }
    written = static_cast<std::size_t>(result);
    return kLinkOk;
}

LinkStatus FtdiLink::Drain() {
    uint8_t chunk[4096];
    for (;;) {
        const int got = ftdi_read_data(ftdi_, chunk, sizeof chunk);
        if (got < 0) {
            return kLinkIoError;
        }
        received_.insert(received_.end(), chunk, chunk + got);
        if (got < static_cast<int>(sizeof chunk)) {
            return kLinkOk;
        }
    }
}

LinkStatus FtdiLink::Read(uint8_t* data, std::size_t n, std::size_t& got) {
    got = 0;
    if (!open_) return kLinkInvalidHandle;
    const auto deadline = std::chrono::steady_clock::now() + readTimeout_;
    while (received_.size() < n) {
        if (const LinkStatus status = Drain(); status != kLinkOk) {
            return status;
        }
        if (received_.size() >= n || std::chrono::steady_clock::now() >= deadline) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    while (got < n && !received_.empty()) {
        data[got++] = received_.front();
        received_.pop_front();
    }
    return kLinkOk;
}

LinkStatus FtdiLink::GetQueueStatus(std::size_t& queued) {
    queued = 0;
    if (!open_) return kLinkInvalidHandle;
    const LinkStatus status = Drain();
    queued = received_.size();
    return status;
}

LinkStatus FtdiLink::Close() {
    const bool wasOpen = open_;
    if (open_) {
        ftdi_usb_close(ftdi_);
        open_ = false;
    }
    if (ftdi_ != nullptr) {
        ftdi_free(ftdi_);
        ftdi_ = nullptr;
    }
    received_.clear();
    return wasOpen ? kLinkOk : kLinkInvalidHandle;
}

}  // namespace kardo
