// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Version.h"

namespace kardo {

// The build gives the project's version to this file alone, so that a new version
// recompiles one file.
const char* ProgramVersion() {
    return KARDO_VERSION;
}

std::string VersionLine(const std::string& program) {
    return program + " " + ProgramVersion() + "\n";
}

}  // namespace kardo
