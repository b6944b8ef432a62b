// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

#include "algorithms/OperationContext.h"

namespace kardo {

// The lines a failed data phase leaves in the log.
inline constexpr const char* kReadFailedLine = " Error with read";
inline constexpr const char* kNoAcknowledgementLine = " No acknowledgement from programmer";
inline constexpr const char* kWriteFailedLine = " Error with write";
// A purge or a look at the receive queue that the link refused.
inline constexpr const char* kLinkFailedLine = " Error with programmer link";

// The ISP family's record of the first link call that failed outright, and the line that
// says what failed; the routine reports it at its end.
struct LinkFailure {
    LinkStatus status = kLinkOk;
    const char* line = nullptr;

    bool Ok() const { return status == kLinkOk; }
    void Keep(LinkStatus failed, const char* what) {
        if (Ok() && failed != kLinkOk) {
            status = failed;
            line = what;
        }
    }
};

// The rule every family's data phases follow. A unit of a data stream or an
// acknowledgement either arrives whole with a good status, and a block either goes out
// whole with a good status, or the operation has failed: one error is counted, one line
// is logged (none once the user has aborted), and the caller ends its routine at once,
// without a completion line. Bytes of a unit that did not arrive whole are neither
// stored nor compared, so a programmer that goes quiet or a broken link can never pass
// for success, and every failure costs at most one read or write timeout.
//
//   a stream unit short or with a bad status   " Error with read"
//   an acknowledgement short or with a bad status  " No acknowledgement from programmer"
//   a write that fails or writes fewer bytes   " Error with write"
//
// The ISP family keeps the link's status instead: a call that fails outright is kept in
// `linkFailure` with its line (the first one stays), and the routine counts one error
// for it and logs that line at its end.
class DataPhase {
  public:
    explicit DataPhase(OperationContext& context, LinkFailure* linkFailure = nullptr)
        : c_(context), linkFailure_(linkFailure) {}

    // Each returns true when the whole unit or block went through.
    bool ReceiveData(uint8_t* into, std::size_t n) { return Receive(into, n, kReadFailedLine); }
    bool ReceiveAcknowledgement(uint8_t* into, std::size_t n) {
        return Receive(into, n, kNoAcknowledgementLine);
    }
    bool Send(const uint8_t* data, std::size_t n);

  private:
    bool Receive(uint8_t* into, std::size_t n, const char* lineOnFailure);
    bool Fail(LinkStatus status, const char* line);

    OperationContext& c_;
    LinkFailure* linkFailure_;
};

}  // namespace kardo
