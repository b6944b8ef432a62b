// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>

namespace kardo {

class UsbBus;

// What the USB timing model knows of the bridge and of the programmer behind it. The
// defaults are a full-speed bridge as it comes out of the box (its latency timer at
// 16 ms) and a programmer whose chip takes no time to write; the benchmark sets the
// chips' write times and the tuned latency.
struct UsbTiming {
    std::chrono::milliseconds latency{16};  // the bridge's latency timer
    std::size_t toProgrammerBuffer = 128;   // the bridge's buffer from USB to the programmer
    std::size_t toHostBuffer = 256;         // the bridge's buffer from the programmer to USB
    std::size_t readChunk = 4096;           // bytes one IN transfer of the host asks for
    std::size_t writeChunk = 4096;          // bytes one OUT transfer of the host carries
    // The firmware moving one byte between the bridge and itself.
    std::chrono::nanoseconds programmerPerByte{1000};
    // The chip's own write time, per byte the firmware stores into it.
    std::chrono::nanoseconds chipWritePerByte{0};
    // One call that the host's link answers from its own queue, without USB.
    std::chrono::nanoseconds hostCall{1000};
    // The bus, when other bridges share it; none: this bridge has every slot.
    std::shared_ptr<UsbBus> bus;
};

}  // namespace kardo
