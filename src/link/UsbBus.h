// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

namespace kardo {

// The packet slots of one full-speed USB bus that several bridge timing models share,
// as a gang's bridges behind one hub share the hub's 12 Mbit/s: every packet a bridge's
// model sends or polls for takes a slot no other bridge can have, and a bridge that finds
// its slot taken tries the next one. A poll the bridge answers with nothing (a NAK) is a
// few bytes on the wire and takes no slot. Slots go first come, first served, which is a
// schedule the bus could run; the host controller's own round-robin order is not
// modelled. Safe to share between threads.
class UsbBus {
  public:
    // Takes `slot` if it is free.
    bool Claim(int64_t slot);
    // Slots taken so far, for the bus's load.
    int64_t claimed() const;

  private:
    mutable std::mutex mutex_;
    std::vector<bool> taken_;
    int64_t claimed_ = 0;
};

}  // namespace kardo
