// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Canvas.h"

namespace pictures {

// The colours of the programmer's pins, as the dialogs name them beside the pictures.
inline constexpr Colour kVccRed{0xFF, 0x00, 0x00};
inline constexpr Colour kVppYellow{0xFF, 0xFF, 0x00};
inline constexpr Colour kClkBlue{0x00, 0x00, 0xFF};
inline constexpr Colour kDataWhite{0xFF, 0xFF, 0xFF};
inline constexpr Colour kMisoNavy{0x00, 0x00, 0x80};
inline constexpr Colour kRstGreen{0x00, 0x80, 0x00};
inline constexpr Colour kGndBlack{0x00, 0x00, 0x00};

// The self-test pin pictures: the first board (ZIF socket only), and the later one
// with its ISP header beside the socket.
Canvas DrawSelfTestFirstBoard();
Canvas DrawSelfTestSecondBoard();
// Where the jumpers go, and where the chip sits, for PICs and for 28C EEPROMs.
Canvas DrawPicJumpers();
Canvas DrawEepromJumpers();
// The ISP header seen from above, with what each pin carries.
Canvas DrawIspHeader();

}  // namespace pictures
