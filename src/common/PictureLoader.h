// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kardo {

// A decoded picture: rows of 8-bit red, green, blue triples, top row first, with no
// padding between rows.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // width * height * 3 bytes
};

// The picture, or why there is none.
struct Picture {
    std::optional<RgbImage> image;
    std::string problem;  // empty when there is an image
};

// The largest picture we decode; the dialogs show pictures of a few hundred pixels. A
// file declaring more is refused before anything is allocated for it.
inline constexpr int kMaxPictureSide = 4096;
// A picture file larger than this is not read at all.
inline constexpr uint64_t kMaxPictureFileBytes = 16u * 1024 * 1024;

// Decodes a JPEG held in memory. Damaged data, a file cut short, a colour model we
// cannot show as RGB, a size past kMaxPictureSide and an endless run of scans are all
// refused with a reason; nothing in the data can make it read or write outside a
// buffer. Never throws.
Picture DecodeJpeg(const uint8_t* data, std::size_t size);

// Reads and decodes a JPEG file. The reason names the file by its name alone.
Picture LoadPicture(const std::filesystem::path& file);

}  // namespace kardo
