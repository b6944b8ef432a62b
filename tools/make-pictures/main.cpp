// SPDX-License-Identifier: GPL-3.0-or-later
// make-pictures: draws the program's pictures and encodes them as JPEG.
//
//   make-pictures DIRECTORY        the picture files the program reads from its directory:
//                                  Test.jpg, Test_2.jpg, Pic_Jumper.JPG, EE_Jumper.JPG
//   make-pictures --source FILE    the ISP header picture as a C++ source file, for the
//                                  dialog that carries it built in
//   make-pictures --seeds DIRECTORY  small pictures of every kind the decoder meets, for
//                                  its fuzzing seeds
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "Canvas.h"
#include "Pictures.h"

namespace {

using pictures::Canvas;

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (!pictures::WriteFile(path, bytes)) {
        std::cerr << "make-pictures: cannot write " << path << "\n";
        return false;
    }
    return true;
}

int WritePictures(const std::string& dir) {
    const bool ok = Write(dir + "/Test.jpg", EncodeJpeg(pictures::DrawSelfTestFirstBoard())) &&
                    Write(dir + "/Test_2.jpg", EncodeJpeg(pictures::DrawSelfTestSecondBoard())) &&
                    Write(dir + "/Pic_Jumper.JPG", EncodeJpeg(pictures::DrawPicJumpers())) &&
                    Write(dir + "/EE_Jumper.JPG", EncodeJpeg(pictures::DrawEepromJumpers()));
    return ok ? 0 : 1;
}

int WriteSource(const std::string& path) {
    const std::vector<uint8_t> jpeg = EncodeJpeg(pictures::DrawIspHeader());
    std::ofstream out(path, std::ios::trunc);
    out << "// Made by make-pictures at build time: the ISP header picture as JPEG.\n"
        << "#include \"algorithms/forms/IspHeaderPicture.h\"\n\n"
        << "namespace kardo {\n\n"
        << "const unsigned char kIspHeaderJpeg[] = {";
    for (std::size_t i = 0; i < jpeg.size(); ++i) {
        out << (i % 16 == 0 ? "\n    " : " ") << static_cast<int>(jpeg[i]) << ",";
    }
    out << "\n};\nconst std::size_t kIspHeaderJpegSize = sizeof kIspHeaderJpeg;\n\n"
        << "}  // namespace kardo\n";
    out.close();
    if (!out) {
        std::cerr << "make-pictures: cannot write " << path << "\n";
        return 1;
    }
    return 0;
}

// A small picture with some detail in each channel, so every kind of scan has work.
Canvas Sample(int width, int height) {
    Canvas c(width, height, {0x20, 0x60, 0xA0});
    c.Fill(2, 2, width / 2, height / 2, pictures::kVppYellow);
    c.Disc(width * 2 / 3, height * 2 / 3, width / 4, pictures::kVccRed);
    c.Line(0, height - 1, width - 1, 0, 1, pictures::kDataWhite);
    return c;
}

int WriteSeeds(const std::string& dir) {
    using pictures::JpegOptions;
    const Canvas small = Sample(24, 16);
    JpegOptions gray;
    gray.grayscale = true;
    JpegOptions progressive;
    progressive.progressive = true;
    JpegOptions arithmetic;
    arithmetic.arithmetic = true;
    JpegOptions restarts;
    restarts.restartRows = 1;
    restarts.quality = 50;
    const std::vector<uint8_t> baseline = EncodeJpeg(small);
    // The same picture declaring 60000 x 60000 pixels in its frame header: the decoder
    // must refuse it before allocating anything for that size.
    std::vector<uint8_t> huge = baseline;
    for (std::size_t i = 2; i + 8 < huge.size(); ++i) {
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            huge[i + 5] = 0xEA;  // height 0xEA60
            huge[i + 6] = 0x60;
            huge[i + 7] = 0xEA;  // width 0xEA60
            huge[i + 8] = 0x60;
            break;
        }
    }
    const std::vector<uint8_t> cut(baseline.begin(),
                                   baseline.begin() + static_cast<long>(baseline.size() * 2 / 3));
    const bool ok = Write(dir + "/baseline.jpg", baseline) &&
                    Write(dir + "/grayscale.jpg", EncodeJpeg(small, gray)) &&
                    Write(dir + "/progressive.jpg", EncodeJpeg(Sample(40, 24), progressive)) &&
                    Write(dir + "/arithmetic.jpg", EncodeJpeg(small, arithmetic)) &&
                    Write(dir + "/restarts.jpg", EncodeJpeg(Sample(32, 32), restarts)) &&
                    Write(dir + "/declares-huge.jpg", huge) && Write(dir + "/cut-short.jpg", cut);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0].rfind("--", 0) != 0) {
        return WritePictures(args[0]);
    }
    if (args.size() == 2 && args[0] == "--source") {
        return WriteSource(args[1]);
    }
    if (args.size() == 2 && args[0] == "--seeds") {
        return WriteSeeds(args[1]);
    }
    std::cerr << "usage: make-pictures DIRECTORY | --source FILE | --seeds DIRECTORY\n";
    return 2;
}
