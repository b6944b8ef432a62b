// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "devicedb/DeviceRecord.h"

namespace kardo {

// The two database files and the device type each one stands for.
inline constexpr const char* kEepromDatabase = "KARDO_e.usb";
inline constexpr const char* kMicroDatabase = "KARDO_m.usb";

// Bits of DatabaseFlags: which database files were present at start.
inline constexpr uint8_t kEepromDatabasePresent = 1u << 1;
inline constexpr uint8_t kMicroDatabasePresent = 1u << 3;
inline constexpr uint8_t kAnyDatabaseMask = 0x1F;

// Reads the device database files.
//
// A file lists manufacturers (a count at offset 13, 16-byte entries from offset 16) and
// then one block per manufacturer: a discarded word, a device count N and N records.
// Blocks have no index of their own: each is found by skipping the ones before it by
// their counts. Counts that run past the end of the file stop at the end of the file.
namespace DeviceDatabase {

struct RecordLookup {
    enum class Status {
        Ok,
        FileMissing,
        NotFound,   // no such manufacturer or device in the file
        Truncated,  // the record starts inside the file but ends beyond it
    };
    Status status = Status::NotFound;
    DeviceRecord record;  // for Truncated: the bytes the file had, the rest zero
};

// One read of a database file: its manufacturers and where every manufacturer's block
// lies, found in a single pass, with the bytes of every record the file holds. Whoever
// lists or looks up many devices reads the file once into an index and asks it; walking
// the blocks again for every device costs time with the square of the file's size.
//
// The index answers as the file read at that moment would; it does not notice when the
// file is replaced afterwards.
class Index {
  public:
    // nullopt when the file cannot be opened (missing, not a regular file, unreadable).
    static std::optional<Index> Read(const std::filesystem::path& file);
    // The same over the bytes of a file already in memory.
    static Index FromBytes(std::vector<uint8_t> bytes);

    const std::vector<std::string>& Manufacturers() const { return manufacturers_; }
    // The devices of manufacturer m whose name the file holds whole; none for an index
    // outside the file.
    int DeviceCount(int m) const;
    std::string DeviceName(int m, int k) const;
    // The place of the device called `name` in manufacturer m's list; none if absent.
    std::optional<int> FindDevice(int m, const std::string& name) const;
    std::vector<std::string> Devices(int m) const;
    RecordLookup Record(int m, int k) const;
    // What the lists had to stop short at ("is cut short ..."), empty for a whole file.
    const std::string& Problem() const { return problem_; }

  private:
    struct Block {
        uint64_t firstRecord;  // offset of record 0
        uint16_t count;        // as the block says
        uint16_t named;        // records whose name lies inside the file
    };
    class Source;

    Index() = default;
    void Walk(Source& source);
    const Block* BlockOf(int m) const;

    std::vector<uint8_t> bytes_;  // the file from its start to the end of its last block
    std::vector<std::string> manufacturers_;
    std::vector<Block> blocks_;  // the blocks whose header the file holds, in file order
    std::string problem_;
};

// One answer each, from a read of its own; whoever asks for many reads an Index once.
// nullopt when the file cannot be opened.
std::optional<std::vector<std::string>> ListManufacturers(const std::filesystem::path& file);

// Device names of manufacturer m; an index outside the file gives an empty list.
std::optional<std::vector<std::string>> ListDevices(const std::filesystem::path& file, int m);

RecordLookup LoadRecord(const std::filesystem::path& file, int m, int k);

// What is wrong with a database file that is there ("cannot be read", "is cut short
// ..."), or an empty text for a whole file or one that is not there at all. The reads
// above stop quietly at the end of a file; this says when they had to.
std::string FileProblem(const std::filesystem::path& file);

}  // namespace DeviceDatabase

}  // namespace kardo
