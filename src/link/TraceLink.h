// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "link/ProgrammerLink.h"

namespace kardo {

// One call on the link, as it went.
struct TraceEvent {
    enum class Kind { Open, Reset, Purge, Timeouts, Write, Read, Queue, Close };
    Kind kind;
    std::vector<uint8_t> bytes;  // written, or what a read delivered
    std::size_t requested = 0;   // bytes a read asked for
    uint32_t first = 0, second = 0;  // purge mask, timeouts, queue count
    LinkStatus status = kLinkOk;

    // Compact text for assertions: "open", "purge 3", "timeouts 500/500", "write 45",
    // "read 2: 47 6F", "queue 1", "reset", "close".
    std::string Text() const;
};

// Passes every call through to another link and records it, so tests can check an
// exchange byte for byte.
class TraceLink : public ProgrammerLink {
public:
    explicit TraceLink(ProgrammerLink& inner) : inner_(inner) {}

    const std::vector<TraceEvent>& events() const { return events_; }
    std::vector<std::string> Lines() const;
    void Clear() { events_.clear(); }

    LinkStatus OpenEx(const std::string& description) override;
    LinkStatus ResetDevice() override;
    LinkStatus Purge(uint32_t mask) override;
    LinkStatus SetTimeouts(uint32_t readMs, uint32_t writeMs) override;
    LinkStatus Write(const uint8_t* data, std::size_t n, std::size_t& written) override;
    LinkStatus Read(uint8_t* data, std::size_t n, std::size_t& got) override;
    LinkStatus GetQueueStatus(std::size_t& queued) override;
    LinkStatus Close() override;

private:
    LinkStatus Record(TraceEvent event) {
        events_.push_back(std::move(event));
        return events_.back().status;
    }

    ProgrammerLink& inner_;
    std::vector<TraceEvent> events_;
};

}  // namespace kardo
