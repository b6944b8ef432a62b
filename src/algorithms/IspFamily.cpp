// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/IspFamily.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "algorithms/IspRoutines.h"
#include "common/Format.h"
#include "common/MessageCatalogue.h"
#include "config/SheetTraits.h"
#include "link/Protocol.h"

namespace kardo {
namespace {

// ProgBits of an ISP operation.
constexpr uint8_t kCodeStep = 0x01;
constexpr uint8_t kLockBit1 = 0x02;
constexpr uint8_t kLockBit2 = 0x04;
constexpr uint8_t kLockBit3 = 0x08;
constexpr uint8_t kEraseFirst = 0x40;

constexpr std::size_t kBlock = 128;

// A lock bit that reads back unprogrammed is sent again, at most this many more times,
// before the step fails: a lock bit the chip did not take must never be reported as
// programmed, and a chip that never takes it must not keep the operation going.
constexpr int kLockBitRetries = 2;

std::size_t CodeAreaSize(const OperationContext& c) {
    return static_cast<std::size_t>(
        std::clamp<int64_t>(c.record.Size(), 0, static_cast<int64_t>(c.buffer.BufferSize())));
}

void Wait(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace

IspRoutines::IspRoutines(OperationContext& c) : c_(c), size_(CodeAreaSize(c)) {}

uint8_t IspRoutines::Select(uint8_t mask) {
    char& code = c_.OperationCode;
    if ((mask & kEraseFirst) != 0 && code == 'P') {
        code = 'E';
        eraseBeforeProgram_ = true;
        return static_cast<uint8_t>(mask & ~kEraseFirst);
    }
    mask &= static_cast<uint8_t>(~kEraseFirst);
    if ((mask & kCodeStep) != 0) {
        StepLetter = 'P';
        // Read, verify and blank check cover the code area once.
        return code == 'P' ? static_cast<uint8_t>(mask & ~kCodeStep) : uint8_t{0};
    }
    if (code != 'P') {
        return 0;
    }
    if ((mask & kLockBit1) != 0) {
        Wait(500);
        StepLetter = '1';
        return static_cast<uint8_t>(mask & ~(kCodeStep | kLockBit1));
    }
    if ((mask & kLockBit2) != 0) {
        StepLetter = '2';
        return static_cast<uint8_t>(mask & ~(kCodeStep | kLockBit1 | kLockBit2));
    }
    if ((mask & kLockBit3) != 0) {
        StepLetter = '3';
    }
    return 0;
}

bool IspRoutines::SendCodeArea(Exchange& x) {
    DeviceBuffer& buffer = c_.buffer;
    c_.GaugeMaximum(static_cast<int64_t>(size_));
    if (!Send(x, 'p')) {
        return false;
    }
    // An abort does not stop the blocks: the programmer expects the whole area. A last
    // block of a size that is not a whole number of blocks carries only the bytes of the
    // device, as the programmer counts them from the device parameters.
    for (std::size_t remaining = size_; remaining != 0 && x.Ok();) {
        const std::size_t length = std::min(kBlock, remaining);
        if (!x.phase.Send(buffer.data() + buffer.BufferPos, length)) {
            return false;
        }
        buffer.BufferPos += length;
        for (std::size_t k = 0; k < length; ++k) {
            if (!ReceiveAck(x)) {
                return false;
            }
            c_.Advance(1);
        }
        remaining -= length;
    }
    return x.Ok();
}

bool IspRoutines::SendLockBit(Exchange& x, uint8_t command, std::optional<uint8_t>& readBack) {
    readBack.reset();
    Wait(10);
    if (!Send(x, command) || !ReceiveAck(x)) {
        return false;
    }
    if (ReportsLockBits()) {
        uint8_t lock = 0;
        if (!Command(x, cmd::Read) || !Send(x, 'L') || !x.phase.ReceiveData(&lock, 1)) {
            return false;
        }
        readBack = lock;
    }
    return true;
}

void IspRoutines::Program() {
    Exchange x(c_);
    c_.buffer.BufferPos = 0;
    Purge(x);
    if (!Command(x, cmd::Write)) {
        Finish(x);
        return;
    }
    if (StepLetter == 'P') {
        const bool sent = SendCodeArea(x);
        Purge(x);
        if (!sent || c_.Errors() != 0 || !c_.Running() || !x.Ok()) {
            Finish(x);
            return;
        }
        LogIfRunning(" Programmed");
        return;
    }
    const int n = StepLetter - '0';
    const auto command = static_cast<uint8_t>(0xE0 + n);
    const auto bit = static_cast<uint8_t>(0x04 << (n - 1));  // where the lock byte shows it
    std::optional<uint8_t> readBack;
    bool sent = SendLockBit(x, command, readBack);
    for (int retry = 0; sent && readBack && (*readBack & bit) == 0 && retry < kLockBitRetries;
         ++retry) {
        sent = Command(x, cmd::Write) && SendLockBit(x, command, readBack);
    }
    if (sent && readBack && (*readBack & bit) == 0) {
        c_.CountError();
        LogIfRunning(Format(" Lockbit %d Not Programmed", n).c_str());
    } else if (sent) {
        LogIfRunning(Format(" Lockbit %d Programmed", n).c_str());
    }
    Finish(x);
}

void IspRoutines::Erase() {
    Exchange x(c_);
    Purge(x);
    bool done = false;
    bool answered = false;
    if (Command(x, cmd::Erase)) {
        uint8_t reply[4] = {};
        answered = x.phase.ReceiveAcknowledgement(reply, sizeof reply);
        done = answered && reply[0] == 'D' && reply[1] == 'o' && reply[2] == 'n' && reply[3] == 'e';
    }
    Finish(x);
    if (answered && !done && x.Ok()) {
        // Any other whole reply says the chip was not erased: the operation has failed,
        // and an erase before programming goes no further.
        c_.ReportError(report::EraseError, 0);
        return;
    }
    if (done && x.Ok()) {
        c_.GaugePosition(0);
        StepLetter = 'P';
        LogIfRunning(" Erase Completed ");
        Blank();
    }
}

// The fuse and lock frames of the parts with fuses. The low fuse of a Variant 30 part
// has only the bits 0x21 (SPIEN, FSTRT) and the lock byte only the bits 0x06 (LB1, LB2);
// their other bits are sent as 1. A Variant 32 part gets its bytes as the configuration
// dialog holds them, the extended fuse whenever its sheet has one.
void IspRoutines::Fuses() {
    Exchange x(c_);
    Purge(x);
    const ConfigBits& bits = c_.choices.configBits;
    const bool withHighFuse = c_.record.Variant() == 32;
    const auto frame = [&](uint8_t kind, uint8_t value) {
        const uint8_t bytes[] = {'E', 'P', kind, value};
        return x.phase.Send(bytes, sizeof bytes) && ReceiveAck(x);
    };
    const auto single = [&](uint8_t value) { return Send(x, value) && ReceiveAck(x); };
    const uint8_t low =
        withHighFuse ? bits.FuseLow : static_cast<uint8_t>((bits.FuseLow & 0x21) | 0xDE);
    const uint8_t lock = withHighFuse ? bits.LockBits : static_cast<uint8_t>(bits.LockBits | 0xF9);
    const uint8_t code = c_.record.ConfigCode();
    if (frame('F', low)) {
        LogIfRunning(" Fusebits Programmed");
        bool ok = true;
        if (withHighFuse) {
            ok = single(bits.FuseHigh);
            if (ok) {
                LogIfRunning(" High Fusebits Programmed");
            }
            if (ok && HasExtendedFuse(code)) {
                ok = single(bits.FuseExt);
                if (ok) {
                    LogIfRunning(" Extended Fusebits Programmed");
                }
            }
        }
        if (ok && frame('L', lock)) {
            LogIfRunning(" Lockbits Programmed");
        }
    }
    Finish(x);
}

void IspRoutines::Run() {
    c_.ClearErrors();
    uint8_t& progBits = c_.choices.ProgBits;
    if (progBits == 0) {
        progBits = kCodeStep;
    }
    uint8_t mask = c_.OperationCode == 'E' ? 0 : progBits;
    c_.link.SetTimeouts(1000, 1000);
    do {
        mask = Select(mask);
        c_.ClearErrors();
        c_.GaugeMaximum(c_.record.LastAddress());
        c_.GaugePosition(0);
        const auto verify = [this] {
            c_.GaugePosition(0);
            c_.Log(" Verifying @ Vdd = 5.0V ");
            c_.Caption("Verify");
            Verify();
        };
        switch (c_.OperationCode) {
            case 'B':
                Blank();
                break;
            case 'E':
                c_.Caption("Erase");
                if (c_.record.HasChipErase()) {
                    Erase();
                    c_.OperationCode = 'P';
                } else if (eraseBeforeProgram_) {
                    // A part without a chip erase is still programmed.
                    c_.OperationCode = 'P';
                }
                break;
            case 'P':
                c_.Caption("Program");
                c_.GaugePosition(0);
                Program();
                if (c_.Errors() == 0 && c_.Running() && StepLetter == 'P') {
                    // The lock bits of the parts with fuses go with the fuse step.
                    if (HasFuseStep()) {
                        c_.OperationCode = 'C';
                    }
                    verify();
                }
                break;
            case 'V':
                verify();
                break;
            case 'R':
                Read();
                break;
            default:
                break;
        }
        c_.GaugePosition(0);
        c_.RefreshChecksum();
    } while (mask != 0 && c_.Errors() == 0 && c_.Running());
    if (HasFuseStep() && c_.OperationCode == 'C' && c_.Errors() == 0 && c_.Running()) {
        Fuses();
    }
    c_.host.CloseProgress();
}

void RunIspOperation(OperationContext& context) {
    IspRoutines(context).Run();
}

}  // namespace kardo
