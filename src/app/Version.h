// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kardo {

// The program's version, the one its package carries: "1.006".
const char* ProgramVersion();

// What `--version` prints: the program's name and its version, one line.
std::string VersionLine(const std::string& program);

}  // namespace kardo
