// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "link/ProgrammerLink.h"

namespace kardo {

class VirtualProgrammer;

// The link the program talks over, chosen by the environment:
//   KARDO_LINK unset or "ftdi": the programmer on USB;
//   KARDO_LINK "sim": the virtual programmer, whose chip is kept in the file that
//   KARDO_SIM_IMAGE names, if any, with the faults KARDO_SIM_FAULTS switches on.
struct LinkChoice {
    std::unique_ptr<ProgrammerLink> link;
    VirtualProgrammer* virtualProgrammer = nullptr;  // set for "sim"
    // Told to the user at start: a link we do not know (the hardware link is used then),
    // a chip file the virtual programmer cannot use, or faults it does not know.
    std::string problem;
    // Why the programmer on USB cannot be reached at all (its driver library is missing):
    // told to the user too, but the link is the one asked for, and it behaves as one with
    // no programmer attached.
    std::string driverProblem;
};

LinkChoice ChooseLink(const char* kardoLink, const char* simImage, const char* simFaults = nullptr);

}  // namespace kardo
