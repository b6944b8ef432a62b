// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "link/ProgrammerLink.h"
#include "link/UsbBridgeModel.h"
#include "link/VirtualProgrammer.h"

namespace kardo {

// The link to the virtual programmer. Reads that cannot be satisfied wait out the read
// timeout, as over USB; on a virtual clock by default, so tests of a silent programmer
// do not sleep, or on the real one for the program's sim mode. With `usb` set, the
// bytes go through a timing model of the USB bridge instead, and the virtual clock
// shows the time an operation takes over USB; the bytes exchanged stay the same.
class SimulatedLink : public ProgrammerLink {
  public:
    struct Options {
        bool present = true;                   // a programmer is plugged in
        bool realTime = false;                 // wait timeouts and latency for real
        std::chrono::milliseconds latency{0};  // added to every write and read
        // Faults, each once this many bytes have passed the link in either direction
        // (see transferred()):
        std::optional<std::size_t> failAfterBytes;        // the link breaks: every call fails
        std::optional<std::size_t> silentAfterBytes;      // the programmer stops sending; the
                                                          // link stays up, reads time out
        std::optional<std::size_t> writesFailAfterBytes;  // writes fail, reads still work
        // The USB timing model, taken at construction and at open; virtual clock only.
        std::optional<UsbTiming> usb;
        // The programmer's name, when several virtual programmers are attached.
        std::string name;
    };

    SimulatedLink() = default;
    explicit SimulatedLink(Options options) : options_(options) { StartModel(); }

    VirtualProgrammer& programmer() { return programmer_; }
    Options& options() { return options_; }
    // Time that passed on the virtual clock: timeouts waited out and latency, or with the
    // timing model everything the model says the link took.
    std::chrono::milliseconds elapsed() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(clock());
    }
    std::chrono::nanoseconds clock() const { return bridge_ ? bridge_->now() : elapsed_; }
    const std::optional<UsbBridgeModel>& bridge() const { return bridge_; }
    // Bytes written and read so far: the count the faults start from.
    std::size_t transferred() const { return transferred_; }

    LinkStatus OpenEx(const std::string& description) override;
    LinkStatus ResetDevice() override;
    LinkStatus Purge(uint32_t mask) override;
    LinkStatus SetTimeouts(uint32_t readMs, uint32_t writeMs) override;
    LinkStatus Write(const uint8_t* data, std::size_t n, std::size_t& written) override;
    LinkStatus Read(uint8_t* data, std::size_t n, std::size_t& got) override;
    LinkStatus GetQueueStatus(std::size_t& queued) override;
    LinkStatus Close() override;
    std::string Name() const override { return options_.name; }

  private:
    void StartModel();
    void Wait(std::chrono::milliseconds time);
    // How many of n bytes may still pass before the fault set at `limit` starts.
    std::size_t Allowance(const std::optional<std::size_t>& limit, std::size_t n) const;

    Options options_;
    VirtualProgrammer programmer_;
    bool open_ = false;
    std::chrono::milliseconds readTimeout_{0};
    std::chrono::milliseconds elapsed_{0};
    std::optional<UsbBridgeModel> bridge_;
    std::size_t transferred_ = 0;
};

}  // namespace kardo
