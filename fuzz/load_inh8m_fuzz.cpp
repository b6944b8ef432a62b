// SPDX-License-Identifier: GPL-3.0-or-later
// Byte-addressed PIC files (Inh8m and the PIC18 files of the same shape).
#include "load_pic_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kardo::fuzz::LoadIntoEveryPicMap(std::vector<uint8_t>(data, data + size), kardo::format::Inh8m);
    return 0;
}
