// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/PicFamily.h"

#include <algorithm>

#include "algorithms/DataPhase.h"
#include "algorithms/PicSteps.h"
#include "common/MessageCatalogue.h"
#include "link/Protocol.h"

namespace kardo {
namespace {

constexpr std::size_t kUnit = 2;     // a PIC stream moves in program words
constexpr std::size_t kBlock = 128;  // the most a program block carries

// The routines of one PIC operation. Streams are read in 2-byte units; an area of odd
// length ends with a unit of the one byte that belongs to it, so nothing beyond the
// area is waited for. Nothing is stored or compared outside the buffer. Every unit,
// acknowledgement and block goes through the data-phase rule.
class PicRoutines {
  public:
    explicit PicRoutines(OperationContext& c) : c_(c), phase_(c), blank_(c.record.BlankValue()) {}

    void Run();

  private:
    void Read();
    void Verify();
    void Program();
    void Erase();
    void Blank();

    bool Handshake();
    // Sets the area of the current step; returns its area byte.
    uint8_t AreaSetup();
    bool SendByte(uint8_t b) { return phase_.Send(&b, 1); }
    std::size_t UnitAt(int32_t i) const {
        return std::min<std::size_t>(kUnit, static_cast<std::size_t>(count_ - i));
    }
    uint8_t Mask(int32_t i) const {
        const auto mask = c_.record.ConfigMask();
        return i >= 0 && static_cast<std::size_t>(i) < mask.size() ? mask[i] : uint8_t{0xFF};
    }
    uint8_t BufferByte() const {
        const std::size_t at = c_.buffer.BufferPos;
        return at < c_.buffer.BufferSize() ? c_.buffer[at] : uint8_t{0};
    }
    void Store(uint8_t b) {
        DeviceBuffer& buffer = c_.buffer;
        if (buffer.BufferPos < buffer.BufferSize()) {
            buffer[buffer.BufferPos] = b;
        }
        ++buffer.BufferPos;
    }
    void Completed(PicDone done) {
        const char* line = PicCompletionLine(steps_.StepLetter, done);
        if (line != nullptr && c_.Errors() == 0 && c_.Running()) {
            c_.Log(line);
        }
    }

    OperationContext& c_;
    DataPhase phase_;
    const uint8_t blank_;  // the first byte of an erased word
    PicStepState steps_;
    int32_t count_ = 0;
    bool configArea_ = false;
};

bool PicRoutines::Handshake() {
    if (kardo::Handshake(c_.link, cmd::PicMode)) {
        return true;
    }
    c_.CountError();
    c_.Log(" Set Jumper for PICs");
    return false;
}

uint8_t PicRoutines::AreaSetup() {
    const PicArea area =
        PicAreaSetup(c_.record, steps_.StepLetter, c_.OperationCode, steps_.wholeArea);
    if (area.position) {
        c_.buffer.BufferPos = *area.position;
    }
    count_ = area.count;
    configArea_ = area.isConfig;
    return area.areaByte;
}

void PicRoutines::Read() {
    c_.buffer.BufferPos = 0;
    if (!Handshake()) {
        return;
    }
    const uint8_t area = AreaSetup();
    const uint8_t request[] = {cmd::Read, area};
    if (!phase_.Send(request, sizeof request)) {
        return;
    }
    c_.Caption("Reading ");
    c_.GaugeMaximum(count_);
    if (!SendByte(cmd::Read)) {
        return;
    }
    for (int32_t i = 0; i < count_ && c_.Running(); i += kUnit) {
        uint8_t unit[kUnit];
        const std::size_t want = UnitAt(i);
        if (!phase_.ReceiveData(unit, want)) {
            return;
        }
        for (std::size_t j = 0; j < want; ++j) {
            // Bits a configuration byte does not have are stored as 0.
            Store(configArea_ ? static_cast<uint8_t>(unit[j] & Mask(i + static_cast<int32_t>(j)))
                              : unit[j]);
        }
        c_.Advance(kUnit);
    }
    Completed(PicDone::Read);
}

void PicRoutines::Verify() {
    c_.buffer.BufferPos = 0;
    if (!Handshake() || !SendByte(cmd::Read)) {
        return;
    }
    const uint8_t area = AreaSetup();
    c_.Caption("Verifying ");
    c_.GaugeMaximum(count_);
    if (!SendByte(area)) {
        return;
    }
    for (int32_t i = 0; i < count_ && c_.Running() && (configArea_ || c_.Errors() == 0);
         i += kUnit) {
        uint8_t unit[kUnit];
        const std::size_t want = UnitAt(i);
        if (!phase_.ReceiveData(unit, want)) {
            return;
        }
        for (std::size_t j = 0; j < want; ++j) {
            const uint8_t mask = configArea_ ? Mask(i + static_cast<int32_t>(j)) : uint8_t{0xFF};
            const auto device = static_cast<uint8_t>(unit[j] & mask);
            if (device != (BufferByte() & mask)) {
                c_.ReportError(report::CompareError, device);
                return;
            }
            ++c_.buffer.BufferPos;
            c_.Advance(1);
        }
    }
    Completed(PicDone::Verified);
}

void PicRoutines::Program() {
    DeviceBuffer& buffer = c_.buffer;
    buffer.BufferPos = 0;
    if (!Handshake() || !SendByte(cmd::Write)) {
        return;
    }
    const uint8_t area = AreaSetup();
    if (!SendByte(area)) {
        return;
    }
    c_.Caption("Programming ");
    c_.GaugeMaximum(count_);
    c_.GaugePosition(0);
    // After an abort the rest of the area still goes out, unacknowledged: the programmer
    // counts on every byte of it.
    for (int32_t remaining = count_; remaining > 0;) {
        const auto length = std::min<std::size_t>(kBlock, static_cast<std::size_t>(remaining));
        uint8_t block[kBlock];
        for (std::size_t k = 0; k < length; ++k) {
            block[k] = buffer.BufferPos < buffer.BufferSize() ? buffer[buffer.BufferPos] : 0xFF;
            ++buffer.BufferPos;
        }
        if (!phase_.Send(block, length)) {
            return;
        }
        // Two acknowledgement bytes for every two bytes sent, and for a last odd one.
        for (std::size_t k = 0; k < length && c_.Running(); k += kUnit) {
            uint8_t ack[kUnit];
            if (!phase_.ReceiveAcknowledgement(ack, kUnit)) {
                return;
            }
            c_.Advance(kUnit);
        }
        remaining -= static_cast<int32_t>(length);
    }
    Completed(PicDone::Programmed);
}

void PicRoutines::Erase() {
    if (!Handshake() || !SendByte(cmd::Erase)) {
        return;
    }
    // The reply's content says nothing; that it comes says the erase has finished.
    uint8_t reply[4];
    if (!phase_.ReceiveAcknowledgement(reply, sizeof reply)) {
        return;
    }
    if (c_.Running()) {
        c_.Log(" Erase Completed");
    }
    // The rest of an erase operation is blank checks, beginning with the code area.
    steps_.wholeArea = false;
    c_.OperationCode = 'B';
    steps_.StepLetter = 'P';
    Blank();
}

void PicRoutines::Blank() {
    if (!Handshake() || !SendByte(cmd::Read)) {
        return;
    }
    const uint8_t area = AreaSetup();
    c_.Caption("Blank");
    if (!SendByte(area)) {
        return;
    }
    // An erased word reads as the device's own pattern: BlankValue (0x0F for 12-bit
    // cores, 0x3F for 14-bit cores, 0xFF for PIC18) then 0xFF.
    for (int32_t i = 0; i < count_ && c_.Running() && c_.Errors() == 0; i += kUnit) {
        uint8_t unit[kUnit];
        const std::size_t want = UnitAt(i);
        if (!phase_.ReceiveData(unit, want)) {
            return;
        }
        for (std::size_t j = 0; j < want; ++j) {
            if (unit[j] != (j == 0 ? blank_ : uint8_t{0xFF})) {
                c_.ReportError(report::NotBlank, unit[j]);
                return;
            }
            ++c_.buffer.BufferPos;
            c_.Advance(1);
        }
    }
    Completed(PicDone::Blank);
}

void PicRoutines::Run() {
    steps_.eraseBeforeProgram = false;
    c_.ClearErrors();
    uint8_t& progBits = c_.choices.ProgBits;
    if (progBits == 0) {
        progBits = picstep::Code;
    }
    uint8_t mask = c_.OperationCode == 'E' ? c_.record.ProgStepMask() : progBits;
    do {
        mask = SelectPicStep(mask, c_.OperationCode, steps_);
        c_.ClearErrors();
        steps_.wholeArea = true;
        c_.GaugeMaximum(c_.record.LastAddress());
        c_.GaugePosition(0);
        const auto verify = [this] {
            steps_.wholeArea = false;
            c_.GaugePosition(0);
            c_.Caption("Verify");
            Verify();
        };
        switch (c_.OperationCode) {
            case 'B':
                steps_.wholeArea = false;
                Blank();
                break;
            case 'E':
                c_.Caption("Erase");
                if (c_.record.HasChipErase()) {
                    Erase();
                }
                if (steps_.eraseBeforeProgram) {
                    c_.OperationCode = 'P';
                }
                break;
            case 'P':
                c_.Caption("Program");
                c_.GaugePosition(0);
                steps_.wholeArea = false;
                Program();
                if (c_.Errors() == 0 && c_.Running()) {
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
    c_.host.CloseProgress();
}

}  // namespace

void RunPicOperation(OperationContext& context) {
    PicRoutines(context).Run();
}

}  // namespace kardo
