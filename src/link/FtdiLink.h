// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/FtdiBackend.h"
#include "link/ProgrammerLink.h"

namespace kardo {

// The programmer over its FTDI USB bridge, through libftdi1. Keeps the semantics the
// protocol is written against: reads wait up to the read timeout for the bytes asked
// for, the queue count says how many received bytes are waiting, a purge drops both
// directions. No device, or no permission to open it, is a failed open.
//
// The protocol waits for an acknowledgement after every block, so an operation's time
// over USB is its round trips; the settings below keep each round trip near one frame.
class FtdiLink : public ProgrammerLink {
  public:
    using BackendFactory = std::function<std::unique_ptr<FtdiBackend>()>;

    // The bridge's latency timer while we hold it: the longest a reply shorter than a
    // packet (a handshake, the last bytes of a block's acknowledgement) waits in the
    // bridge before it is sent up. 1 ms is the least the bridge takes; out of the box it
    // is 16 ms, which would cost a 512 KiB EEPROM program over a minute in waits alone.
    static constexpr uint8_t kLatencyMs = 1;
    // Bytes one IN transfer asks for. A block's 128 acknowledgement bytes come as three
    // packets (62 + 62 + 4 after the status bytes) and must fit one transfer; the
    // larger chunk lets a read-back stream come in few transfers.
    static constexpr unsigned kReadChunk = 4096;
    // Bytes one OUT transfer carries: a 128-byte block goes out in one transfer.
    static constexpr unsigned kWriteChunk = 4096;
    // A single USB read is short; our own loop waits out the read timeout. The bridge
    // answers every IN transfer within its latency timer, so this is only a backstop.
    static constexpr int kUsbReadTimeoutMs = 50;
    // An empty queue is refilled from USB at most this often by the queue count: the
    // firmware query polls it up to 8000 times, and a USB transfer per poll would make
    // a silent programmer's polls take seconds.
    static constexpr std::chrono::microseconds kPollInterval{1000};
    // The product ids of the FTDI bridges in use, all searched for the product string:
    // FT232R/FT245R, FT2232, FT4232, FT232H, FT-X.
    static constexpr uint16_t kVendor = 0x0403;
    static constexpr uint16_t kProducts[] = {0x6001, 0x6010, 0x6011, 0x6014, 0x6015};

    // `name` empty: the first programmer found, else only the one of that name.
    explicit FtdiLink(std::string name = {});
    explicit FtdiLink(BackendFactory factory, std::string name = {})
        : factory_(std::move(factory)), wanted_(std::move(name)) {}
    ~FtdiLink() override;
    FtdiLink(const FtdiLink&) = delete;
    FtdiLink& operator=(const FtdiLink&) = delete;

    LinkStatus OpenEx(const std::string& description) override;
    std::string OpenProblem() const override { return openProblem_; }
    std::string BridgeSerial() const override { return ftdi_ ? ftdi_->Serial() : std::string(); }
    std::string Name() const override { return ftdi_ ? ftdi_->Name() : wanted_; }
    // The names of every programmer attached, in the order of the bridges' product ids.
    static std::vector<std::string> List(const BackendFactory& factory);
    LinkStatus ResetDevice() override;
    LinkStatus Purge(uint32_t mask) override;
    LinkStatus SetTimeouts(uint32_t readMs, uint32_t writeMs) override;
    LinkStatus Write(const uint8_t* data, std::size_t n, std::size_t& written) override;
    LinkStatus Read(uint8_t* data, std::size_t n, std::size_t& got) override;
    LinkStatus GetQueueStatus(std::size_t& queued) override;
    LinkStatus Close() override;

  private:
    // One IN transfer's bytes into our own queue.
    LinkStatus Drain();

    BackendFactory factory_;
    std::string wanted_;
    std::unique_ptr<FtdiBackend> ftdi_;
    std::optional<uint8_t> latencyFound_;  // the bridge's own setting, put back on close
    std::deque<uint8_t> received_;
    std::chrono::milliseconds readTimeout_{1000};
    std::chrono::steady_clock::time_point lastDrain_{};
    std::string openProblem_;
};

}  // namespace kardo
