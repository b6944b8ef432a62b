// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/JedecReader.h"

#include <algorithm>
#include <cctype>

#include "common/Format.h"
#include "devicedb/Checksum.h"
#include "fileio/LoadErrors.h"
#include "fileio/PldLayout.h"

namespace kardo {
namespace {

bool Whitespace(uint8_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool Digit(uint8_t c) {
    return c >= '0' && c <= '9';
}

// The fields a JEDEC file is read for; everything between them is passed over.
class JedecFields {
  public:
    JedecFields(DeviceBuffer& buffer) : buffer_(buffer) {}

    void Take(uint8_t c) {
        if (c == '*') {  // ends every field
            state_ = State::FieldStart;
            return;
        }
        switch (state_) {
            case State::FieldStart:
                FieldStart(c);
                break;
            case State::SkipToStar:
                break;
            case State::FuseNumber:
                FuseNumber(c);
                break;
            case State::FuseData:
                FuseData(c);
                break;
            case State::QField:
                QField(c);
                break;
            case State::QNumber:
                QNumber(c);
                break;
            case State::QTrailer:
                break;
            case State::Checksum:
                Checksum(c);
                break;
        }
    }

    uint32_t givenChecksum = 0;
    std::optional<uint32_t> pins, fuses;  // QP and QF
    uint32_t lastListEnd = 0;             // one past the last fuse read
    uint32_t highestEnd = 0;              // one past the highest fuse read
    bool anyFuse = false;                 // a fuse list gave at least one fuse
    bool pastBuffer = false;              // a fuse list ran past the end of the buffer

  private:
    enum class State {
        FieldStart,
        SkipToStar,
        FuseNumber,
        FuseData,
        QField,
        QNumber,
        QTrailer,
        Checksum
    };

    void FieldStart(uint8_t c) {
        if (Whitespace(c))
            return;
        switch (c) {
            case 'C':
                state_ = State::Checksum;
                break;
            case 'L':
                number_ = 0;
                digits_ = 0;
                state_ = State::FuseNumber;
                break;
            case 'Q':
                state_ = State::QField;
                break;
            default:
                state_ = State::SkipToStar;
                break;  // the header after STX, F, G, N, ...
        }
    }
    void FuseNumber(uint8_t c) {
        if (Digit(c)) {
            number_ = std::min<uint64_t>(number_ * 10 + (c - '0'), UINT32_MAX);
            ++digits_;
        } else if (Whitespace(c)) {
            state_ = State::FuseData;
        } else {
            state_ = State::FieldStart;
        }
    }
    void FuseData(uint8_t c) {
        if (Whitespace(c))
            return;
        if (c != '0' && c != '1') {
            state_ = State::FieldStart;
            return;
        }
        if (number_ < buffer_.BufferSize()) {
            buffer_[static_cast<std::size_t>(number_)] = c;
        } else {
            pastBuffer = true;
        }
        number_ = std::min<uint64_t>(number_ + 1, UINT32_MAX);
        lastListEnd = static_cast<uint32_t>(number_);
        highestEnd = std::max(highestEnd, lastListEnd);
        anyFuse = true;
    }
    void QField(uint8_t c) {
        if (c == 'P' || c == 'F') {
            qTarget_ = c == 'P' ? &pins : &fuses;
            *qTarget_ = 0;
            digits_ = 0;
            state_ = State::QNumber;
        } else {
            state_ = State::FieldStart;
        }
    }
    void QNumber(uint8_t c) {
        if (Digit(c)) {
            **qTarget_ = static_cast<uint32_t>(
                std::min<uint64_t>(uint64_t{**qTarget_} * 10 + (c - '0'), UINT32_MAX));
            ++digits_;
        } else if (c == ' ' && digits_ == 0) {
            // spaces before the number
        } else {
            state_ = State::QTrailer;  // a space ends it; the rest up to the '*' is passed over
        }
    }
    void Checksum(uint8_t c) {
        if (std::isxdigit(c) != 0) {
            const uint32_t digit = Digit(c) ? c - '0' : (std::toupper(c) - 'A' + 10);
            givenChecksum = (givenChecksum << 4 | digit) & 0xFFFFFFFFu;
        } else {
            state_ = State::FieldStart;
        }
    }

    DeviceBuffer& buffer_;
    State state_ = State::FieldStart;
    uint64_t number_ = 0;
    int digits_ = 0;
    std::optional<uint32_t>* qTarget_ = nullptr;
};

}  // namespace

uint8_t ReadJedec(const std::vector<uint8_t>& file, const DeviceRecord& record,
                  DeviceBuffer& buffer, FileIoHost& host) {
    std::fill(buffer.data(), buffer.data() + buffer.BufferSize(), record.BlankValue());
    JedecFields fields(buffer);
    for (const uint8_t c : file) {
        fields.Take(c);
    }
    uint8_t result = load::Ok;
    if (fields.givenChecksum != 0) {
        const uint32_t calculated = ComputeChecksum(record, buffer) & 0xFFFFu;
        if (fields.givenChecksum != calculated) {
            host.AppendLine(
                Format(" Checksum given %.4X calculated %.4X", fields.givenChecksum, calculated));
            result = load::ChecksumError;
        }
    }
    const PldLayout layout = PldLayoutFor(record.Variant()).value_or(kPldLayouts[0]);
    // A map of another size is another device's, whatever its checksum says.
    const bool fitsDevice =
        layout.fuses == 0 ||
        (fields.fuses.value_or(layout.fuses) == layout.fuses && fields.highestEnd <= layout.fuses);
    if (!fields.anyFuse) {
        // Nothing was read: an empty or foreign file must not load as an erased map.
        host.AppendLine(" No fuse list in file");
        result = load::ReadFailure;
    } else if (fields.fuses.value_or(0) == fields.lastListEnd) {
        if ((fields.pins && *fields.pins != layout.pins) || !fitsDevice) {
            host.AppendLine(" File NOT for Selected Device !!");
            result = load::ReadFailure;
        }
    } else {
        host.AppendLine(" File Error , Aborted");
        result = load::ReadFailure;
    }
    if (fields.pastBuffer) {
        host.AppendLine(" Fuses beyond the end of the buffer were left out");
        result = load::ReadFailure;
    }
    return result;
}

}  // namespace kardo
