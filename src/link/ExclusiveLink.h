// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "link/ProgrammerLink.h"
#include "link/ProgrammerLock.h"

namespace kardo {

// A link that holds its programmer's lock for as long as it is open, so that two
// programs never share one programmer: an open of a programmer another process holds
// fails, and says so. A programmer whose name is not known until it is open (the first
// one found) is locked once open, and let go again if another process has it.
class ExclusiveLink : public ProgrammerLink {
  public:
    ExclusiveLink(std::unique_ptr<ProgrammerLink> link, std::filesystem::path lockDirectory)
        : link_(std::move(link)), lockDirectory_(std::move(lockDirectory)) {}
    ~ExclusiveLink() override { Close(); }
    ExclusiveLink(const ExclusiveLink&) = delete;
    ExclusiveLink& operator=(const ExclusiveLink&) = delete;

    ProgrammerLink& inner() { return *link_; }

    LinkStatus OpenEx(const std::string& description) override;
    LinkStatus ResetDevice() override { return link_->ResetDevice(); }
    LinkStatus Purge(uint32_t mask) override { return link_->Purge(mask); }
    LinkStatus SetTimeouts(uint32_t readMs, uint32_t writeMs) override {
        return link_->SetTimeouts(readMs, writeMs);
    }
    LinkStatus Write(const uint8_t* data, std::size_t n, std::size_t& written) override {
        return link_->Write(data, n, written);
    }
    LinkStatus Read(uint8_t* data, std::size_t n, std::size_t& got) override {
        return link_->Read(data, n, got);
    }
    LinkStatus GetQueueStatus(std::size_t& queued) override {
        return link_->GetQueueStatus(queued);
    }
    LinkStatus Close() override;
    std::string OpenProblem() const override {
        return heldElsewhere_.empty() ? link_->OpenProblem() : heldElsewhere_;
    }
    std::string BridgeSerial() const override { return link_->BridgeSerial(); }
    std::string Name() const override { return link_->Name(); }
    bool HeldElsewhere() const override { return !heldElsewhere_.empty(); }

  private:
    // Takes the lock of `name`; false, with the reason kept, when another process has it.
    bool Lock(const std::string& name);

    std::unique_ptr<ProgrammerLink> link_;
    std::filesystem::path lockDirectory_;
    ProgrammerLock lock_;
    std::string heldElsewhere_;
};

}  // namespace kardo
