// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kardo::cli {

// How the command line matches the names a user types against the database's, always
// without regard to case.
std::string LowerCase(std::string_view text);
std::string UpperCase(std::string_view text);

// True when `pattern` has a wildcard: '*' (any run of characters) or '?' (one).
bool IsGlob(std::string_view pattern);
// The whole of `text` matches the wildcard `pattern`.
bool GlobMatches(std::string_view pattern, std::string_view text);
// `text` holds `pattern` as a glob when it is one, else as a part of it.
bool NameMatches(std::string_view pattern, std::string_view text);

// The number of single-character insertions, deletions, substitutions and swaps of
// neighbours that turn one text into the other ("AT28C265" is 1 from "AT28C256").
std::size_t EditDistance(std::string_view a, std::string_view b);

// The candidates closest to `typed`, at most `count` of them: those that hold it first,
// then the nearest by EditDistance, none so far that it would only confuse (more than a
// third of the typed name's length, at least 2).
std::vector<std::string> ClosestNames(std::string_view typed, const std::vector<std::string>& names,
                                      std::size_t count);

}  // namespace kardo::cli
