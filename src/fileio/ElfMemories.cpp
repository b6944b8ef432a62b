// SPDX-License-Identifier: GPL-3.0-or-later
// Where the bytes of an ELF file go. avr-gcc gives each AVR memory a load address range
// of its own (the linker has only one address space); an 8051 file holds code alone.
#include "fileio/ElfMemories.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace kardo::elf {
namespace {

// 32 address bits at most: the 16 of a data record and the 16 of a type 04 record.
constexpr uint64_t kIntelHexReach = uint64_t{1} << 32;

// The memories the AVR toolchain gives their own load addresses.
enum class Space { Code, Eeprom, Fuse, Lock, Signature, Ram };

struct Region {
    uint64_t start;
    uint64_t end;
    Space space;
    const char* name;
};

constexpr std::array<Region, 6> kAvrRegions{{
    {0x000000, 0x800000, Space::Code, "program memory"},
    {0x800000, 0x810000, Space::Ram, "RAM"},
    {0x810000, 0x820000, Space::Eeprom, "EEPROM"},
    {0x820000, 0x830000, Space::Fuse, "fuses"},
    {0x830000, 0x840000, Space::Lock, "lock bits"},
    {0x840000, 0x850000, Space::Signature, "signature"},
}};

// Bytes for one memory, at an address in that memory.
struct Piece {
    Space space = Space::Code;
    Extent extent;
};

std::string PlaceAvr(const Extent& e, std::vector<Piece>& pieces) {
    for (const auto& r : kAvrRegions) {
        if (e.address < r.start || e.address >= r.end)
            continue;
        if (e.size > r.end - e.address)
            return "the ELF file has " + Hex(e.size) + " bytes at " + Hex(e.address) +
                   ", running out of the AVR's " + r.name;
        if (r.space == Space::Ram)
            return "the ELF file loads bytes into the AVR's RAM at " + Hex(e.address) +
                   ", which cannot be programmed";
        // The signature is there for checking the part, not for programming it.
        if (r.space != Space::Signature)
            pieces.push_back({r.space, {e.address - r.start, e.offset, e.size}});
        return {};
    }
    return "the ELF file loads bytes at " + Hex(e.address) +
           ", in no AVR memory that can be programmed";
}

std::string Place(ElfImage::Machine machine, const std::vector<Extent>& extents,
                  std::vector<Piece>& pieces) {
    for (const auto& e : extents) {
        if (machine == ElfImage::Machine::Avr) {
            if (auto error = PlaceAvr(e, pieces); !error.empty())
                return error;
        } else if (e.address >= kIntelHexReach || e.size > kIntelHexReach - e.address) {
            return "the ELF file loads bytes at " + Hex(e.address) +
                   ", beyond the 4 GiB an Intel HEX file can address";
        } else {
            pieces.push_back({Space::Code, e});
        }
    }
    return {};
}

const char* SpaceName(Space space) {
    for (const auto& r : kAvrRegions)
        if (r.space == space)
            return r.name;
    return "memory";
}

// The pieces of one memory in address order, touching ones joined into one chunk. Two
// segments loading the same address would leave it to chance which one is programmed.
std::string Chunks(std::vector<Extent> extents, Space space, const std::vector<uint8_t>& bytes,
                   std::vector<ElfImage::Chunk>& chunks) {
    std::sort(extents.begin(), extents.end(),
              [](const Extent& a, const Extent& b) { return a.address < b.address; });
    for (const auto& e : extents) {
        const auto from = bytes.begin() + static_cast<std::ptrdiff_t>(e.offset);
        const auto to = from + static_cast<std::ptrdiff_t>(e.size);
        if (!chunks.empty()) {
            auto& last = chunks.back();
            const uint64_t lastEnd = last.address + last.bytes.size();
            if (e.address < lastEnd)
                return std::string("the ELF file loads ") + SpaceName(space) + " address " +
                       Hex(e.address) + " twice";
            if (e.address == lastEnd) {
                last.bytes.insert(last.bytes.end(), from, to);
                continue;
            }
        }
        chunks.push_back({e.address, std::vector<uint8_t>(from, to)});
    }
    return {};
}

std::string Fill(const std::vector<Piece>& pieces, const std::vector<uint8_t>& bytes,
                 ElfImage& image) {
    std::array<std::vector<ElfImage::Chunk>, 4> chunks;
    for (Space space : {Space::Code, Space::Eeprom, Space::Fuse, Space::Lock}) {
        std::vector<Extent> extents;
        for (const auto& p : pieces)
            if (p.space == space)
                extents.push_back(p.extent);
        if (auto error = Chunks(extents, space, bytes, chunks[static_cast<std::size_t>(space)]);
            !error.empty())
            return error;
    }
    image.code = std::move(chunks[static_cast<std::size_t>(Space::Code)]);
    image.eeprom = std::move(chunks[static_cast<std::size_t>(Space::Eeprom)]);
    // Fuse bytes have no "unset" value: a gap would program a fuse nobody chose.
    const auto& fuses = chunks[static_cast<std::size_t>(Space::Fuse)];
    if (fuses.size() > 1 || (fuses.size() == 1 && fuses[0].address != 0))
        return "the ELF file's fuse bytes do not run from 0x820000 without a gap";
    if (!fuses.empty())
        image.fuses = fuses[0].bytes;
    const auto& lock = chunks[static_cast<std::size_t>(Space::Lock)];
    if (lock.size() > 1 ||
        (lock.size() == 1 && (lock[0].address != 0 || lock[0].bytes.size() != 1)))
        return "the ELF file's lock bits are not one byte at 0x830000";
    if (!lock.empty())
        image.lock = lock[0].bytes[0];
    if (image.code.empty() && image.eeprom.empty() && image.fuses.empty() && !image.lock)
        return "the ELF file holds nothing to program";
    return {};
}

}  // namespace

std::string Hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

std::string FillMemories(const std::vector<Extent>& extents, const std::vector<uint8_t>& bytes,
                         ElfImage& image) {
    std::vector<Piece> pieces;
    if (auto error = Place(image.machine, extents, pieces); !error.empty())
        return error;
    return Fill(pieces, bytes, image);
}

}  // namespace kardo::elf
