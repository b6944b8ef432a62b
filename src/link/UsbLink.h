// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "link/ProgrammerLink.h"

namespace kardo {

// The programmer on USB, through this system's driver of the bridge: libftdi1 on Linux,
// the D2XX library on Windows. Each system's build compiles the one of its own. When the
// driver itself is missing, `problem` says so, for the user, and the link behaves as one
// with no programmer attached. `name` empty opens the first programmer found, else only
// the one of that name; where programmers cannot be told apart, `problem` says so.
std::unique_ptr<ProgrammerLink> MakeUsbLink(std::string& problem, const std::string& name = {});

// The names of the programmers attached; `problem` says why none can be named.
std::vector<std::string> ListUsbProgrammers(std::string& problem);

}  // namespace kardo
