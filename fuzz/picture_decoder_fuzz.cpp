// SPDX-License-Identifier: GPL-3.0-or-later
// A picture file as anybody may have replaced it: decoding must never crash, hang or
// allocate without bound, and a picture that decodes is exactly as large as it says.
#include <cstdint>
#include <cstdlib>

#include "common/PictureLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const kardo::Picture picture = kardo::DecodeJpeg(data, size);
    if (picture.image) {
        const kardo::RgbImage& image = *picture.image;
        if (image.width <= 0 || image.height <= 0 || image.width > kardo::kMaxPictureSide ||
            image.height > kardo::kMaxPictureSide ||
            image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 3 ||
            !picture.problem.empty()) {
            std::abort();
        }
    } else if (picture.problem.empty()) {
        std::abort();  // a refusal always says why
    }
    return 0;
}
