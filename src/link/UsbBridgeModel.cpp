// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/UsbBridgeModel.h"

#include <algorithm>

#include "link/UsbBus.h"

namespace kardo {
namespace {

constexpr int64_t kFrameNs = UsbBridgeModel::kFrame.count();

void MoveFront(std::deque<uint8_t>& from, std::deque<uint8_t>& to, std::size_t n) {
    const auto end = from.begin() + static_cast<long>(std::min(n, from.size()));
    to.insert(to.end(), from.begin(), end);
    from.erase(from.begin(), end);
}

}  // namespace

int64_t UsbBridgeModel::SlotTime(int64_t slot) {
    return slot / kSlotsPerFrame * kFrameNs + slot % kSlotsPerFrame * kFrameNs / kSlotsPerFrame;
}

int64_t UsbBridgeModel::SlotAt(int64_t time) {
    int64_t slot = time / kFrameNs * kSlotsPerFrame + time % kFrameNs * kSlotsPerFrame / kFrameNs;
    while (SlotTime(slot) < time) {
        ++slot;
    }
    return slot;
}

bool UsbBridgeModel::Claim(int64_t slot) const {
    return !timing_.bus || timing_.bus->Claim(slot);
}

void UsbBridgeModel::TakeInput(VirtualProgrammer& programmer) {
    const uint8_t byte = toProgrammer_.front();
    toProgrammer_.pop_front();
    const std::size_t stored = programmer.chipBytesWritten();
    const std::size_t drops = programmer.outputDrops();
    programmer.Receive(&byte, 1);
    if (programmer.outputDrops() != drops) {
        pending_.clear();  // still the firmware's; what the bridge holds is sent anyway
    }
    programmer_ += static_cast<int64_t>(programmer.chipBytesWritten() - stored) *
                   timing_.chipWritePerByte.count();
    uint8_t out[256];
    while (const std::size_t got = programmer.Take(out, sizeof out)) {
        pending_.insert(pending_.end(), out, out + got);
    }
}

void UsbBridgeModel::Advance(VirtualProgrammer& programmer, int64_t time) {
    const int64_t perByte = timing_.programmerPerByte.count();
    for (;;) {
        // The firmware sends what it has before it takes the next byte in.
        const bool sending = !pending_.empty();
        if (sending && toHost_.size() >= timing_.toHostBuffer) {
            break;  // held up until a packet to the host makes room
        }
        if (!sending && toProgrammer_.empty()) {
            break;  // nothing to do
        }
        if (programmer_ + perByte > time) {
            return;  // busy beyond `time`
        }
        programmer_ += perByte;
        if (sending) {
            toHost_.push_back(pending_.front());
            pending_.pop_front();
        } else {
            TakeInput(programmer);
        }
    }
    // Idle or held up: its next byte cannot start before now.
    programmer_ = std::max(programmer_, time);
}

void UsbBridgeModel::OutTransfer(VirtualProgrammer& programmer, const uint8_t* data,
                                 std::size_t n) {
    int64_t slot = SlotAt(now_);
    std::size_t sent = 0;
    while (sent < n) {
        Advance(programmer, SlotTime(slot));
        const std::size_t packet = std::min(kPacket, n - sent);
        // The bridge refuses a packet it has no room for; the host tries the next slot.
        const bool room = timing_.toProgrammerBuffer - toProgrammer_.size() >= packet;
        const bool drain = !room && toHost_.size() >= timing_.toHostBuffer;
        if ((room || drain) && !Claim(slot)) {
            ++slot;  // another bridge's packet
            continue;
        }
        if (room) {
            toProgrammer_.insert(toProgrammer_.end(), data + sent, data + sent + packet);
            sent += packet;
        } else if (drain) {
            // The firmware waits for room towards the host before it takes more: the
            // host's driver takes a packet, as it keeps reading while a write waits, or
            // acknowledgements nobody reads (after an abort) would stop everything.
            MoveFront(toHost_, hostQueue_, kPacketData);
            lastPacket_ = SlotTime(slot);
            programmer_ = std::max(programmer_, lastPacket_);
        }
        ++slot;
    }
    now_ = SlotTime(slot);
}

void UsbBridgeModel::InTransfer(VirtualProgrammer& programmer) {
    const int64_t latency = std::chrono::duration_cast<Nanoseconds>(timing_.latency).count();
    int64_t slot = SlotAt(now_);
    std::size_t wire = 0;
    for (;;) {
        const int64_t at = SlotTime(slot++);
        Advance(programmer, at);
        const bool full = toHost_.size() >= timing_.toHostBuffer;
        const bool sends = toHost_.size() >= kPacketData || at >= lastPacket_ + latency;
        if (sends && !Claim(slot - 1)) {
            continue;  // another bridge's packet: ours goes in a later slot
        }
        if (toHost_.size() >= kPacketData) {
            MoveFront(toHost_, hostQueue_, kPacketData);
            lastPacket_ = at;
            wire += kPacket;
        } else if (at >= lastPacket_ + latency) {
            // A short packet, perhaps of the status bytes alone, ends the transfer.
            MoveFront(toHost_, hostQueue_, toHost_.size());
            lastPacket_ = at;
            break;
        } else {
            continue;  // the bridge has nothing to send yet
        }
        if (full) {
            programmer_ = std::max(programmer_, at);  // the held-up firmware goes on from here
        }
        if (wire >= timing_.readChunk) {
            break;
        }
    }
    now_ = SlotTime(slot);
    lastInEnd_ = now_;
}

void UsbBridgeModel::Write(VirtualProgrammer& programmer, const uint8_t* data, std::size_t n) {
    const std::size_t chunk = std::max<std::size_t>(timing_.writeChunk, 1);
    for (std::size_t at = 0; at < n; at += chunk) {
        OutTransfer(programmer, data + at, std::min(chunk, n - at));
    }
}

std::size_t UsbBridgeModel::Read(VirtualProgrammer& programmer, uint8_t* out, std::size_t n,
                                 std::size_t limit, Nanoseconds timeout) {
    const int64_t deadline = now_ + timeout.count();
    if (hostQueue_.size() >= limit) {
        now_ += timing_.hostCall.count();
    }
    // No timeout set is the driver's default: wait for whatever is on its way.
    const auto waiting = [&] { return timeout.count() == 0 ? OnItsWay() : now_ < deadline; };
    while (hostQueue_.size() < limit && waiting()) {
        InTransfer(programmer);
    }
    const std::size_t got = std::min(limit, hostQueue_.size());
    std::copy_n(hostQueue_.begin(), got, out);
    hostQueue_.erase(hostQueue_.begin(), hostQueue_.begin() + static_cast<long>(got));
    if (got < n) {
        now_ = std::max(now_, deadline);
    }
    return got;
}

bool UsbBridgeModel::OnItsWay() const {
    return !toProgrammer_.empty() || !pending_.empty() || !toHost_.empty();
}

std::size_t UsbBridgeModel::Poll(VirtualProgrammer& programmer) {
    if (hostQueue_.empty() && now_ >= lastInEnd_ + kFrameNs) {
        InTransfer(programmer);
    } else {
        now_ += timing_.hostCall.count();
    }
    return hostQueue_.size();
}

void UsbBridgeModel::Purge(VirtualProgrammer& programmer) {
    while (!toProgrammer_.empty()) {
        TakeInput(programmer);
    }
    programmer.DropOutput();
    pending_.clear();
    toHost_.clear();
    hostQueue_.clear();
}

void UsbBridgeModel::Reset(VirtualProgrammer& programmer) {
    Purge(programmer);
    programmer.Reset();
}

}  // namespace kardo
