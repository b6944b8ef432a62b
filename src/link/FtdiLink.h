#pragma once

#include <chrono>
#include <deque>

#include "link/ProgrammerLink.h"

struct ftdi_context;

namespace kardo {

// The programmer over its FTDI USB bridge, through libftdi1. Keeps the semantics the
// protocol is written against: reads wait up to the read timeout for the bytes asked
// for, the queue count says how many received bytes are waiting, a purge drops both
// directions. No device, or no permission to open it, is a failed open.
class FtdiLink : public ProgrammerLink {
public:
    FtdiLink() = default;
    ~FtdiLink() override;
    FtdiLink(const FtdiLink&) = delete;
    FtdiLink& operator=(const FtdiLink&) = delete;

    LinkStatus OpenEx(const std::string& description) override;
    LinkStatus ResetDevice() override;
    LinkStatus Purge(uint32_t mask) override;
    LinkStatus SetTimeouts(uint32_t readMs, uint32_t writeMs) override;
    LinkStatus Write(const uint8_t* data, std::size_t n, std::size_t& written) override;
    LinkStatus Read(uint8_t* data, std::size_t n, std::size_t& got) override;
    LinkStatus GetQueueStatus(std::size_t& queued) override;
    LinkStatus Close() override;

private:
    // Moves whatever the bridge has received into our own queue, without waiting.
    LinkStatus Drain();

    ftdi_context* ftdi_ = nullptr;
    bool open_ = false;
    std::deque<uint8_t> received_;
    std::chrono::milliseconds readTimeout_{1000};
};

}  // namespace kardo
