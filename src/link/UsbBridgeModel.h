// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>

#include "link/UsbTiming.h"
#include "link/VirtualProgrammer.h"

namespace kardo {

// A full-speed USB bridge between the host and the virtual programmer, on a virtual
// clock. USB runs in 1 ms frames of 19 bulk packet slots; a packet carries up to 64
// bytes, and every packet towards the host starts with the bridge's 2 status bytes. The
// bridge sends a full packet as soon as it holds 62 bytes and anything less (even
// nothing but the status bytes) only once its latency timer has run out since the last
// packet; both of its buffers are bounded, and a full one holds up the other side. The
// programmer handles one byte at a time and writes to its chip at a set cost per byte.
//
// On a bus shared with other bridges (UsbTiming::bus), every slot this bridge sends a
// packet in is one the others cannot have (see UsbBus).
//
// The host behaves as our USB link does: what arrives is kept in the host's own queue;
// a read is served from it and runs IN transfers only while bytes are missing; a poll
// of an empty queue runs one IN transfer at most once a frame, else it costs a call.
// While a write is held up by a firmware that waits for room towards the host, the
// host's driver takes what the bridge holds for it.
//
// The programmer is passed to every call rather than kept, so the model can live in a
// link that is moved.
class UsbBridgeModel {
  public:
    using Nanoseconds = std::chrono::nanoseconds;
    static constexpr int kSlotsPerFrame = 19;  // 64-byte bulk packets that fit a frame
    static constexpr std::size_t kPacket = 64;
    static constexpr std::size_t kStatusBytes = 2;
    static constexpr std::size_t kPacketData = kPacket - kStatusBytes;
    static constexpr Nanoseconds kFrame = std::chrono::milliseconds(1);

    explicit UsbBridgeModel(UsbTiming timing) : timing_(timing) {}

    const UsbTiming& timing() const { return timing_; }
    // The host's time since the model started.
    Nanoseconds now() const { return Nanoseconds(now_); }
    // Host time passing outside the link.
    void Wait(Nanoseconds time) { now_ += time.count(); }

    // Returns once the bridge has taken every byte.
    void Write(VirtualProgrammer& programmer, const uint8_t* data, std::size_t n);
    // Takes up to `limit` of the n bytes asked for, waiting for them until `timeout`;
    // a read that stays short has waited out the whole timeout.
    std::size_t Read(VirtualProgrammer& programmer, uint8_t* out, std::size_t n, std::size_t limit,
                     Nanoseconds timeout);
    // The bytes in the host's queue.
    std::size_t Poll(VirtualProgrammer& programmer);
    // Drops what is on its way to the host; the bytes already in the bridge towards the
    // programmer are taken to have reached it, as they do within microseconds.
    void Purge(VirtualProgrammer& programmer);
    void Reset(VirtualProgrammer& programmer);

  private:
    static int64_t SlotTime(int64_t slot);
    static int64_t SlotAt(int64_t time);  // the first slot starting at or after `time`
    // Whether a packet may go in `slot`: always, but on a shared bus whose slot it is.
    bool Claim(int64_t slot) const;
    // Runs the programmer and what it hands to the bridge up to `time`.
    void Advance(VirtualProgrammer& programmer, int64_t time);
    // The programmer takes its next byte from the bridge.
    void TakeInput(VirtualProgrammer& programmer);
    void OutTransfer(VirtualProgrammer& programmer, const uint8_t* data, std::size_t n);
    void InTransfer(VirtualProgrammer& programmer);
    // Bytes that will reach the host without it sending more.
    bool OnItsWay() const;

    UsbTiming timing_;
    int64_t now_ = 0;                    // the host, in ns
    int64_t programmer_ = 0;             // when the programmer is done with what it has taken on
    std::deque<uint8_t> toProgrammer_;   // in the bridge, towards the programmer
    std::deque<uint8_t> pending_;        // the firmware's output not yet in the bridge
    std::deque<uint8_t> toHost_;         // in the bridge, towards the host
    std::deque<uint8_t> hostQueue_;      // arrived at the host
    int64_t lastPacket_ = 0;             // the bridge's last packet up: its latency timer
    int64_t lastInEnd_ = INT64_MIN / 2;  // when the host's last IN transfer ended
};

}  // namespace kardo
