// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DataDirectory.h"

#include "app/Selection.h"

// The path from the installed program's directory to its data directory, set by the
// build from the install directories, so that a relocated installation (another prefix,
// a package unpacked elsewhere) still finds its files.
#ifndef KARDO_DATA_FROM_PROGRAM
#error "KARDO_DATA_FROM_PROGRAM must be defined by the build"
#endif

namespace kardo {

std::filesystem::path ProgramDirectory(const char* argv0) {
    std::error_code error;
    auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        self = std::filesystem::absolute(argv0 != nullptr ? argv0 : "", error);
    }
    return self.parent_path();
}

std::filesystem::path InstalledDataDirectory(const std::filesystem::path& programDir) {
    return (programDir / KARDO_DATA_FROM_PROGRAM).lexically_normal();
}

std::filesystem::path ChooseDataDirectory(const std::filesystem::path& workingDir,
                                          const std::filesystem::path& programDir,
                                          const std::filesystem::path& installedDataDir) {
    for (const auto* candidate : {&workingDir, &programDir, &installedDataDir}) {
        if (!candidate->empty() && DatabaseFlagsIn(*candidate) != 0) {
            return *candidate;
        }
    }
    return workingDir;
}

bool IsInstalledCopy(const std::filesystem::path& programDir) {
    return DatabaseFlagsIn(InstalledDataDirectory(programDir)) != 0;
}

}  // namespace kardo
