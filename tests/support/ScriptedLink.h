// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "link/ProgrammerLink.h"

namespace kardo::test {

// A programmer stand-in that answers reads from a script of reply bytes and keeps
// everything the host wrote. Reads take what the script holds, up to the count asked.
class ScriptedLink : public ProgrammerLink {
public:
    bool opens = true;
    std::deque<uint8_t> replies;
    std::vector<uint8_t> written;
    int purges = 0;
    int opened = 0;
    int closed = 0;

    void Reply(const std::string& bytes) { replies.insert(replies.end(), bytes.begin(), bytes.end()); }

    LinkStatus OpenEx(const std::string& description) override;
    LinkStatus ResetDevice() override { return kLinkOk; }
    LinkStatus Purge(uint32_t) override;
    LinkStatus SetTimeouts(uint32_t, uint32_t) override { return kLinkOk; }
    LinkStatus Write(const uint8_t* data, std::size_t n, std::size_t& written) override;
    LinkStatus Read(uint8_t* data, std::size_t n, std::size_t& got) override;
    LinkStatus GetQueueStatus(std::size_t& queued) override;
    LinkStatus Close() override;
};

}  // namespace kardo::test
