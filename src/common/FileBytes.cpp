// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

namespace kardo {
namespace {

std::string SystemReason(int error) {
    return std::generic_category().message(error);
}

}  // namespace

void ReadRest(std::FILE* stream, uint64_t limit, FileBytes& result) {
    uint8_t chunk[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, stream);
        if (result.bytes.size() + got > limit) {
            result.bytes.clear();
            result.error = "it is larger than " + std::to_string(limit) + " bytes";
            return;
        }
        result.bytes.insert(result.bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk) {
            break;
        }
    }
    if (std::ferror(stream)) {
        result.bytes.clear();
        result.error = SystemReason(errno != 0 ? errno : EIO);
    }
}

bool IsRegularFile(const std::filesystem::path& file) {
    std::error_code error;
    return std::filesystem::is_regular_file(file, error);
}

FileBytes ReadFileBytes(const std::filesystem::path& file, uint64_t limit) {
    FileBytes result;
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (error) {
        result.error = error.message();
        return result;
    }
    if (std::filesystem::is_directory(status)) {
        result.error = "it is a folder, not a file";
        return result;
    }
    if (!std::filesystem::is_regular_file(status)) {
        result.error = "it is not a regular file";
        return result;
    }
    errno = 0;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(
        std::fopen(file.string().c_str(), "rb"), &std::fclose);
    if (!stream) {
        result.error = SystemReason(errno);
        return result;
    }
    // The size is only a hint for the allocation: the file may change while we read.
    const uint64_t expected = std::filesystem::file_size(file, error);
    if (!error && expected > limit) {
        result.error = "it is larger than " + std::to_string(limit) + " bytes";
        return result;
    }
    if (!error) {
        result.bytes.reserve(static_cast<std::size_t>(expected));
    }
    ReadRest(stream.get(), limit, result);
    return result;
}

}  // namespace kardo
