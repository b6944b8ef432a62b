// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestPaths.h"

// The build passes these absolute paths to this file alone: every other test object is
// then the same in any checkout, and a cached build of one checkout serves another.
namespace kardo::test {

const std::filesystem::path& BuiltDataDir() {
    static const std::filesystem::path dir = KARDO_DATA_DIR;
    return dir;
}

const std::filesystem::path& SourceDir() {
    static const std::filesystem::path dir = KARDO_SOURCE_DIR;
    return dir;
}

const std::string& DatabaseTool() {
    static const std::string tool = KARDO_DB_TOOL;
    return tool;
}

}  // namespace kardo::test
