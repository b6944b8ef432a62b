// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

namespace kardo {

// Where the program's own files are: the two device databases, the result sounds and
// the adapter and self-test pictures. A copy run from the build tree or from stage/ has
// them beside itself or in the directory it was started from; an installed copy has them
// in the data directory of its installation, which `cmake --install` places at a fixed
// path from the directory of the program (share/kardo beside bin/).

// The directory the running program was started from: that of /proc/self/exe, else of
// `argv0` taken from the working directory.
std::filesystem::path ProgramDirectory(const char* argv0);

// The data directory an installation of the program in `programDir` would have.
std::filesystem::path InstalledDataDirectory(const std::filesystem::path& programDir);

// The default directory: the first of the working directory, the program's directory
// and the installed data directory that holds a device database. Holding none, the
// working directory stays the default, and the program runs without a database as it
// does in any empty directory.
std::filesystem::path ChooseDataDirectory(const std::filesystem::path& workingDir,
                                          const std::filesystem::path& programDir,
                                          const std::filesystem::path& installedDataDir);

// True when the program in `programDir` is an installed copy: its installed data
// directory holds a device database.
bool IsInstalledCopy(const std::filesystem::path& programDir);

}  // namespace kardo
