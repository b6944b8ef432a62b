#include "algorithms/DataPhase.h"

namespace kardo {

bool DataPhase::Receive(uint8_t* into, std::size_t n, const char* lineOnFailure) {
    std::size_t got = 0;
    if (c_.link.Read(into, n, got) != kLinkOk || got != n) {
        return Fail(lineOnFailure);
    }
    return true;
}

bool DataPhase::Send(const uint8_t* data, std::size_t n) {
    std::size_t written = 0;
    if (c_.link.Write(data, n, written) != kLinkOk || written != n) {
        return Fail(kWriteFailedLine);
    }
    return true;
}

bool DataPhase::Fail(const char* line) {
    c_.CountError();
    if (c_.Running()) {
        c_.Log(line);
    }
    return false;
}

}  // namespace kardo
