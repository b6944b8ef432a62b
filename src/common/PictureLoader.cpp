// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/PictureLoader.h"

#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

// The library's header needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "common/FileBytes.h"

namespace kardo {

namespace {

// A progressive file may hold any number of scans, each a full pass over the picture;
// ours have a handful. Past this many the file is taken for damaged rather than decoded
// for minutes.
constexpr int kMaxScans = 256;
// What the library may allocate for its own work (progressive pictures keep all their
// coefficients): it fails cleanly rather than take more.
constexpr long kMaxLibraryMemory = 256L * 1024 * 1024;

// The library reports a fatal error by calling error_exit, which must not return: we
// jump back to the decoder with the text. Warnings (corrupt data it papers over) are
// counted and the first one kept, and nothing goes to stderr.
struct ErrorTrap {
    jpeg_error_mgr manager;  // first, so the library's pointer to it is a pointer to us
    std::jmp_buf jump;
    char error[JMSG_LENGTH_MAX];
    char firstWarning[JMSG_LENGTH_MAX];
    bool warned;
};

ErrorTrap& TrapOf(j_common_ptr cinfo) {
    return *reinterpret_cast<ErrorTrap*>(cinfo->err);
}

void ErrorExit(j_common_ptr cinfo) {
    ErrorTrap& trap = TrapOf(cinfo);
    (*cinfo->err->format_message)(cinfo, trap.error);
    std::longjmp(trap.jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) {
        return;  // trace output
    }
    ErrorTrap& trap = TrapOf(cinfo);
    if (!trap.warned) {
        (*cinfo->err->format_message)(cinfo, trap.firstWarning);
        trap.warned = true;
    }
    ++cinfo->err->num_warnings;
}

void OutputMessage(j_common_ptr) {}

void WatchScans(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) {
        return;
    }
    const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) {
        ErrorTrap& trap = TrapOf(cinfo);
        std::snprintf(trap.error, sizeof trap.error, "more than %d scans", kMaxScans);
        std::longjmp(trap.jump, 1);
    }
}

enum class Outcome { Decoded, Failed, TooLarge, NoMemory };

// Everything between setjmp and a jump back lives in the caller or is trivial, so the
// jump skips no destructor; `out` and `cinfo` belong to the caller.
Outcome DecodeInto(jpeg_decompress_struct& cinfo, ErrorTrap& trap, const uint8_t* data,
                   std::size_t size, RgbImage& out) {
    if (setjmp(trap.jump) != 0) {
        return Outcome::Failed;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kMaxLibraryMemory;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.image_width > static_cast<JDIMENSION>(kMaxPictureSide) ||
        cinfo.image_height > static_cast<JDIMENSION>(kMaxPictureSide)) {
        return Outcome::TooLarge;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3 || cinfo.output_width == 0 || cinfo.output_height == 0 ||
        cinfo.output_width > static_cast<JDIMENSION>(kMaxPictureSide) ||
        cinfo.output_height > static_cast<JDIMENSION>(kMaxPictureSide)) {
        return Outcome::TooLarge;
    }
    const std::size_t stride = static_cast<std::size_t>(cinfo.output_width) * 3;
    try {
        out.pixels.assign(stride * cinfo.output_height, 0);
    } catch (const std::bad_alloc&) {
        return Outcome::NoMemory;
    }
    out.width = static_cast<int>(cinfo.output_width);
    out.height = static_cast<int>(cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.pixels.data() + stride * cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) {
            std::snprintf(trap.error, sizeof trap.error, "the picture data stops short");
            return Outcome::Failed;
        }
    }
    jpeg_finish_decompress(&cinfo);
    return Outcome::Decoded;
}

Picture Refused(std::string reason) {
    return {std::nullopt, std::move(reason)};
}

}  // namespace

Picture DecodeJpeg(const uint8_t* data, std::size_t size) {
    // Every JPEG starts with its start-of-image marker; anything else is not one, and
    // the library need not be asked.
    if (data == nullptr || size < 2 || data[0] != 0xFF || data[1] != 0xD8) {
        return Refused("it is not a JPEG picture");
    }
    if (size > ULONG_MAX) {
        return Refused("it is too large");
    }
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    ErrorTrap trap;
    std::memset(&trap, 0, sizeof trap);
    cinfo.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = ErrorExit;
    trap.manager.emit_message = EmitMessage;
    trap.manager.output_message = OutputMessage;
    jpeg_progress_mgr progress;
    std::memset(&progress, 0, sizeof progress);
    progress.progress_monitor = WatchScans;
    cinfo.progress = &progress;

    RgbImage image;
    const Outcome outcome = DecodeInto(cinfo, trap, data, size, image);
    const unsigned long declaredWidth = cinfo.image_width;
    const unsigned long declaredHeight = cinfo.image_height;
    jpeg_destroy_decompress(&cinfo);

    switch (outcome) {
        case Outcome::Decoded:
            if (trap.warned) {
                return Refused(std::string("it is damaged or cut short (") + trap.firstWarning +
                               ")");
            }
            return {std::move(image), {}};
        case Outcome::TooLarge:
            return Refused("it declares " + std::to_string(declaredWidth) + " x " +
                           std::to_string(declaredHeight) + " pixels, more than the " +
                           std::to_string(kMaxPictureSide) + " x " +
                           std::to_string(kMaxPictureSide) + " shown");
        case Outcome::NoMemory:
            return Refused("there is not enough memory to show it");
        case Outcome::Failed:
            break;
    }
    return Refused(std::string("it is damaged or cut short (") + trap.error + ")");
}

Picture LoadPicture(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    const FileBytes bytes = ReadFileBytes(file, kMaxPictureFileBytes);
    if (!bytes.ok()) {
        return Refused("Cannot show " + name + ": " + bytes.error);
    }
    Picture picture = DecodeJpeg(bytes.bytes.data(), bytes.bytes.size());
    if (!picture.image) {
        picture.problem = "Cannot show " + name + ": " + picture.problem;
    }
    return picture;
}

}  // namespace kardo
