// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "link/ProgrammerLink.h"

namespace kardo {

class VirtualProgrammer;

// What picks the link, from the environment:
//   KARDO_LINK unset or "ftdi": the programmers on USB;
//   KARDO_LINK "sim": the virtual programmer, whose chip is kept in the file that
//   KARDO_SIM_IMAGE names, if any, with the faults KARDO_SIM_FAULTS switches on;
//   KARDO_SIM_PROGRAMMERS=N: N virtual programmers SIM1 ... SIMN, each keeping its chip
//   in KARDO_SIM_IMAGE with ".SIMk" added, and each locked as a programmer on USB is.
struct LinkEnvironment {
    const char* link = nullptr;
    const char* simImage = nullptr;
    const char* simFaults = nullptr;
    const char* simProgrammers = nullptr;
    // Where the programmer locks are kept; empty: links take no lock.
    std::filesystem::path lockDirectory;

    static LinkEnvironment FromProcess();
};

struct LinkChoice {
    std::unique_ptr<ProgrammerLink> link;
    VirtualProgrammer* virtualProgrammer = nullptr;  // set for "sim"
    // Told to the user at start: a link we do not know (the hardware link is used then),
    // a chip file the virtual programmer cannot use, faults it does not know, or a
    // programmer asked for by a name none has.
    std::string problem;
    // Why the programmer on USB cannot be reached at all (its driver library is missing):
    // told to the user too, but the link is the one asked for, and it behaves as one with
    // no programmer attached.
    std::string driverProblem;
};

// `programmer` empty: the first programmer found, as with one attached; else the one of
// that name.
LinkChoice ChooseLink(const LinkEnvironment& environment, const std::string& programmer = {});
// The same, without locks.
LinkChoice ChooseLink(const char* kardoLink, const char* simImage, const char* simFaults = nullptr);

// The names of every programmer attached, in a stable order; `problem` says why they
// cannot be named (the list is empty then).
struct AttachedProgrammers {
    std::vector<std::string> names;
    std::string problem;
};
AttachedProgrammers ListProgrammers(const LinkEnvironment& environment);

}  // namespace kardo
