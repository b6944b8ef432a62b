// SPDX-License-Identifier: GPL-3.0-or-later
#include "Canvas.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

// The library's header needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "Font.h"

namespace pictures {

Canvas::Canvas(int width, int height, Colour background)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height * 3) {
    Fill(0, 0, width, height, background);
}

void Canvas::Put(int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    const std::size_t at = (static_cast<std::size_t>(y) * width_ + x) * 3;
    pixels_[at] = c.r;
    pixels_[at + 1] = c.g;
    pixels_[at + 2] = c.b;
}

void Canvas::Fill(int x, int y, int w, int h, Colour c) {
    for (int row = std::max(y, 0); row < std::min(y + h, height_); ++row) {
        for (int col = std::max(x, 0); col < std::min(x + w, width_); ++col) {
            Put(col, row, c);
        }
    }
}

void Canvas::Frame(int x, int y, int w, int h, int thickness, Colour c) {
    Fill(x, y, w, thickness, c);
    Fill(x, y + h - thickness, w, thickness, c);
    Fill(x, y, thickness, h, c);
    Fill(x + w - thickness, y, thickness, h, c);
}

void Canvas::Line(int x0, int y0, int x1, int y1, int thickness, Colour c) {
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= steps; ++i) {
        const int x = steps == 0 ? x0 : x0 + (x1 - x0) * i / steps;
        const int y = steps == 0 ? y0 : y0 + (y1 - y0) * i / steps;
        Fill(x - thickness / 2, y - thickness / 2, thickness, thickness, c);
    }
}

void Canvas::Disc(int cx, int cy, int radius, Colour c) {
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            if (dx * dx + dy * dy <= radius * radius) {
                Put(cx + dx, cy + dy, c);
            }
        }
    }
}

void Canvas::Ring(int cx, int cy, int radius, int thickness, Colour c) {
    const int inner = radius - thickness;
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const int d = dx * dx + dy * dy;
            if (d <= radius * radius && d > inner * inner) {
                Put(cx + dx, cy + dy, c);
            }
        }
    }
}

int Canvas::TextWidth(std::string_view text, int scale) {
    return text.empty() ? 0 : static_cast<int>(text.size()) * 6 * scale - scale;
}

int Canvas::Text(int x, int y, std::string_view text, int scale, Colour c) {
    int left = x;
    for (const char ch : text) {
        const Glyph* glyph =
            GlyphFor(static_cast<char>(std::toupper(static_cast<unsigned char>(ch))));
        if (glyph != nullptr) {
            for (int row = 0; row < 7; ++row) {
                for (int col = 0; col < 5; ++col) {
                    if (glyph->rows[row][col] == '#') {
                        Fill(left + col * scale, y + row * scale, scale, scale, c);
                    }
                }
            }
        }
        left += 6 * scale;
    }
    return TextWidth(text, scale);
}

std::vector<uint8_t> EncodeJpeg(const Canvas& canvas, const JpegOptions& options) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);  // a failure prints the reason and ends the tool
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(canvas.width());
    cinfo.image_height = static_cast<JDIMENSION>(canvas.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (options.grayscale) {
        jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
    }
    if (options.progressive) {
        jpeg_simple_progression(&cinfo);
    }
#ifdef C_ARITH_CODING_SUPPORTED
    cinfo.arith_code = options.arithmetic ? TRUE : FALSE;
#endif
    cinfo.restart_in_rows = options.restartRows;
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t stride = static_cast<std::size_t>(canvas.width()) * 3;
    while (cinfo.next_scanline < cinfo.image_height) {
        // The library takes rows as writable pointers but only reads them.
        JSAMPROW row = const_cast<JSAMPLE*>(canvas.pixels().data() + stride * cinfo.next_scanline);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return bytes;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace pictures
