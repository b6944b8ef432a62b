// SPDX-License-Identifier: GPL-3.0-or-later
// An ELF program loaded as a data file: the same buffer, fill, offset and report as
// any file, and a few lines on what the program held.
#include "fileio/ElfLoad.h"

#include <algorithm>
#include <array>
#include <numeric>

#include "common/FileBytes.h"
#include "common/Format.h"

namespace kardo {
namespace {

uint64_t Bytes(const std::vector<ElfImage::Chunk>& chunks) {
    return std::accumulate(chunks.begin(), chunks.end(), uint64_t{0},
                           [](uint64_t n, const ElfImage::Chunk& c) { return n + c.bytes.size(); });
}

void ReportContents(const ElfImage& image, const DeviceRecord& record, FileIoHost& host) {
    for (const auto& section : image.sections) {
        host.AppendLine(Format(" ELF section %s : %llu bytes", section.name.c_str(),
                               static_cast<unsigned long long>(section.size)));
    }
    if (image.sections.empty()) {  // no section headers: say it by memory
        host.AppendLine(
            Format(" ELF code : %llu bytes", static_cast<unsigned long long>(Bytes(image.code))));
        if (!image.eeprom.empty()) {
            host.AppendLine(Format(" ELF EEPROM : %llu bytes",
                                   static_cast<unsigned long long>(Bytes(image.eeprom))));
        }
    }
    if (!image.eeprom.empty() && record.Family() == 'M') {
        host.AppendLine(" The .eeprom section is not programmed: no step writes the data EEPROM");
    }
}

}  // namespace

bool LooksLikeElf(const std::vector<uint8_t>& bytes) {
    static constexpr std::array<uint8_t, 4> kMagic{0x7F, 'E', 'L', 'F'};
    return bytes.size() >= kMagic.size() && std::equal(kMagic.begin(), kMagic.end(), bytes.begin());
}

ElfLoadOutcome LoadElfBytes(const std::vector<uint8_t>& bytes, const LoadRequest& request,
                            DeviceBuffer& buffer, ConfigBits& bits, FileIoHost& host) {
    ElfReadResult read = ReadElfImage(bytes);
    ElfLoadOutcome outcome;
    if (!read.image) {
        outcome.error = read.error;
        outcome.result = load::ReadFailure;
        return outcome;
    }
    const ElfImage& image = *read.image;
    outcome.result = LoadElfImage(image, request, buffer, host);
    if (outcome.result == load::Ok) {
        ReportContents(image, request.record, host);
    }
    ApplyElfFuses(image, bits);
    outcome.fusesFromFile = !image.fuses.empty() || image.lock.has_value();
    outcome.eepromFromFile = !image.eeprom.empty();
    return outcome;
}

uint8_t LoadFileOrElf(const LoadRequest& request, DeviceBuffer& buffer, ConfigBits& bits,
                      FileIoHost& host) {
    const FileBytes file = ReadFileBytes(request.file, kLargestDataFile);
    if (!file.ok()) {
        host.ShowMessage("File ERROR", FileIoHost::Icon::Warning);
        return load::ReadFailure;
    }
    if (!LooksLikeElf(file.bytes)) {
        return LoadFileBytes(file.bytes, request, buffer, host);
    }
    const ElfLoadOutcome elf = LoadElfBytes(file.bytes, request, buffer, bits, host);
    if (!elf.error.empty()) {
        host.AppendLine(" ");
        // Built up in steps: GCC 12 takes " " + a path's string for an overlapping copy.
        std::string line = " ";
        line += request.file.string();
        line += ": ";
        line += elf.error;
        host.AppendLine(line);
        host.PlayFailure();
    }
    return elf.result;
}

void ApplyElfFuses(const ElfImage& image, ConfigBits& bits) {
    uint8_t* const fuses[] = {&bits.FuseLow, &bits.FuseHigh, &bits.FuseExt};
    // The parts with more fuse bytes than these three are programmed some other way.
    const std::size_t n = std::min(image.fuses.size(), std::size(fuses));
    for (std::size_t i = 0; i < n; ++i)
        *fuses[i] = image.fuses[i];
    if (image.lock)
        bits.LockBits = *image.lock;
}

}  // namespace kardo
