// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kardo {

// The libftdi1 calls our USB link makes, behind an interface so the link's settings and
// its queue can be tested with no bridge attached. Results are libftdi's: negative on
// failure, else 0 or a byte count.
class FtdiBackend {
  public:
    virtual ~FtdiBackend() = default;

    // Opens the first bridge with this vendor and product id whose product string is
    // `description` and, unless `name` is empty, whose name (see Name) is `name`. False
    // when there is none, or it cannot be opened.
    virtual bool OpenByDescription(uint16_t vendor, uint16_t product,
                                   const std::string& description, const std::string& name) = 0;
    // The names of every such bridge attached, none of them opened.
    virtual std::vector<std::string> List(uint16_t, uint16_t, const std::string&) { return {}; }
    // The name of the bridge opened: its serial number, or where it is plugged in (bus and
    // port path, "1-2.3") when it has none.
    virtual std::string Name() const { return {}; }
    // How many bridges the searches so far found but could not read the strings of, or
    // could not open, and the USB library's reason for the last of them: on Linux, most
    // often a user without the udev rule's access to the device.
    virtual int Unopened() const { return 0; }
    // The serial number string of the bridge opened, when it has one.
    virtual std::string Serial() const { return {}; }
    virtual std::string UnopenedReason() const { return {}; }
    virtual int GetLatencyTimer(uint8_t& milliseconds) = 0;
    virtual int SetLatencyTimer(uint8_t milliseconds) = 0;
    virtual int SetChunkSizes(unsigned read, unsigned write) = 0;
    // The timeouts of single USB transfers.
    virtual void SetUsbTimeouts(int readMs, int writeMs) = 0;
    virtual int Reset() = 0;
    virtual int PurgeBoth() = 0;
    virtual int Write(const uint8_t* data, int n) = 0;
    // One IN transfer at most: what the bridge had, without its status bytes.
    virtual int Read(uint8_t* data, int n) = 0;
    virtual void Close() = 0;
};

// The real one, over libftdi1; null when USB itself is not available to us.
std::unique_ptr<FtdiBackend> MakeLibFtdiBackend();

}  // namespace kardo
