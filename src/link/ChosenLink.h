// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>

#include "link/LinkChoice.h"

namespace kardo {

// The window's link: one of the programmers attached, which Reconnect may point at
// another. Each programmer's link is made when it is first chosen and kept, so that a
// virtual programmer keeps its chip while another one is in use.
class ChosenLink : public ProgrammerLink {
  public:
    // `programmer`: the one chosen last time; the first found when it is not attached now.
    ChosenLink(LinkEnvironment environment, const std::string& programmer);
    ~ChosenLink() override { Close(); }
    ChosenLink(const ChosenLink&) = delete;
    ChosenLink& operator=(const ChosenLink&) = delete;

    // What stands in the way of the programmer chosen at start, for the user.
    const LinkChoice& first() const { return first_; }
    AttachedProgrammers Attached() const { return ListProgrammers(environment_); }
    // Closes the programmer in use; the next open opens `programmer`. Returns what stands
    // in its way, or an empty text.
    std::string Choose(const std::string& programmer);
    VirtualProgrammer* virtualProgrammer() { return Current().virtualProgrammer; }

    LinkStatus OpenEx(const std::string& description) override {
        return Link().OpenEx(description);
    }
    LinkStatus ResetDevice() override { return Link().ResetDevice(); }
    LinkStatus Purge(uint32_t mask) override { return Link().Purge(mask); }
    LinkStatus SetTimeouts(uint32_t readMs, uint32_t writeMs) override {
        return Link().SetTimeouts(readMs, writeMs);
    }
    LinkStatus Write(const uint8_t* data, std::size_t n, std::size_t& written) override {
        return Link().Write(data, n, written);
    }
    LinkStatus Read(uint8_t* data, std::size_t n, std::size_t& got) override {
        return Link().Read(data, n, got);
    }
    LinkStatus GetQueueStatus(std::size_t& queued) override {
        return Link().GetQueueStatus(queued);
    }
    LinkStatus Close() override { return Link().Close(); }
    std::string OpenProblem() const override { return Link().OpenProblem(); }
    std::string BridgeSerial() const override { return Link().BridgeSerial(); }
    std::string Name() const override { return Link().Name(); }
    bool HeldElsewhere() const override { return Link().HeldElsewhere(); }

  private:
    LinkChoice& Current() { return links_.at(chosen_); }
    ProgrammerLink& Link() { return *Current().link; }
    const ProgrammerLink& Link() const { return *links_.at(chosen_).link; }

    LinkEnvironment environment_;
    std::map<std::string, LinkChoice> links_;  // by the name chosen, "" for the first found
    std::string chosen_;
    LinkChoice first_;  // the problems of the start's choice; its link is in links_
};

}  // namespace kardo
