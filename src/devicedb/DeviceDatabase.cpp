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

}  // namespace

namespace DeviceDatabase {

// Where the index gets its bytes: the file, read front to back as the walk needs them
// and never beyond its end, or bytes already in memory.
class Index::Source {
  public:
    Source() = default;
    // Only a regular file is opened: a folder cannot be read, and a pipe would block.
    explicit Source(const std::filesystem::path& path) {
        if (IsRegularFile(path)) {
            in_.open(path, std::ios::binary);
        }
        if (in_) {
            in_.seekg(0, std::ios::end);
            size_ = static_cast<uint64_t>(in_.tellg());
            in_.seekg(0);
            reading_ = static_cast<bool>(in_);
        }
    }
    bool IsOpen() const { return reading_; }

    // Room for the whole file at once, so that it is not copied as it grows; a file
    // larger than any real database grows as it is read instead.
    void Reserve(std::vector<uint8_t>& bytes) const {
        constexpr uint64_t kLargestReserve = uint64_t{64} << 20;
        bytes.reserve(static_cast<std::size_t>(std::min(size_, kLargestReserve)));
    }

    // Makes `bytes` hold the file up to `end`, or to the end of the file if that comes
    // first. A file that turns out shorter than it was ends where the read stopped.
    void Need(std::vector<uint8_t>& bytes, uint64_t end) {
        if (!reading_) {
            return;
        }
        end = std::min(end, size_);
        if (bytes.size() >= end) {
            return;
        }
        const std::size_t had = bytes.size();
        bytes.resize(static_cast<std::size_t>(end));
        in_.read(reinterpret_cast<char*>(bytes.data() + had),
                 static_cast<std::streamsize>(end - had));
        const auto got = static_cast<std::size_t>(in_.gcount());
        if (had + got < end) {
            bytes.resize(had + got);
            size_ = bytes.size();
        }
    }

  private:
    std::ifstream in_;
    uint64_t size_ = 0;
    bool reading_ = false;
};

std::optional<Index> Index::Read(const std::filesystem::path& file) {
    Source source(file);
    if (!source.IsOpen()) {
        return std::nullopt;
    }
    Index index;
    source.Reserve(index.bytes_);
    index.Walk(source);
    return index;
}

Index Index::FromBytes(std::vector<uint8_t> bytes) {
    Source memory;
    Index index;
    index.bytes_ = std::move(bytes);
    index.Walk(memory);
    return index;
}

// The one pass: the manufacturer entries, then each block's header and records, each
// block found by skipping the one before it by its own count.
void Index::Walk(Source& source) {
    source.Need(bytes_, kEntriesOffset);
    const unsigned manufacturers = bytes_.size() > kCountOffset ? bytes_[kCountOffset] : 0u;
    uint64_t offset = kEntriesOffset + kEntrySize * manufacturers;
    source.Need(bytes_, offset);
    const auto size = [this] { return static_cast<uint64_t>(bytes_.size()); };
    for (unsigned i = 0; i < manufacturers; ++i) {
        const uint64_t at = kEntriesOffset + kEntrySize * i + kEntryNameOffset;
        if (at >= size()) {
            break;
        }
        const auto length =
            static_cast<std::size_t>(std::min<uint64_t>(kManufacturerNameLength, size() - at));
        manufacturers_.push_back(TextUpToNul(bytes_.data() + at, length));
    }
    if (size() <= kCountOffset || offset > size()) {
        problem_ = "is cut short in its list of manufacturers";
        return;
    }
    for (unsigned m = 0; m < manufacturers; ++m) {
        source.Need(bytes_, offset + kBlockHeaderSize);
        bool whole = offset + kBlockHeaderSize <= size();
        if (whole) {
            const uint16_t count =
                static_cast<uint16_t>(bytes_[offset + 2] | (bytes_[offset + 3] << 8));
            const uint64_t first = offset + kBlockHeaderSize;
            offset = first + uint64_t{kRecordSize} * count;
            source.Need(bytes_, offset);
            // A device is listed when its name is there whole; its record may still be
            // cut short after the name.
            const uint64_t nameEnd = field::Name.offset + field::Name.length;
            const uint64_t named =
                size() < first + nameEnd ? 0 : (size() - first - nameEnd) / kRecordSize + 1;
            blocks_.push_back(
                {first, count, static_cast<uint16_t>(std::min<uint64_t>(named, count))});
            whole = offset <= size();
        }
        if (!whole) {
            problem_ = "is cut short in the devices of manufacturer ";
            problem_ += std::to_string(m + 1);
            problem_ += " of ";
            problem_ += std::to_string(manufacturers);
            return;  // no later block can start inside the file
        }
    }
}

const Index::Block* Index::BlockOf(int m) const {
    if (m < 0 || static_cast<std::size_t>(m) >= blocks_.size()) {
        return nullptr;
    }
    return &blocks_[static_cast<std::size_t>(m)];
}

int Index::DeviceCount(int m) const {
    const Block* block = BlockOf(m);
    return block ? block->named : 0;
}

std::string Index::DeviceName(int m, int k) const {
    if (k < 0 || k >= DeviceCount(m)) {
        return {};
    }
    const uint64_t at = BlockOf(m)->firstRecord + uint64_t{kRecordSize} * static_cast<uint64_t>(k) +
                        field::Name.offset;
    return TextUpToNul(bytes_.data() + at, field::Name.length);
}

std::optional<int> Index::FindDevice(int m, const std::string& name) const {
    for (int k = 0; k < DeviceCount(m); ++k) {
        if (DeviceName(m, k) == name) {
            return k;
        }
    }
    return std::nullopt;
}

std::vector<std::string> Index::Devices(int m) const {
    std::vector<std::string> names;
    const int count = DeviceCount(m);
    names.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        names.push_back(DeviceName(m, k));
    }
    return names;
}

RecordLookup Index::Record(int m, int k) const {
    RecordLookup result;
    const Block* block = BlockOf(m);
    if (!block || k < 0 || static_cast<unsigned>(k) >= block->count) {
        return result;  // NotFound
    }
    const uint64_t at = block->firstRecord + uint64_t{kRecordSize} * static_cast<uint64_t>(k);
    if (at >= bytes_.size()) {
        return result;
    }
    const auto got = static_cast<std::size_t>(std::min<uint64_t>(kRecordSize, bytes_.size() - at));
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at), got,
                result.record.bytes().begin());
    result.status = got < kRecordSize ? RecordLookup::Status::Truncated : RecordLookup::Status::Ok;
    return result;
}

std::string FileProblem(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return {};
    }
    const auto index = Index::Read(path);
    return index ? index->Problem() : "cannot be read";
}

std::optional<std::vector<std::string>> ListManufacturers(const std::filesystem::path& path) {
    auto index = Index::Read(path);
    if (!index) {
        return std::nullopt;
    }
    return index->Manufacturers();
}

std::optional<std::vector<std::string>> ListDevices(const std::filesystem::path& path, int m) {
    const auto index = Index::Read(path);
    if (!index) {
        return std::nullopt;
    }
    return index->Devices(m);
}

RecordLookup LoadRecord(const std::filesystem::path& path, int m, int k) {
    const auto index = Index::Read(path);
    if (!index) {
        RecordLookup missing;
        missing.status = RecordLookup::Status::FileMissing;
        return missing;
    }
    return index->Record(m, k);
}

}  // namespace DeviceDatabase
}  // namespace kardo
