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
    errno = 0;
    ReadRest(stdin, limit, result);
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
