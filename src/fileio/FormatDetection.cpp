// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/FormatDetection.h"

#include "fileio/ElfLoad.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace kardo {
namespace {

bool HexDigits(const std::vector<uint8_t>& bytes, std::size_t from, std::size_t n) {
    return bytes.size() >= from + n &&
           std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                       bytes.begin() + static_cast<std::ptrdiff_t>(from + n),
                       [](uint8_t c) { return std::isxdigit(c) != 0; });
}

// A JEDEC file is text, its fields ended by '*'; among the first of them a fuse count
// (QF), a pin count (QP) or a fuse list (L and a number) shows what it is.
bool LooksLikeJedec(const std::vector<uint8_t>& bytes) {
    const std::size_t n = std::min<std::size_t>(bytes.size(), 4096);
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), n);
    const bool printable = std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x20 || u == '\n' || u == '\r' || u == '\t' || u == 0x02 || u == 0x03;
    });
    if (!printable || text.find('*') == std::string_view::npos) {
        return false;
    }
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('*', start);
        std::string_view field = text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        while (!field.empty() && std::isspace(static_cast<unsigned char>(field.front()))) {
            field.remove_prefix(1);
        }
        if (field.starts_with("QF") || field.starts_with("QP") ||
            (field.size() > 1 && field[0] == 'L' &&
             std::isdigit(static_cast<unsigned char>(field[1])))) {
            return true;
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return false;
}

}  // namespace

FileContent DetectFileContent(const std::vector<uint8_t>& bytes) {
    if (LooksLikeElf(bytes)) {
        return FileContent::Elf;
    }
    // A record's length, address and type at least.
    if (!bytes.empty() && bytes[0] == ':' && HexDigits(bytes, 1, 8)) {
        return FileContent::IntelHex;
    }
    if (bytes.size() > 2 && bytes[0] == 'S' && std::isdigit(bytes[1]) != 0 &&
        HexDigits(bytes, 2, 6)) {
        return FileContent::Motorola;
    }
    // Not STX alone: an 8051 image begins with 0x02 too, the jump to its start.
    if (LooksLikeJedec(bytes)) {
        return FileContent::Jedec;
    }
    return FileContent::Binary;
}

}  // namespace kardo
