// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/EepromFamily.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "algorithms/DataPhase.h"
#include "common/MessageCatalogue.h"
#include "link/Protocol.h"

namespace kardo {
namespace {

constexpr std::size_t kUnit = 8;
constexpr std::size_t kBlock = 128;

// The routines count in 8-byte units and 128-byte blocks. For a device whose size is not
// a whole number of them, the last unit read or compared holds only the bytes that
// belong to the device, so nothing beyond the device is waited for or stored; a program
// sends the last block whole, from the buffer, which always reaches the next 64 KiB.
// Every unit and block goes through the data-phase rule: one that does not get through
// ends the routine with its error line.
class EepromRoutines {
  public:
    explicit EepromRoutines(OperationContext& c)
        : c_(c),
          phase_(c),
          size_(static_cast<std::size_t>(std::max<int64_t>(0, c.record.Size()))) {}

    void Read();
    void Verify();
    void Program();

  private:
    bool Handshake() {
        if (kardo::Handshake(c_.link, cmd::EepromMode)) {
            return true;
        }
        c_.CountError();
        if (c_.Running()) {  // after an abort the log stays as the abort left it
            c_.Log(" Set Jumper for 28C's");
        }
        return false;
    }
    // Bytes the buffer can take at a position, never more than asked.
    std::size_t Room(std::size_t at, std::size_t n) const {
        return at >= c_.buffer.BufferSize() ? 0 : std::min(n, c_.buffer.BufferSize() - at);
    }

    bool SendCommand(uint8_t command) { return phase_.Send(&command, 1); }

    OperationContext& c_;
    DataPhase phase_;
    const std::size_t size_;
};

void EepromRoutines::Read() {
    DeviceBuffer& buffer = c_.buffer;
    buffer.BufferPos = 0;
    if (!Handshake()) {
        return;
    }
    c_.GaugeMaximum(static_cast<int64_t>(size_));
    c_.link.SetTimeouts(500, 500);
    if (!SendCommand(cmd::Read)) {
        return;
    }
    for (std::size_t done = 0; done < size_ && c_.Running() && c_.Errors() == 0;) {
        uint8_t unit[kUnit];
        const std::size_t want = std::min(kUnit, size_ - done);
        if (!phase_.ReceiveData(unit, want)) {
            return;
        }
        std::copy_n(unit, Room(buffer.BufferPos, want), buffer.data() + buffer.BufferPos);
        buffer.BufferPos += want;
        c_.Advance(static_cast<int64_t>(want));
        done += want;
    }
    if (c_.Errors() == 0 && c_.Running()) {
        c_.Log(" Read Completed");
    }
}

void EepromRoutines::Verify() {
    DeviceBuffer& buffer = c_.buffer;
    buffer.BufferPos = 0;
    std::size_t remaining = size_;
    c_.link.Purge(kPurgeRxTx);
    if (!Handshake()) {
        return;
    }
    c_.GaugeMaximum(static_cast<int64_t>(remaining));
    SendCommand(cmd::Read);  // if it fails, its error keeps the loop from starting
    while (remaining != 0 && c_.Running() && c_.Errors() == 0) {
        uint8_t unit[kUnit];
        const std::size_t want = std::min(kUnit, remaining);
        remaining -= want;
        if (!phase_.ReceiveData(unit, want)) {
            break;  // the stop command below still goes out
        }
        for (std::size_t i = 0; i < want; ++i) {
            const uint8_t expected = Room(buffer.BufferPos, 1) ? buffer[buffer.BufferPos] : 0;
            if (unit[i] != expected) {
                c_.ReportError(report::CompareError, unit[i]);
                break;
            }
            ++buffer.BufferPos;
            c_.Advance(1);
        }
    }
    if (c_.Errors() != 0 && c_.FirmwareVersion > 2) {
        SendBytes(c_.link, {cmd::Stop});
    }
    if (c_.Errors() == 0 && c_.Running()) {
        c_.Log(" Verified OK");
    }
}

void EepromRoutines::Program() {
    DeviceBuffer& buffer = c_.buffer;
    buffer.BufferPos = 0;
    c_.link.SetTimeouts(4000, 50000);
    if (!Handshake()) {
        return;
    }
    c_.GaugeMaximum(static_cast<int64_t>(size_));
    c_.GaugePosition(0);
    if (!SendCommand(cmd::Write)) {
        return;
    }
    // An abort stops only the acknowledgement reads: the programmer expects every block
    // of the device, so the remaining blocks still go out. A block that does not get
    // through, or an acknowledgement that does not come, ends the program at once.
    for (std::size_t done = 0; done < size_; done += kBlock) {
        uint8_t block[kBlock] = {};
        std::copy_n(buffer.data() + buffer.BufferPos, Room(buffer.BufferPos, kBlock), block);
        buffer.BufferPos += kBlock;
        if (!phase_.Send(block, kBlock)) {
            return;
        }
        for (std::size_t unit = 0; unit < kBlock / kUnit && c_.Running(); ++unit) {
            uint8_t ack[kUnit];
            if (!phase_.ReceiveAcknowledgement(ack, kUnit)) {
                return;
            }
            c_.Advance(kUnit);
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    if (c_.Errors() == 0 && c_.Running()) {
        c_.Log(" Programmed");
    }
}

}  // namespace

void RunEepromOperation(OperationContext& c) {
    EepromRoutines routines(c);
    c.ClearErrors();
    c.GaugeMaximum(c.record.Size());
    c.GaugePosition(0);
    const auto verify = [&] {
        c.GaugePosition(0);
        c.Log(" Verifying @ Vdd = 5.0V ");
        c.Caption("Verify");
        routines.Verify();
    };
    switch (c.OperationCode) {
        case 'P':
            c.Caption("Program");
            c.GaugePosition(0);
            routines.Program();
            // An aborted program is not verified: the abort is the last word.
            if (c.Errors() == 0 && c.Running()) {
                verify();
            }
            break;
        case 'R':
            routines.Read();
            break;
        case 'V':
            verify();
            break;
        default:
            break;
    }
    c.GaugePosition(0);
    c.RefreshChecksum();
    c.host.CloseProgress();
}

}  // namespace kardo
