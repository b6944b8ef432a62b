// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "link/ProgrammerLink.h"

namespace kardo {

// The programmer on USB, through this system's driver of the bridge: libftdi1 on Linux,
// the D2XX library on Windows. Each system's build compiles the one of its own. When the
// driver itself is missing, `problem` says so, for the user, and the link behaves as one
// with no programmer attached.
std::unique_ptr<ProgrammerLink> MakeUsbLink(std::string& problem);

}  // namespace kardo
