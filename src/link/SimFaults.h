// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "link/SimulatedLink.h"

namespace kardo {

// Switches the virtual programmer's faults on from a text such as
// "silent-after=20000,wrong-handshake", so that a person can rehearse a failure in the
// window or a script (KARDO_SIM_FAULTS). Items, separated by commas:
//   silent | wrong-handshake | reject-parameters | self-test-fails | wrong-chip | not-blank
//   erase-fails
//   quiet-after=N (the replies stop, the link stays up; also "silent-after=N")
//   break-after=N | writes-fail-after=N   (N: bytes over the link so far)
//   corrupt=ADDRESS | latency=MS | lock-ignored=N
//   self-test-noise=N (bytes before the self-test's 'D')
// Numbers are decimal or 0x-hex. With several virtual programmers, an item may start with
// one's name and a colon ("SIM2:quiet-after=100") to fault only that one; `programmer` is
// the link's name and `names` every programmer's. Returns what is wrong with the text
// (nothing is switched on then), or an empty text.
std::string ApplySimFaults(std::string_view text, SimulatedLink& link,
                           std::string_view programmer = {},
                           std::span<const std::string> names = {});

}  // namespace kardo
