// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/TraceLink.h"

#include <cstdio>

namespace kardo {
namespace {

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    char digits[4];
    for (const uint8_t b : bytes) {
        std::snprintf(digits, sizeof digits, text.empty() ? "%02X" : " %02X", b);
        text += digits;
    }
    return text;
}

}  // namespace

std::string TraceEvent::Text() const {
    const std::string failed = status == kLinkOk ? "" : " !" + std::to_string(status);
    switch (kind) {
        case Kind::Open:
            return "open" + failed;
        case Kind::Reset:
            return "reset" + failed;
        case Kind::Purge:
            return "purge " + std::to_string(first) + failed;
        case Kind::Timeouts:
            return "timeouts " + std::to_string(first) + "/" + std::to_string(second) + failed;
        case Kind::Write:
            return "write " + Hex(bytes) + failed;
        case Kind::Read:
            return "read " + std::to_string(requested) + ":" + (bytes.empty() ? "" : " ") +
                   Hex(bytes) + failed;
        case Kind::Queue:
            return "queue " + std::to_string(first) + failed;
        case Kind::Close:
            return "close" + failed;
    }
    return {};
}

std::vector<std::string> TraceLink::Lines() const {
    std::vector<std::string> lines;
    for (const auto& e : events_) {
        lines.push_back(e.Text());
    }
    return lines;
}

LinkStatus TraceLink::OpenEx(const std::string& description) {
    return Record({TraceEvent::Kind::Open, {description.begin(), description.end()}, 0, 0, 0,
                   inner_.OpenEx(description)});
}

LinkStatus TraceLink::ResetDevice() {
    return Record({TraceEvent::Kind::Reset, {}, 0, 0, 0, inner_.ResetDevice()});
}

LinkStatus TraceLink::Purge(uint32_t mask) {
    return Record({TraceEvent::Kind::Purge, {}, 0, mask, 0, inner_.Purge(mask)});
}

LinkStatus TraceLink::SetTimeouts(uint32_t readMs, uint32_t writeMs) {
    return Record(
        {TraceEvent::Kind::Timeouts, {}, 0, readMs, writeMs, inner_.SetTimeouts(readMs, writeMs)});
}

LinkStatus TraceLink::Write(const uint8_t* data, std::size_t n, std::size_t& written) {
    const LinkStatus status = inner_.Write(data, n, written);
    return Record({TraceEvent::Kind::Write, {data, data + n}, n, 0, 0, status});
}

LinkStatus TraceLink::Read(uint8_t* data, std::size_t n, std::size_t& got) {
    const LinkStatus status = inner_.Read(data, n, got);
    return Record({TraceEvent::Kind::Read, {data, data + got}, n, 0, 0, status});
}

LinkStatus TraceLink::GetQueueStatus(std::size_t& queued) {
    const LinkStatus status = inner_.GetQueueStatus(queued);
    return Record({TraceEvent::Kind::Queue, {}, 0, static_cast<uint32_t>(queued), 0, status});
}

LinkStatus TraceLink::Close() {
    return Record({TraceEvent::Kind::Close, {}, 0, 0, 0, inner_.Close()});
}

}  // namespace kardo
