// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstdio>
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

// Reads what is left of an open stream (standard input, say) into `result`, up to
// `limit` bytes; more than that, or a read error, leaves the reason and no bytes.
void ReadRest(std::FILE* stream, uint64_t limit, FileBytes& result);

// True for an existing regular file (following links); false for anything else,
// including a path that cannot be looked at.
bool IsRegularFile(const std::filesystem::path& file);

}  // namespace kardo
