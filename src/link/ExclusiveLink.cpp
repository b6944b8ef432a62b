// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ExclusiveLink.h"

namespace kardo {

bool ExclusiveLink::Lock(const std::string& name) {
    lock_ = ProgrammerLock::Take(lockDirectory_, name);
    if (lock_.state() != ProgrammerLock::State::Held) {
        return true;
    }
    heldElsewhere_ = "programmer " + name + " is in use by another program";
    if (!lock_.holder().empty()) {
        heldElsewhere_ += " (" + lock_.holder() + ")";
    }
    return false;
}

LinkStatus ExclusiveLink::OpenEx(const std::string& description) {
    Close();
    heldElsewhere_.clear();
    // A programmer asked for by name is locked before it is touched at all.
    const std::string wanted = link_->Name();
    if (!wanted.empty() && !Lock(wanted)) {
        return kLinkDeviceNotOpened;
    }
    const LinkStatus status = link_->OpenEx(description);
    if (status != kLinkOk) {
        lock_.Release();
        return status;
    }
    if (wanted.empty() && !Lock(link_->Name())) {
        link_->Close();
        return kLinkDeviceNotOpened;
    }
    return kLinkOk;
}

LinkStatus ExclusiveLink::Close() {
    const LinkStatus status = link_->Close();
    lock_.Release();
    return status;
}

}  // namespace kardo
