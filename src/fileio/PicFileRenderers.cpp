// SPDX-License-Identifier: GPL-3.0-or-later
// The PIC formats: fixed sections (code, data EEPROM, ID, configuration) written where
// the loader finds them again, so that a saved file loads back to the same buffer.
#include <algorithm>
#include <vector>

#include "fileio/HexRecords.h"
#include "fileio/PicAreaMap.h"
#include "fileio/PicSections.h"
#include "fileio/SaveRenderers.h"

namespace kardo {
namespace {

// The bytes of a section from `at` on in file order: pairs exchanged unless the section
// keeps buffer order.
void FileOrder(const DeviceBuffer& buffer, std::size_t at, std::size_t n, bool exchanged,
               uint8_t* out) {
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t from = exchanged ? at + (i ^ 1u) : at + i;
        out[i] = from < buffer.BufferSize() ? buffer[from] : 0;
    }
}

class Inh8mWriter {
  public:
    Inh8mWriter(std::string& out, const DeviceBuffer& buffer, SaveProgress& progress)
        : out_(out), buffer_(buffer), progress_(progress) {}

    // Records of up to `perRecord` bytes; `wrapAfter` adds an extended-address record
    // after every record that leaves the address above 0xFFDC (the code section).
    // A section of exchanged pairs that ends inside a word is written to the end of that
    // word, so that the loader can put both of its bytes back.
    void Section(const PicSection& s, std::size_t perRecord, bool wrapAfter) {
        const uint32_t length = s.exchanged ? (s.length + 1) & ~1u : s.length;
        address_ = s.file;
        if (s.extendedAddress) {
            Upper();
        }
        for (uint32_t done = 0; done < length;) {
            const auto n = static_cast<std::size_t>(
                std::min<uint32_t>(static_cast<uint32_t>(perRecord), length - done));
            uint8_t data[255];
            FileOrder(buffer_, s.buffer + done, n, s.exchanged, data);
            AppendIntelRecord(out_, static_cast<uint8_t>(n), static_cast<uint16_t>(address_), 0x00,
                              data, n, "\n");
            done += static_cast<uint32_t>(n);
            address_ += static_cast<uint32_t>(n);
            if (wrapAfter && address_ > 0xFFDC) {
                Upper();
            }
            progress_.At(s.buffer + done);
        }
    }

  private:
    void Upper() {
        const uint8_t bytes[2] = {static_cast<uint8_t>(address_ >> 24),
                                  static_cast<uint8_t>(address_ >> 16)};
        AppendIntelRecord(out_, 2, 0, 0x04, bytes, 2, "\r\n");
    }

    std::string& out_;
    const DeviceBuffer& buffer_;
    SaveProgress& progress_;
    uint32_t address_ = 0;
};

}  // namespace

// The sections go in the order of their file addresses, as readers that check the order
// of the records expect; the loader takes them in any order.
void RenderInh8m(std::string& out, const DeviceBuffer& buffer, const DeviceRecord& record,
                 SaveProgress& progress) {
    const PicSections s = PicSectionsFor(record);
    struct Part {
        const PicSection* section;
        std::size_t perRecord;
    };
    std::vector<Part> parts = {{&s.code, 16}};
    if (s.eeprom)
        parts.push_back({&*s.eeprom, 16});
    if (s.id)
        parts.push_back({&*s.id, 16});
    // One record, so that the loader moves all of it to the configuration position.
    parts.push_back({&s.config, 255});
    std::stable_sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) {
        return a.section->file < b.section->file;
    });
    Inh8mWriter writer(out, buffer, progress);
    for (const Part& part : parts) {
        writer.Section(*part.section, part.perRecord, part.section == &s.code);
    }
    out += ":00000001FF\n";
}

namespace {

// One section of a word-addressed file: the word its first record carries, and the
// largest record it is written in, in bytes.
struct Inx16Section {
    PicSection section;
    uint32_t word = 0;
    std::size_t perRecord = 16;
};

// Word addresses, buffer order, no extended records. Where the loader moves an area by
// its word address (ID and configuration of the parts whose areas sit above their code,
// and the PIC18 EEPROM), that address is used; elsewhere half the byte address, at which
// the loader puts the area back where the buffer keeps it.
std::vector<Inx16Section> Inx16Layout(const DeviceRecord& record) {
    const PicSections s = PicSectionsFor(record);
    const PicWordMap words = PicWordMapFor(record);
    const uint8_t variant = record.Variant();
    const bool pic18 = variant == 18;
    std::vector<Inx16Section> layout = {{s.code, 0, 16}};
    if (s.eeprom) {
        layout.push_back({*s.eeprom, pic18 ? words.eepromWord : s.eeprom->buffer / 2, 16});
    }
    if (s.id) {
        const bool moved = !KeepsAreasAtWord2000(variant);
        layout.push_back({*s.id, moved ? words.idWord : s.id->file / 2, 16});
    }
    const bool configMoved = pic18 || variant == 3 || variant == 8;
    layout.push_back({s.config, configMoved ? words.configWord : s.config.file / 2, 510});
    // In the order of their addresses, as for byte-addressed files.
    std::stable_sort(layout.begin(), layout.end(),
                     [](const Inx16Section& a, const Inx16Section& b) { return a.word < b.word; });
    return layout;
}

}  // namespace

std::string Inx16Problem(const DeviceRecord& record) {
    for (const Inx16Section& s : Inx16Layout(record)) {
        if (s.word + (s.section.length + 1) / 2 > 0x10000) {
            return "INX16 files address 64K words, less than this device holds: save it as "
                   "INH8M.";
        }
    }
    return {};
}

void RenderInx16(std::string& out, const DeviceBuffer& buffer, const DeviceRecord& record,
                 SaveProgress& progress) {
    for (const Inx16Section& s : Inx16Layout(record)) {
        const PicSection& section = s.section;
        for (uint32_t done = 0; done < section.length;) {
            const uint32_t n =
                std::min<uint32_t>(static_cast<uint32_t>(s.perRecord), section.length - done);
            const uint32_t wordsInRecord = (n + 1) / 2;  // a last single byte fills its word
            uint8_t data[512];
            FileOrder(buffer, section.buffer + done, 2 * wordsInRecord, false, data);
            AppendIntelRecord(out, static_cast<uint8_t>(wordsInRecord),
                              static_cast<uint16_t>(s.word + done / 2), 0x00, data,
                              2 * wordsInRecord, "\n");
            done += 2 * wordsInRecord;
            progress.At(section.buffer + done);
        }
    }
    out += ":00000001FF\n";
}

}  // namespace kardo
