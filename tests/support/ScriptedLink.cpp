// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ScriptedLink.h"

namespace kardo::test {

LinkStatus ScriptedLink::OpenEx(const std::string& description) {
    if (!opens || description != kProgrammerDescription) {
        return kLinkDeviceNotFound;
    }
    ++opened;
    return kLinkOk;
}

LinkStatus ScriptedLink::Purge(uint32_t) {
    ++purges;
    return kLinkOk;
}

LinkStatus ScriptedLink::Write(const uint8_t* data, std::size_t n, std::size_t& count) {
    written.insert(written.end(), data, data + n);
    count = n;
    return kLinkOk;
}

LinkStatus ScriptedLink::Read(uint8_t* data, std::size_t n, std::size_t& got) {
    got = 0;
    while (got < n && !replies.empty()) {
        data[got++] = replies.front();
        replies.pop_front();
    }
    return kLinkOk;
}

LinkStatus ScriptedLink::GetQueueStatus(std::size_t& queued) {
    queued = replies.size();
    return kLinkOk;
}

LinkStatus ScriptedLink::Close() {
    ++closed;
    return kLinkOk;
}

}  // namespace kardo::test
