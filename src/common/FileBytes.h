// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kardo {

// A whole file read into memory, or why it could not be.
struct FileBytes {
    std::vector<uint8_t> bytes;
    std::string error;  // empty when the file was read completely
    bool ok() const { return error.empty(); }
};

// Reads a regular file completely. A folder, a device or a pipe is refused before it is
// opened (a pipe would block the caller), as is a file larger than `limit`; a missing
// or unreadable file, or a read that fails part-way, gives the system's reason. Never
// throws.
FileBytes ReadFileBytes(const std::filesystem::path& file, uint64_t limit = UINT64_MAX);

// Writes `bytes` as the whole of `file`: first to a file beside it, which is renamed over
// `file` only once every byte has been written and closed, so that a failed write (a
// full disk, no permission, a folder that went away) never leaves a part of a file
// under that name, nor destroys the file that was there. Returns the reason of a
// failure, empty on success.
std::string ReplaceFileBytes(const std::filesystem::path& file, const uint8_t* bytes,
                             std::size_t n);
inline std::string ReplaceFileBytes(const std::filesystem::path& file,
                                    const std::vector<uint8_t>& bytes) {
    return ReplaceFileBytes(file, bytes.data(), bytes.size());
}

// True for an existing regular file (following links); false for anything else,
// including a path that cannot be looked at.
bool IsRegularFile(const std::filesystem::path& file);

}  // namespace kardo
