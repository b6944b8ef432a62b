// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/SelfTest.h"

#include "link/Protocol.h"

namespace kardo {

bool RunSelfTestStep(ProgrammerLink& link, uint8_t index) {
    link.Purge(kPurgeRxTx);
    SendBytes(link, {cmd::SelfTest});
    SendBytes(link, {index});
    link.SetTimeouts(kSelfTestTimeoutMs, kSelfTestTimeoutMs);
    LinkStatus status = kLinkOk;
    uint8_t byte = 0;
    for (int read = 0; read < kSelfTestReads; ++read) {
        // A read that times out brings nothing: it must not count as the 'D' of an
        // earlier read, nor as whatever the byte held before.
        byte = 0;
        std::size_t got = 0;
        status = link.Read(&byte, 1, got);
        if (got != 1) {
            byte = 0;
        }
        if (byte == kSelfTestDone) {
            break;
        }
    }
    return status == kLinkOk && byte == kSelfTestDone;
}

}  // namespace kardo
