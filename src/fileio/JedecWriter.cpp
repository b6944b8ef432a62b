// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/JedecWriter.h"

#include "common/Format.h"
#include "devicedb/Checksum.h"
#include "fileio/HexRecords.h"
#include "fileio/PldLayout.h"

namespace kardo {
namespace {

constexpr const char* kLineEnd = "\r\n";

bool FuseSet(const DeviceBuffer& buffer, uint32_t fuse) {
    return fuse < buffer.BufferSize() && buffer[fuse] == '1';
}

// "*L" + first fuse + " " + the fuses from `first` up to `end`.
void FuseLine(std::string& out, const DeviceBuffer& buffer, uint32_t first, uint32_t end) {
    out += Format("*L%05u ", first);
    for (uint32_t fuse = first; fuse < end; ++fuse) {
        out += FuseSet(buffer, fuse) ? '1' : '0';
    }
    out += kLineEnd;
}

// The UES as text: printable bytes as characters in quotes, the others as two hex digits
// between spaces. A UES that ends with a character leaves its quote open.
void UesText(std::string& out, const DeviceBuffer& buffer, const PldLayout& layout) {
    out += "*N UES";
    bool afterCharacter = false;
    for (uint32_t i = 0; i < layout.uesBytes; ++i) {
        uint8_t byte = 0;
        for (uint32_t bit = 0; bit < 8; ++bit) {
            if (FuseSet(buffer, layout.uesStart + 8 * i + bit))
                byte |= static_cast<uint8_t>(1u << bit);
        }
        const bool printable = byte >= 0x20 && byte < 0x7F;
        if (printable) {
            if (!afterCharacter)
                out += " \"";
            out += static_cast<char>(byte);
        } else {
            if (afterCharacter)
                out += '"';
            out += Format(" %.2X ", unsigned{byte});
        }
        afterCharacter = printable;
    }
    out += kLineEnd;
}

}  // namespace

void RenderJedec(std::string& out, const DeviceBuffer& buffer, const DeviceRecord& record) {
    const PldLayout layout = PldLayoutFor(record.Variant()).value_or(kPldLayouts[0]);
    out += '\x02';
    out += kLineEnd;
    out += "Jedec File for ";
    // The name field as stored, its NUL padding included.
    out.append(reinterpret_cast<const char*>(record.bytes().data() + field::Name.offset), 19);
    out += Format("\r\n*QP%u\r\n*QF%u\r\n*QV0\r\n*F0\r\n*G0\r\n*X0\r\n",
                  unsigned{record.PinCount()}, layout.fuses);
    uint32_t fuse = 0;
    for (uint32_t row = 0; row < layout.rows; ++row, fuse += layout.fusesPerRow) {
        FuseLine(out, buffer, fuse, fuse + layout.fusesPerRow);
    }
    for (uint32_t row = 0; row < layout.laterRows; ++row, fuse += layout.fusesPerLaterRow) {
        FuseLine(out, buffer, fuse, fuse + layout.fusesPerLaterRow);
    }
    if (fuse < layout.uesStart) {
        FuseLine(out, buffer, fuse, layout.uesStart);
        fuse = layout.uesStart;
    }
    UesText(out, buffer, layout);
    const uint32_t uesEnd = layout.uesStart + 8u * layout.uesBytes;
    FuseLine(out, buffer, layout.uesStart, uesEnd);
    if (uesEnd < layout.fuses) {
        FuseLine(out, buffer, uesEnd, layout.fuses);
    }
    // The signature bytes are not known to the program: they are written as zeros.
    out += "*N PES";
    for (uint32_t i = 0; i < layout.pesBits / 8u; ++i) {
        out += " 00";
    }
    out += kLineEnd;
    out += Format("*C%.4X\r\n", ComputeChecksum(record, buffer) & 0xFFFFu);
}

}  // namespace kardo
