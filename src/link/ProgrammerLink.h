// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kardo {

// Status of a link operation, as the USB bridge driver reports it: 0 is success.
using LinkStatus = uint32_t;
inline constexpr LinkStatus kLinkOk = 0;
inline constexpr LinkStatus kLinkInvalidHandle = 1;
inline constexpr LinkStatus kLinkDeviceNotFound = 2;
inline constexpr LinkStatus kLinkDeviceNotOpened = 3;
inline constexpr LinkStatus kLinkIoError = 4;

// Discard both the receive and the transmit queue; every purge of the program does both.
inline constexpr uint32_t kPurgeRxTx = 3;

// The USB product description the programmer announces itself with.
inline constexpr const char* kProgrammerDescription = "Q6K USB";

// The byte stream to the programmer: the eight operations the protocol needs, nothing
// more. Backends: the USB bridge, and the virtual programmer for tests and trying the
// program without hardware.
class ProgrammerLink {
public:
    virtual ~ProgrammerLink() = default;

    // Opens the device whose USB product description is exactly `description`.
    virtual LinkStatus OpenEx(const std::string& description) = 0;
    virtual LinkStatus ResetDevice() = 0;
    virtual LinkStatus Purge(uint32_t mask) = 0;
    virtual LinkStatus SetTimeouts(uint32_t readMs, uint32_t writeMs) = 0;
    virtual LinkStatus Write(const uint8_t* data, std::size_t n, std::size_t& written) = 0;
    // Waits until n bytes have arrived or the read timeout expires; `got` says how many.
    virtual LinkStatus Read(uint8_t* data, std::size_t n, std::size_t& got) = 0;
    virtual LinkStatus GetQueueStatus(std::size_t& queued) = 0;
    virtual LinkStatus Close() = 0;
    // After an open that found no programmer: what stood in the way, when something did
    // (a bridge that could not be read or opened), else empty.
    virtual std::string OpenProblem() const { return {}; }
    // The serial number of the USB bridge in use, when it has one.
    virtual std::string BridgeSerial() const { return {}; }
    // The name of the programmer this link opens, or opened: its bridge's serial number,
    // else where it is plugged in; empty when the link cannot tell.
    virtual std::string Name() const { return {}; }
    // After an open that failed: the programmer is there, but another program holds it.
    virtual bool HeldElsewhere() const { return false; }
};

}  // namespace kardo
