// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "link/ProgrammerLink.h"

namespace kardo {

// One output the programmer can drive on its own, in the order of the self-test
// dialog's choices: the index is the byte sent after 'T'.
struct SelfTestStep {
    const char* item;
    const char* text;  // shown while the step runs
};

inline constexpr std::array<SelfTestStep, 7> kSelfTestSteps{{
    {"VCC", "VCC will be 5V for 5s"},
    {"VPP", "VPP will be 12.5V - 13V for 5s"},
    {"CLK", "CLK will be high for 1s, low for 1s (5x)"},
    {"DATA/MOSI", "DATA/MOSI will be high for 1s, low for 1s (5x)"},
    {"MISO", "MISO will be high for 1s, low for 1s (5x)"},
    {"RST", "RST will be high for 1s, low for 1s (5x)"},
    {"LED", "LED goes RED and GREEN"},
}};

// The programmer says 'D' when the step is over; the longest step takes ten seconds,
// and each read waits up to a second.
inline constexpr uint8_t kSelfTestDone = 'D';
inline constexpr int kSelfTestReads = 31;
inline constexpr uint32_t kSelfTestTimeoutMs = 1000;

// Runs one step: purge, 'T' and the index, 1000/1000 ms timeouts, then single-byte
// reads until 'D', at most kSelfTestReads of them. True when the last read went
// through and brought 'D'. Blocks for as long as the programmer takes (up to about
// half a minute), so the windows call it off their own thread.
bool RunSelfTestStep(ProgrammerLink& link, uint8_t index);

}  // namespace kardo
