// SPDX-License-Identifier: GPL-3.0-or-later
#include <ftdi.h>

#include <libusb.h>

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

    bool OpenByDescription(uint16_t vendor, uint16_t product, const std::string& description,
                           const std::string& wanted) override {
        Search(vendor, product, description, [&](libusb_device* device, const std::string& name) {
            if (!wanted.empty() && name != wanted) {
                return false;
            }
            open_ = ftdi_usb_open_dev(ftdi_, device) == 0;
            if (!open_) {
                NoteUnopened();
                return false;
            }
            name_ = name;
            serial_ = serialFound_;
            return true;
        });
        return open_;
    }
    std::vector<std::string> List(uint16_t vendor, uint16_t product,
                                  const std::string& description) override {
        std::vector<std::string> names;
        Search(vendor, product, description, [&](libusb_device*, const std::string& name) {
            names.push_back(name);
            return false;
        });
        return names;
    }
    std::string Name() const override { return name_; }
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
    // Calls `found` with every bridge of this vendor and product id whose product string
    // is `description`, and its name, until it returns true.
    template <typename Found>
    void Search(uint16_t vendor, uint16_t product, const std::string& description, Found found) {
        ftdi_device_list* devices = nullptr;
        if (ftdi_usb_find_all(ftdi_, &devices, vendor, product) < 0) {
            return;
        }
        for (ftdi_device_list* d = devices; d != nullptr; d = d->next) {
            char text[128] = {};
            if (ftdi_usb_get_strings(ftdi_, d->dev, nullptr, 0, text, sizeof text, nullptr, 0) <
                0) {
                // Not ours to read, or busy: it may be the programmer all the same.
                NoteUnopened();
                continue;
            }
            if (description != text) {
                continue;
            }
            // Asked on its own: a bridge without a serial number fails the question.
            char serial[128] = {};
            if (ftdi_usb_get_strings(ftdi_, d->dev, nullptr, 0, nullptr, 0, serial, sizeof serial) <
                0) {
                serial[0] = '\0';
            }
            serialFound_ = serial;
            if (found(d->dev, serialFound_.empty() ? PortPath(d->dev) : serialFound_)) {
                break;
            }
        }
        ftdi_list_free(&devices);
    }

    // Where a bridge without a serial number is plugged in, as the kernel names it: the
    // bus, then the port at every hub on the way ("1-2.3").
    static std::string PortPath(libusb_device* device) {
        std::string path = std::to_string(libusb_get_bus_number(device));
        uint8_t ports[8] = {};
        const int n = libusb_get_port_numbers(device, ports, sizeof ports);
        for (int i = 0; i < n; ++i) {
            path += i == 0 ? '-' : '.';
            path += std::to_string(ports[i]);
        }
        return path;
    }

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
    std::string serialFound_;
    std::string name_;
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
