// SPDX-License-Identifier: GPL-3.0-or-later
#include <ftdi.h>

#include "link/FtdiBackend.h"

namespace kardo {
namespace {

class LibFtdiBackend : public FtdiBackend {
  public:
    explicit LibFtdiBackend(ftdi_context* ftdi) : ftdi_(ftdi) {}
    ~LibFtdiBackend() override {
        Close();
        ftdi_free(ftdi_);
    }
    LibFtdiBackend(const LibFtdiBackend&) = delete;
    LibFtdiBackend& operator=(const LibFtdiBackend&) = delete;

    bool OpenByDescription(uint16_t vendor, uint16_t product,
                           const std::string& description) override {
        ftdi_device_list* devices = nullptr;
        if (ftdi_usb_find_all(ftdi_, &devices, vendor, product) < 0) {
            return false;
        }
        for (ftdi_device_list* d = devices; d != nullptr && !open_; d = d->next) {
            char name[128] = {};
            if (ftdi_usb_get_strings(ftdi_, d->dev, nullptr, 0, name, sizeof name, nullptr, 0) <
                0) {
                // Not ours to read, or busy: it may be the programmer all the same.
                NoteUnopened();
                continue;
            }
            if (description == name) {
                // Asked on its own: a bridge without a serial number fails the question.
                char serial[128] = {};
                if (ftdi_usb_get_strings(ftdi_, d->dev, nullptr, 0, nullptr, 0, serial,
                                         sizeof serial) < 0) {
                    serial[0] = '\0';
                }
                open_ = ftdi_usb_open_dev(ftdi_, d->dev) == 0;
                if (!open_) {
                    NoteUnopened();
                } else {
                    serial_ = serial;
                }
            }
        }
        ftdi_list_free(&devices);
        return open_;
    }
    int Unopened() const override { return unopened_; }
    std::string Serial() const override { return serial_; }
    std::string UnopenedReason() const override { return reason_; }
    int GetLatencyTimer(uint8_t& milliseconds) override {
        unsigned char value = 0;
        const int result = ftdi_get_latency_timer(ftdi_, &value);
        milliseconds = value;
        return result;
    }
    int SetLatencyTimer(uint8_t milliseconds) override {
        return ftdi_set_latency_timer(ftdi_, milliseconds);
    }
    int SetChunkSizes(unsigned read, unsigned write) override {
        const int r = ftdi_read_data_set_chunksize(ftdi_, read);
        const int w = ftdi_write_data_set_chunksize(ftdi_, write);
        return r < 0 ? r : w;
    }
    void SetUsbTimeouts(int readMs, int writeMs) override {
        ftdi_->usb_read_timeout = readMs;
        ftdi_->usb_write_timeout = writeMs;
    }
    int Reset() override { return ftdi_usb_reset(ftdi_); }
    int PurgeBoth() override { return ftdi_tcioflush(ftdi_); }
    int Write(const uint8_t* data, int n) override { return ftdi_write_data(ftdi_, data, n); }
    int Read(uint8_t* data, int n) override { return ftdi_read_data(ftdi_, data, n); }
    void Close() override {
        if (open_) {
            ftdi_usb_close(ftdi_);
            open_ = false;
        }
    }

  private:
    void NoteUnopened() {
        ++unopened_;
        const char* why = ftdi_get_error_string(ftdi_);
        reason_ = why != nullptr ? why : "";
    }

    ftdi_context* ftdi_;
    bool open_ = false;
    int unopened_ = 0;
    std::string reason_;
    std::string serial_;
};

}  // namespace

std::unique_ptr<FtdiBackend> MakeLibFtdiBackend() {
    ftdi_context* ftdi = ftdi_new();
    if (ftdi == nullptr) {
        return nullptr;
    }
    return std::make_unique<LibFtdiBackend>(ftdi);
}

}  // namespace kardo
