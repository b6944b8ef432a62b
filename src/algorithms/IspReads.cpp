// SPDX-License-Identifier: GPL-3.0-or-later
// The ISP routines that read the chip: read, the lock byte, verify and blank check.
#include <algorithm>
#include <chrono>
#include <thread>

#include "algorithms/IspRoutines.h"
#include "common/Format.h"
#include "common/MessageCatalogue.h"
#include "link/Protocol.h"

namespace kardo {
namespace {

constexpr std::size_t kUnit = 4;  // verify and blank check compare in units of 4

// An empty receive queue is asked again after a millisecond, so a read that waits for
// the programmer costs no processor time. After this many empty polls in a row a read
// of one byte waits for the next byte instead, for at most the read timeout: so a
// programmer that has gone quiet ends the read with its error line, and the loop never
// waits without bound.
constexpr int kEmptyPollsBeforeWaiting = 50;

}  // namespace

void IspRoutines::ReceiveStream(Exchange& x) {
    DeviceBuffer& buffer = c_.buffer;
    int emptyPolls = 0;
    for (std::size_t received = 0; received < size_ && c_.Running() && x.Ok();) {
        std::size_t queued = 0;
        Keep(x, c_.link.GetQueueStatus(queued));
        if (!x.Ok()) {
            break;
        }
        if (queued == 0 && ++emptyPolls < kEmptyPollsBeforeWaiting) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        // Only what the code area still lacks: whatever comes beyond it is left for the
        // closing purge. The code area always lies within the buffer.
        const std::size_t n = std::clamp<std::size_t>(queued, 1, size_ - received);
        if (!x.phase.ReceiveData(buffer.data() + buffer.BufferPos, n)) {
            break;
        }
        emptyPolls = 0;
        buffer.BufferPos += n;
        c_.Advance(static_cast<int64_t>(n));
        received += n;
    }
}

bool IspRoutines::ReadsLockByte() const {
    const DeviceRecord& r = c_.record;
    const uint8_t id = r.DeviceId();
    const uint8_t id2 = r.DeviceId2();
    return r.ManufId() == 0x1E &&
           ((id == 0x52 && id2 == 0x06) || (id == 0x55 && id2 == 0x06) ||
            (id == 0x51 && id2 == 0x07) || id == 0x72 || id == 0x73 || id == 0x53 || HasFuseStep());
}

void IspRoutines::Read() {
    Exchange x(c_);
    Purge(x);
    c_.buffer.BufferPos = 0;
    if (Command(x, cmd::Read)) {
        c_.GaugeMaximum(static_cast<int64_t>(size_));
        if (Send(x, 'p')) {
            ReceiveStream(x);
        }
    }
    Purge(x);
    if (c_.Errors() == 0 && c_.Running() && x.Ok()) {
        c_.Log(" Read Completed");
        if (ReadsLockByte()) {
            lockReadDone_ = false;
            LockRead(x);
        }
    }
    Finish(x);
}

void IspRoutines::LockRead(Exchange& x) {
    Purge(x);
    if (!Command(x, cmd::Read)) {
        return;
    }
    if (!lockReadDone_) {
        uint8_t lock = 0;
        if (Send(x, 'L') && x.phase.ReceiveData(&lock, 1) && ReportsLockBits()) {
            // Lock bits 1 to 3 in bits 0x04, 0x08 and 0x10: P programmed, U not.
            for (int n = 1; n <= 3; ++n) {
                const bool programmed = (lock & (0x04 << (n - 1))) != 0;
                LogIfRunning(Format(" LockBit %d = %c", n, programmed ? 'P' : 'U').c_str());
            }
        }
    }
    lockReadDone_ = true;
}

void IspRoutines::CompareStream(Exchange& x, bool blankCheck) {
    DeviceBuffer& buffer = c_.buffer;
    Purge(x);
    buffer.BufferPos = 0;
    const uint8_t blank = c_.record.BlankValue();
    if (Command(x, cmd::Read)) {
        c_.GaugeMaximum(static_cast<int64_t>(size_));
        bool same = Send(x, 'p');
        for (std::size_t i = 0; same && i < size_ && c_.Running() && x.Ok(); i += kUnit) {
            uint8_t unit[kUnit];
            const std::size_t want = std::min(kUnit, size_ - i);
            if (!x.phase.ReceiveData(unit, want)) {
                break;
            }
            for (std::size_t j = 0; j < want && same; ++j) {
                // An erased word reads BlankValue, 0xFF.
                const uint8_t expected =
                    blankCheck ? (j % 2 == 0 ? blank : uint8_t{0xFF}) : buffer[buffer.BufferPos];
                if (unit[j] != expected) {
                    same = false;
                    c_.ReportError(blankCheck ? report::NotBlank : report::CompareError,
                                   blankCheck ? uint8_t{0} : unit[j]);
                    break;
                }
                ++buffer.BufferPos;
                if (!blankCheck) {
                    c_.Advance(1);
                }
            }
            if (same && blankCheck) {
                c_.Advance(static_cast<int64_t>(want));
            }
        }
    }
    if (c_.Errors() != 0 && c_.FirmwareVersion > 2) {
        Send(x, cmd::Stop);
    }
    Purge(x);
}

void IspRoutines::Verify() {
    Exchange x(c_);
    CompareStream(x, false);
    if (c_.Errors() == 0 && c_.Running() && x.Ok()) {
        c_.Log(" Code Area Verified OK");
    }
    Finish(x);
}

void IspRoutines::Blank() {
    Exchange x(c_);
    CompareStream(x, true);
    if (c_.Errors() == 0 && c_.Running() && x.Ok() && StepLetter == 'P') {
        c_.Log(" Code Area Clean");
    }
    Finish(x);
}

}  // namespace kardo
