// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kardo {

// The libftdi1 calls our USB link makes, behind an interface so the link's settings and
// its queue can be tested with no bridge attached. Results are libftdi's: negative on
// failure, else 0 or a byte count.
class FtdiBackend {
  public:
    virtual ~FtdiBackend() = default;

    // Opens the first bridge with this vendor and product id whose product string is
    // `description`. False when there is none, or it cannot be opened.
    virtual bool OpenByDescription(uint16_t vendor, uint16_t product,
                                   const std::string& description) = 0;
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
