// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kardo {

// Writes `bytes` as the whole of `file`; every file the program makes goes through here.
// Returns the reason of a failure, with the system's own text, or empty on success.
//
// - A regular file, or a symbolic link (or a chain of them) to one: the file the link
//   names is written, the link stays a link. The bytes go to a temporary file of a name
//   nobody can have planted (mkstemp) in that file's folder, are synced, get the old
//   file's mode (and owner, where allowed), and are renamed over it; then the folder is
//   synced. A failure at any step removes the temporary file and leaves the earlier file
//   exactly as it was.
// - Nothing there yet: the same, with the mode a plain creation would give.
// - A pipe or a character device (/dev/stdout): written straight into, never replaced.
// - A folder, a disk device, or a file nobody may write (a read-only file stays so) is
//   refused.
std::string WriteFileSafely(const std::filesystem::path& file, const uint8_t* bytes, std::size_t n);
inline std::string WriteFileSafely(const std::filesystem::path& file,
                                   const std::vector<uint8_t>& bytes) {
    return WriteFileSafely(file, bytes.data(), bytes.size());
}
inline std::string WriteFileSafely(const std::filesystem::path& file, const std::string& text) {
    return WriteFileSafely(file, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// Why WriteFileSafely would refuse `file` now, or empty; nothing is created to find out.
// A write can still fail later (a full disk), and says so then.
std::string FileWriteProblem(const std::filesystem::path& file);

}  // namespace kardo
