// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/VirtualChip.h"

#include <algorithm>

#include "common/FileBytes.h"
#include "common/SafeWrite.h"

namespace kardo {
namespace {

constexpr char kMagic[] = "KARDO virtual chip 1\n";
constexpr uint32_t kLargestArea = 0x4000000;

void FillPairs(std::vector<uint8_t>& area, uint8_t first) {
    for (std::size_t i = 0; i < area.size(); ++i) {
        area[i] = (i % 2 == 0) ? first : uint8_t{0xFF};
    }
}

void PutArea(std::string& out, const std::vector<uint8_t>& area) {
    const auto n = static_cast<uint32_t>(area.size());
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>(n >> (8 * i)));
    out.append(area.begin(), area.end());
}

class Reader {
  public:
    explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    bool Byte(uint8_t& v) {
        if (at_ >= bytes_.size())
            return false;
        v = static_cast<uint8_t>(bytes_[at_++]);
        return true;
    }
    bool Area(std::vector<uint8_t>& area) {
        uint32_t n = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b = 0;
            if (!Byte(b))
                return false;
            n |= uint32_t{b} << (8 * i);
        }
        if (n > kLargestArea || bytes_.size() - at_ < n)
            return false;
        area.assign(bytes_.begin() + static_cast<long>(at_),
                    bytes_.begin() + static_cast<long>(at_ + n));
        at_ += n;
        return true;
    }
    bool Text(std::string& text) {
        uint8_t n = 0;
        if (!Byte(n) || bytes_.size() - at_ < n)
            return false;
        text.assign(bytes_.begin() + static_cast<long>(at_),
                    bytes_.begin() + static_cast<long>(at_ + n));
        at_ += n;
        return true;
    }
    bool Expect(const std::string& literal) {
        if (bytes_.size() - at_ < literal.size() ||
            !std::equal(literal.begin(), literal.end(), bytes_.begin() + static_cast<long>(at_))) {
            return false;
        }
        at_ += literal.size();
        return true;
    }

  private:
    const std::vector<uint8_t>& bytes_;
    std::size_t at_ = 0;
};

}  // namespace

VirtualChip VirtualChip::For(const DeviceRecord& r) {
    VirtualChip chip;
    chip.family = r.Family();
    chip.name = r.Name();
    chip.variant = r.Variant();
    chip.configCode = r.ConfigCode();
    chip.blankValue = r.BlankValue();
    const int64_t size = r.Size();
    chip.memory.resize(size > 0 && size <= kLargestArea ? static_cast<std::size_t>(size) : 0);
    if (chip.family == 'C') {
        // The data area as the programmer transfers it: the data count of the upload.
        const std::size_t eeprom = r.EepromSize() + 1u;
        chip.data.resize(r.Variant() == 18 ? eeprom : eeprom * 2);
        chip.id.resize(8);
        chip.step.resize(2);
        chip.config.resize(r.ConfigCount());
    } else if (chip.family == 'M') {
        chip.data.resize(r.EepromSize());  // the AVRs' data EEPROM, one byte per byte
    }
    chip.signature = {r.ManufId(), r.DeviceId(), r.DeviceId2()};
    chip.Erase();
    return chip;
}

VirtualChip VirtualChip::FromParameters(uint32_t size, char family, uint8_t variant,
                                        uint16_t dataCount) {
    VirtualChip chip;
    chip.family = family;
    chip.variant = variant;
    chip.blankValue = family == 'C' ? uint8_t{0x3F} : uint8_t{0xFF};  // a 14-bit core
    chip.memory.resize(size);
    if (family == 'C') {
        chip.data.resize(dataCount);
        chip.id.resize(8);
        chip.step.resize(2);
        chip.config.resize(variant == 18 ? 14 : 2);
    }
    chip.Erase();
    return chip;
}

void VirtualChip::Erase() {
    switch (family) {
        case 'C':
            // Every word reads back as the core's erased word: 0x0FFF for 12-bit cores,
            // 0x3FFF for 14-bit cores, 0xFFFF for PIC18, high byte first.
            for (auto* area : {&memory, &data, &id, &step, &config}) {
                FillPairs(*area, blankValue);
            }
            break;
        case 'M':
            FillPairs(memory, blankValue);
            std::fill(data.begin(), data.end(), uint8_t{0xFF});
            lockByte = 0x00;
            break;
        default:
            std::fill(memory.begin(), memory.end(), uint8_t{0xFF});
            break;
    }
}

bool VirtualChip::SameDevice(const VirtualChip& other) const {
    return family == other.family && name == other.name && memory.size() == other.memory.size() &&
           data.size() == other.data.size() && config.size() == other.config.size();
}

std::string VirtualChip::Save(const std::filesystem::path& file) const {
    std::string out = kMagic;
    for (uint8_t b : {static_cast<uint8_t>(family), variant, configCode, blankValue}) {
        out.push_back(static_cast<char>(b));
    }
    out.push_back(static_cast<char>(std::min<std::size_t>(name.size(), 255)));
    out.append(name.substr(0, 255));
    for (const auto* area : {&memory, &data, &id, &step, &config}) {
        PutArea(out, *area);
    }
    for (uint8_t b : {signature[0], signature[1], signature[2], lockByte, fuseLow, fuseHigh,
                      fuseExt, lockBits}) {
        out.push_back(static_cast<char>(b));
    }
    // Written beside the old file and renamed over it, so a crash never leaves half a chip.
    return WriteFileSafely(file, out);
}

ChipFile LoadChipFile(const std::filesystem::path& file) {
    ChipFile result;
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(file, error))) {
        return result;  // Missing
    }
    const FileBytes read = ReadFileBytes(file, 8 * uint64_t{kLargestArea});
    if (!read.ok()) {
        result.status = ChipFile::Status::Unreadable;
        result.reason = read.error;
        return result;
    }
    Reader in(read.bytes);
    VirtualChip chip;
    uint8_t family = 0;
    bool ok = in.Expect(kMagic) && in.Byte(family) && in.Byte(chip.variant) &&
              in.Byte(chip.configCode) && in.Byte(chip.blankValue) && in.Text(chip.name);
    for (auto* area : {&chip.memory, &chip.data, &chip.id, &chip.step, &chip.config}) {
        ok = ok && in.Area(*area);
    }
    for (uint8_t* b : {&chip.signature[0], &chip.signature[1], &chip.signature[2], &chip.lockByte,
                       &chip.fuseLow, &chip.fuseHigh, &chip.fuseExt, &chip.lockBits}) {
        ok = ok && in.Byte(*b);
    }
    if (!ok) {
        result.status = ChipFile::Status::NotAChipImage;
        return result;
    }
    chip.family = static_cast<char>(family);
    result.status = ChipFile::Status::Loaded;
    result.chip = std::move(chip);
    return result;
}

}  // namespace kardo
