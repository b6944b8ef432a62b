// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdlib>
#include <string_view>

#include "link/SimulatedLink.h"

namespace kardo::test {

// The simulated link the protocol and family tests use: the plain virtual clock, or,
// with KARDO_TEST_USB_TIMING=1 in the environment, the USB timing model, so that the
// same byte-exact tests run over a modelled bridge as well (CTest runs them both ways).
inline bool UsbTimingRequested() {
    const char* value = std::getenv("KARDO_TEST_USB_TIMING");
    return value != nullptr && std::string_view(value) == "1";
}

inline SimulatedLink::Options SimOptions(SimulatedLink::Options options = {}) {
    if (UsbTimingRequested()) {
        options.usb = UsbTiming{};
    }
    return options;
}

}  // namespace kardo::test
