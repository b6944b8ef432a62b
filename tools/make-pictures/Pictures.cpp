// SPDX-License-Identifier: GPL-3.0-or-later
#include "Pictures.h"

#include <array>
#include <string>

namespace pictures {

namespace {

constexpr Colour kBoard{0x1E, 0x6B, 0x3A};
constexpr Colour kBoardText{0xF0, 0xF0, 0xE0};
constexpr Colour kSocket{0x2A, 0x4C, 0x9A};
constexpr Colour kSocketEdge{0x18, 0x2C, 0x60};
constexpr Colour kHole{0x20, 0x20, 0x20};
constexpr Colour kMetal{0xC8, 0xB0, 0x50};
constexpr Colour kChip{0x30, 0x30, 0x30};
constexpr Colour kCap{0x10, 0x10, 0x10};
constexpr Colour kRing{0xF0, 0xF0, 0xF0};

// The 40-pin ZIF socket: pins 1 to 20 down the left row, 21 to 40 up the right one,
// as on a DIP chip seen from above, with the lever on the left of pin 1.
struct Zif {
    int left, top;
    static constexpr int kPitch = 10;
    static constexpr int kRowGap = 60;

    int PinX(int pin) const { return pin <= 20 ? left + 14 : left + 14 + kRowGap; }
    int PinY(int pin) const {
        const int row = pin <= 20 ? pin - 1 : 40 - pin;
        return top + 22 + row * kPitch;
    }
    int Width() const { return kRowGap + 28; }
    int Height() const { return 20 * kPitch + 34; }
};

void DrawZif(Canvas& c, const Zif& z) {
    c.Fill(z.left, z.top, z.Width(), z.Height(), kSocket);
    c.Frame(z.left, z.top, z.Width(), z.Height(), 2, kSocketEdge);
    c.Fill(z.left - 10, z.top + 4, 6, z.Height() - 8, kMetal);  // the lever
    c.Fill(z.left - 14, z.top + z.Height() - 14, 14, 8, kMetal);
    for (int pin = 1; pin <= 40; ++pin) {
        c.Disc(z.PinX(pin), z.PinY(pin), 3, kHole);
    }
    c.Text(z.left + 22, z.top + 6, "1", 1, kBoardText);
    c.Text(z.left + z.Width() - 34, z.top + 6, "40", 1, kBoardText);
    c.Text(z.left + 22, z.top + z.Height() - 10, "20", 1, kBoardText);
    c.Text(z.left + z.Width() - 34, z.top + z.Height() - 10, "21", 1, kBoardText);
}

// A pin picked out in its colour, ringed so that black and navy show on the board.
void MarkPin(Canvas& c, int x, int y, Colour colour) {
    c.Disc(x, y, 5, kRing);
    c.Disc(x, y, 4, colour);
}

struct PinMark {
    const char* name;
    int pin;
    Colour colour;
};

// The pins the self-test drives on the socket.
constexpr std::array<PinMark, 7> kZifTestPins{{
    {"VPP", 1, kVppYellow},
    {"RST", 9, kRstGreen},
    {"CLK", 12, kClkBlue},
    {"DATA/MOSI", 13, kDataWhite},
    {"MISO", 14, kMisoNavy},
    {"GND", 20, kGndBlack},
    {"VCC", 40, kVccRed},
}};

// Marks each pin and writes its name at the side of the picture, joined by a line.
void LabelZifPins(Canvas& c, const Zif& z, int labelsLeft) {
    int y = z.top + 18;
    for (const PinMark& p : kZifTestPins) {
        const int x = z.PinX(p.pin), py = z.PinY(p.pin);
        c.Line(x, py, labelsLeft - 6, y + 3, 1, kRing);
        MarkPin(c, x, py, p.colour);
        MarkPin(c, labelsLeft + 4, y + 3, p.colour);
        c.Text(labelsLeft + 14, y, p.name, 1, kBoardText);
        y += 16;
    }
}

void DrawLed(Canvas& c, int x, int y) {
    c.Disc(x, y, 7, kRing);
    c.Disc(x - 2, y, 5, kVccRed);
    c.Disc(x + 3, y, 4, kRstGreen);
    c.Text(x + 12, y - 3, "LED", 1, kBoardText);
}

// The 2 x 5 ISP header, pin 1 top left, odd pins in the left column.
struct Header {
    int left, top, pitch;
    int PinX(int pin) const { return left + pitch / 2 + (pin % 2 == 0 ? pitch : 0); }
    int PinY(int pin) const { return top + pitch / 2 + (pin - 1) / 2 * pitch; }
};

struct HeaderPin {
    int pin;
    const char* name;
    Colour colour;
    bool connected;
};

constexpr std::array<HeaderPin, 10> kIspPins{{
    {1, "DATA/MOSI", kDataWhite, true},
    {2, "VCC", kVccRed, true},
    {3, "N.C.", kHole, false},
    {4, "GND", kGndBlack, true},
    {5, "RST", kRstGreen, true},
    {6, "GND", kGndBlack, true},
    {7, "CLK", kClkBlue, true},
    {8, "GND", kGndBlack, true},
    {9, "MISO", kMisoNavy, true},
    {10, "GND", kGndBlack, true},
}};

void DrawHeader(Canvas& c, const Header& h, int pinRadius) {
    c.Fill(h.left, h.top, 2 * h.pitch, 5 * h.pitch, kChip);
    c.Frame(h.left, h.top, 2 * h.pitch, 5 * h.pitch, 2, kHole);
    // The key notch tells the header's orientation.
    c.Fill(h.left - 4, h.top + 2 * h.pitch, 4, h.pitch, kChip);
    for (const HeaderPin& p : kIspPins) {
        if (p.connected) {
            MarkPin(c, h.PinX(p.pin), h.PinY(p.pin), p.colour);
        } else {
            c.Fill(h.PinX(p.pin) - pinRadius, h.PinY(p.pin) - pinRadius, 2 * pinRadius,
                   2 * pinRadius, kMetal);
        }
    }
}

void Title(Canvas& c, const std::string& text) {
    c.Text(8, 8, text, 2, kBoardText);
}

Canvas DrawSelfTest(bool secondBoard) {
    Canvas c(secondBoard ? 420 : 340, 300, kBoard);
    Title(c, secondBoard ? "KARDO 40 SELF TEST" : "KARDO 24 SELF TEST");
    const Zif zif{40, 40};
    DrawZif(c, zif);
    LabelZifPins(c, zif, 190);
    DrawLed(c, 200, 270);
    if (secondBoard) {
        const Header h{330, 60, 16};
        DrawHeader(c, h, 3);
        c.Text(318, 46, "ISP", 1, kBoardText);
        c.Text(h.left - 10, h.PinY(1) - 3, "1", 1, kBoardText);
    }
    c.Text(190, 250, "REMOVE ALL JUMPERS", 1, kBoardText);
    return c;
}

// Which pins of each three-pin jumper block the cap joins: 1 for pins 1-2, 2 for 2-3.
Canvas DrawJumpers(const char* title, const std::array<int, 4>& caps, int chipFirstPin,
                   int chipPins, const char* placement) {
    Canvas c(360, 300, kBoard);
    Title(c, title);
    const Zif zif{40, 40};
    DrawZif(c, zif);
    // The chip in the socket, its pin 1 at `chipFirstPin`.
    const int rows = chipPins / 2;
    const int top = zif.PinY(chipFirstPin) - 6;
    c.Fill(zif.PinX(1) - 6, top, Zif::kRowGap + 12, rows * Zif::kPitch + 2, kChip);
    c.Disc(zif.PinX(1) + 8, top + 7, 3, kRing);  // the pin 1 dot
    c.Text(zif.PinX(1) + 16, top + rows * Zif::kPitch / 2 - 3, std::to_string(chipPins), 1,
           kBoardText);

    const int blockLeft = 200;
    for (int j = 0; j < 4; ++j) {
        const int y = 60 + j * 40;
        // Built up in place: GCC 12 at -O3 takes "J" + std::string(...) for an overlapping
        // copy (-Wrestrict).
        std::string label = "J";
        label += std::to_string(j + 1);
        c.Text(blockLeft, y - 3, label, 2, kBoardText);
        const int first = blockLeft + 40;
        for (int pin = 0; pin < 3; ++pin) {
            c.Fill(first + pin * 22 - 4, y + 1, 8, 8, kMetal);
            c.Text(first + pin * 22 - 2, y + 14, std::to_string(pin + 1), 1, kBoardText);
        }
        // The cap covers two neighbouring pins.
        const int capLeft = first + (caps[static_cast<std::size_t>(j)] - 1) * 22 - 8;
        c.Fill(capLeft, y - 3, 38, 16, kCap);
        c.Frame(capLeft, y - 3, 38, 16, 1, kRing);
    }
    c.Text(200, 230, placement, 1, kBoardText);
    return c;
}

}  // namespace

Canvas DrawSelfTestFirstBoard() {
    return DrawSelfTest(false);
}

Canvas DrawSelfTestSecondBoard() {
    return DrawSelfTest(true);
}

Canvas DrawPicJumpers() {
    return DrawJumpers("PIC JUMPERS", {1, 1, 2, 1}, 1, 18, "PIN 1 AT ZIF PIN 1");
}

Canvas DrawEepromJumpers() {
    return DrawJumpers("28C EEPROM JUMPERS", {2, 2, 1, 2}, 7, 28, "PIN 1 AT ZIF PIN 7");
}

Canvas DrawIspHeader() {
    Canvas c(320, 220, kBoard);
    Title(c, "ISP HEADER");
    c.Text(8, 30, "TOP VIEW", 1, kBoardText);
    const Header h{130, 50, 28};
    DrawHeader(c, h, 4);
    for (const HeaderPin& p : kIspPins) {
        const bool left = p.pin % 2 == 1;
        const int x = h.PinX(p.pin), y = h.PinY(p.pin);
        const std::string number = std::to_string(p.pin);
        c.Text(left ? x - 22 - Canvas::TextWidth(number, 1) : x + 22, y - 3, number, 1, kRing);
        const int width = Canvas::TextWidth(p.name, 1);
        c.Text(left ? x - 40 - width : x + 40, y - 3, p.name, 1, kBoardText);
    }
    return c;
}

}  // namespace pictures
