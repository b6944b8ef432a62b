// SPDX-License-Identifier: GPL-3.0-or-later
// Word-addressed PIC files.
#include "load_pic_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kardo::fuzz::LoadIntoEveryPicMap(std::vector<uint8_t>(data, data + size), kardo::format::Inx16);
    return 0;
}
