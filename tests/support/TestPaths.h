// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>

namespace kardo::test {

// The build's data directory: the compiled databases, the sounds and the pictures.
const std::filesystem::path& BuiltDataDir();
// The checkout, where the test data made by outside tools is committed.
const std::filesystem::path& SourceDir();
// The database compiler the build made.
const std::string& DatabaseTool();

}  // namespace kardo::test
