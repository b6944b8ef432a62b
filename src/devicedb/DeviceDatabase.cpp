// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicedb/DeviceDatabase.h"

#include <algorithm>
#include <cstdint>
#include <fstream>

#include "common/FileBytes.h"

namespace kardo {
namespace {

constexpr uint64_t kCountOffset = 13;
constexpr uint64_t kEntriesOffset = 16;
constexpr uint64_t kEntrySize = 16;
constexpr uint64_t kEntryNameOffset = 1;
constexpr std::size_t kManufacturerNameLength = 15;
constexpr uint64_t kBlockHeaderSize = 4;

// Bounded reads at absolute offsets: a read never goes past the end of the file and
// says how many bytes it delivered.
class FileReader {
  public:
    // Only a regular file is opened: a folder cannot be read, and a pipe would block.
    explicit FileReader(const std::filesystem::path& path) {
        if (IsRegularFile(path)) {
            in_.open(path, std::ios::binary);
        }
        if (in_) {
            in_.seekg(0, std::ios::end);
            size_ = static_cast<uint64_t>(in_.tellg());
        }
    }
    bool IsOpen() const { return static_cast<bool>(in_); }
    uint64_t Size() const { return size_; }

    std::size_t Read(uint64_t offset, uint8_t* out, std::size_t n) {
        if (offset >= size_) {
            return 0;
        }
        const auto available = static_cast<std::size_t>(std::min<uint64_t>(n, size_ - offset));
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(offset));
        in_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(available));
        return static_cast<std::size_t>(in_.gcount());
    }

    std::optional<uint16_t> ReadU16(uint64_t offset) {
        uint8_t b[2];
        if (Read(offset, b, 2) != 2) {
            return std::nullopt;
        }
        return static_cast<uint16_t>(b[0] | (b[1] << 8));
    }

    unsigned ManufacturerCount() {
        uint8_t m = 0;
        Read(kCountOffset, &m, 1);
        return m;
    }

  private:
    std::ifstream in_;
    uint64_t size_ = 0;
};

struct Block {
    uint64_t firstRecord;  // offset of record 0
    uint16_t count;
};

// Walks the blocks before manufacturer m, each skipped by its own count. nullopt when
// m is outside the file or its block header lies beyond the end of the file.
std::optional<Block> FindBlock(FileReader& file, int m) {
    const unsigned manufacturers = file.ManufacturerCount();
    if (m < 0 || static_cast<unsigned>(m) >= manufacturers) {
        return std::nullopt;
    }
    uint64_t offset = kEntriesOffset + kEntrySize * manufacturers;
    for (int block = 0;; ++block) {
        const auto count = file.ReadU16(offset + 2);
        if (!count) {
            return std::nullopt;
        }
        if (block == m) {
            return Block{offset + kBlockHeaderSize, *count};
        }
        offset += kBlockHeaderSize + uint64_t{kRecordSize} * *count;
    }
}

}  // namespace

namespace DeviceDatabase {

std::string FileProblem(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return {};
    }
    FileReader file(path);
    if (!file.IsOpen()) {
        return "cannot be read";
    }
    const uint64_t size = file.Size();
    const unsigned manufacturers = file.ManufacturerCount();
    uint64_t offset = kEntriesOffset + kEntrySize * manufacturers;
    if (size <= kCountOffset || offset > size) {
        return "is cut short in its list of manufacturers";
    }
    for (unsigned m = 0; m < manufacturers; ++m) {
        const auto count = file.ReadU16(offset + 2);
        offset += kBlockHeaderSize + (count ? uint64_t{kRecordSize} * *count : 0);
        if (!count || offset > size) {
            return "is cut short in the devices of manufacturer " + std::to_string(m + 1) + " of " +
                   std::to_string(manufacturers);
        }
    }
    return {};
}

std::optional<std::vector<std::string>> ListManufacturers(const std::filesystem::path& path) {
    FileReader file(path);
    if (!file.IsOpen()) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    const unsigned manufacturers = file.ManufacturerCount();
    for (unsigned i = 0; i < manufacturers; ++i) {
        uint8_t name[kManufacturerNameLength];
        const std::size_t got =
            file.Read(kEntriesOffset + kEntrySize * i + kEntryNameOffset, name, sizeof name);
        if (got == 0) {
            break;
        }
        names.push_back(TextUpToNul(name, got));
    }
    return names;
}

std::optional<std::vector<std::string>> ListDevices(const std::filesystem::path& path, int m) {
    FileReader file(path);
    if (!file.IsOpen()) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    const auto block = FindBlock(file, m);
    if (!block) {
        return names;
    }
    for (uint64_t k = 0; k < block->count; ++k) {
        const uint64_t at = block->firstRecord + uint64_t{kRecordSize} * k + field::Name.offset;
        uint8_t name[field::Name.length];
        const std::size_t got = file.Read(at, name, sizeof name);
        if (got < sizeof name) {
            break;  // the record's name runs past the end of the file
        }
        names.push_back(TextUpToNul(name, got));
    }
    return names;
}

RecordLookup LoadRecord(const std::filesystem::path& path, int m, int k) {
    RecordLookup result;
    FileReader file(path);
    if (!file.IsOpen()) {
        result.status = RecordLookup::Status::FileMissing;
        return result;
    }
    const auto block = FindBlock(file, m);
    if (!block || k < 0 || static_cast<unsigned>(k) >= block->count) {
        result.status = RecordLookup::Status::NotFound;
        return result;
    }
    const uint64_t at = block->firstRecord + uint64_t{kRecordSize} * static_cast<uint64_t>(k);
    const std::size_t got = file.Read(at, result.record.bytes().data(), kRecordSize);
    if (got == 0) {
        result.status = RecordLookup::Status::NotFound;
    } else if (got < kRecordSize) {
        result.status = RecordLookup::Status::Truncated;
    } else {
        result.status = RecordLookup::Status::Ok;
    }
    return result;
}

}  // namespace DeviceDatabase
}  // namespace kardo
