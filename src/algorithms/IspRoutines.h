// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "algorithms/DataPhase.h"
#include "algorithms/OperationContext.h"

namespace kardo {

// The routines of one ISP operation. Every command goes out as the mode byte 'M' and
// the command, each its own write. Each routine keeps the link's status: a call that
// fails stops the routine's loop, and the routine counts one error for it at its end and
// logs the line that says what failed, so that a log never ends on the last step that
// worked. A unit or acknowledgement that does not arrive whole, or a write that does not
// go out whole, is a failure with its line (the data-phase rule).
class IspRoutines {
  public:
    explicit IspRoutines(OperationContext& c);

    void Run();

  private:
    // One routine's dealings with the link.
    struct Exchange {
        explicit Exchange(OperationContext& c) : phase(c, &failure) {}
        LinkFailure failure;
        DataPhase phase;
        bool Ok() const { return failure.Ok(); }
    };

    // The selector and the routines of the step loop.
    uint8_t Select(uint8_t mask);
    void Read();
    void LockRead(Exchange& x);
    void Verify();
    void Program();
    void Erase();
    void Blank();
    void Fuses();

    // Stores the code area as it arrives, never more than it holds.
    void ReceiveStream(Exchange& x);
    // Reads the code area in 4-byte units and compares it with the buffer, or with the
    // erased pattern; the first difference is reported. Sends the stop on firmware that
    // has it when the comparison failed.
    void CompareStream(Exchange& x, bool blankCheck);
    // The code area's blocks and their acknowledgements; false when they did not all go.
    bool SendCodeArea(Exchange& x);
    // One lock bit command; for the parts that report their lock bits, the lock byte
    // read back after it. False when the exchange failed.
    bool SendLockBit(Exchange& x, uint8_t command, std::optional<uint8_t>& readBack);
    // The parts whose lock byte is shown after a read, and those that report lock bits.
    bool ReadsLockByte() const;
    bool ReportsLockBits() const {
        return c_.record.DeviceId() == 0x52 || c_.record.DeviceId() == 0x51;
    }
    bool ReceiveAck(Exchange& x) {
        uint8_t ack = 0;
        return x.phase.ReceiveAcknowledgement(&ack, 1);
    }

    void Purge(Exchange& x) { Keep(x, c_.link.Purge(kPurgeRxTx)); }
    bool Send(Exchange& x, uint8_t b) { return x.phase.Send(&b, 1); }
    bool Command(Exchange& x, uint8_t command) { return Send(x, 'M') && Send(x, command); }
    static void Keep(Exchange& x, LinkStatus status) { x.failure.Keep(status, kLinkFailedLine); }
    // The end of every routine: one error and its line for a failed link call.
    void Finish(const Exchange& x) {
        if (!x.Ok()) {
            c_.CountError();
            LogIfRunning(x.failure.line);
        }
    }
    void LogIfRunning(const char* line) {
        if (c_.Running()) {
            c_.Log(line);
        }
    }
    bool HasFuseStep() const { return c_.record.Variant() == 30 || c_.record.Variant() == 32; }

    OperationContext& c_;
    const std::size_t size_;  // the code area, never more than the buffer holds
    char StepLetter = 'P';    // 'P' code area, '1' to '3' lock bits 1 to 3
    bool eraseBeforeProgram_ = false;
    bool lockReadDone_ = false;
};

}  // namespace kardo
