// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pictures {

struct Colour {
    uint8_t r, g, b;
};

// An RGB drawing surface with the few shapes the pictures need. Everything drawn is
// clipped to the surface.
class Canvas {
  public:
    Canvas(int width, int height, Colour background);

    int width() const { return width_; }
    int height() const { return height_; }
    const std::vector<uint8_t>& pixels() const { return pixels_; }

    void Fill(int x, int y, int w, int h, Colour c);
    void Frame(int x, int y, int w, int h, int thickness, Colour c);
    void Line(int x0, int y0, int x1, int y1, int thickness, Colour c);
    void Disc(int cx, int cy, int radius, Colour c);
    void Ring(int cx, int cy, int radius, int thickness, Colour c);
    // Text in a 5 x 7 pixel font, each font pixel `scale` pixels wide; letters are
    // upper case. Returns the width drawn.
    int Text(int x, int y, std::string_view text, int scale, Colour c);
    static int TextWidth(std::string_view text, int scale);

  private:
    void Put(int x, int y, Colour c);

    int width_, height_;
    std::vector<uint8_t> pixels_;
};

// How a picture is encoded. The shipped pictures are plain baseline files; the fuzzing
// seeds use the other kinds a decoder meets.
struct JpegOptions {
    int quality = 90;
    bool progressive = false;
    bool grayscale = false;
    bool arithmetic = false;
    int restartRows = 0;  // a restart marker every this many rows of blocks; 0 for none
};

// The canvas as a JPEG; stops the program with the library's message on failure.
std::vector<uint8_t> EncodeJpeg(const Canvas& canvas, const JpegOptions& options = {});
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace pictures
