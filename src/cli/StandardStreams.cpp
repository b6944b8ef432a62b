// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/StandardStreams.h"

#include <cerrno>
#include <cstdio>
#include <system_error>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace kardo::cli {
namespace {

// Data files are bytes: no line-end translation on the way in or out.
void Binary(std::FILE* stream) {
#ifdef _WIN32
    _setmode(_fileno(stream), _O_BINARY);
#else
    (void)stream;
#endif
}

std::string Reason(int error) {
    return std::generic_category().message(error != 0 ? error : EIO);
}

}  // namespace

FileBytes ReadStandardInput(uint64_t limit) {
    Binary(stdin);
    FileBytes result;
    uint8_t chunk[1 << 16];
    for (;;) {
        errno = 0;
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, stdin);
        if (result.bytes.size() + got > limit) {
            result.bytes.clear();
            result.error = "it is larger than " + std::to_string(limit) + " bytes";
            return result;
        }
        result.bytes.insert(result.bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk) {
            break;
        }
    }
    if (std::ferror(stdin)) {
        result.bytes.clear();
        result.error = Reason(errno);
    }
    return result;
}

std::string WriteStandardOutput(const std::vector<uint8_t>& bytes) {
    std::fflush(stdout);
    Binary(stdout);
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
        std::fflush(stdout) != 0) {
        return Reason(errno);
    }
    return {};
}

}  // namespace kardo::cli
