// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/DeviceNames.h"

#include <algorithm>
#include <cctype>
#include <numeric>

namespace kardo::cli {

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

bool IsGlob(std::string_view pattern) {
    return pattern.find_first_of("*?") != std::string_view::npos;
}

bool GlobMatches(std::string_view pattern, std::string_view text) {
    const std::string p = LowerCase(pattern), t = LowerCase(text);
    // The usual backtracking over the last '*': linear in practice, never recursive.
    std::size_t pi = 0, ti = 0, starP = std::string::npos, starT = 0;
    while (ti < t.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == t[ti])) {
            ++pi;
            ++ti;
        } else if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starT = ti;
        } else if (starP != std::string::npos) {
            pi = starP + 1;
            ti = ++starT;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') {
        ++pi;
    }
    return pi == p.size();
}

bool NameMatches(std::string_view pattern, std::string_view text) {
    if (IsGlob(pattern)) {
        return GlobMatches(pattern, text);
    }
    return LowerCase(text).find(LowerCase(pattern)) != std::string::npos;
}

std::size_t EditDistance(std::string_view a, std::string_view b) {
    const std::string x = LowerCase(a), y = LowerCase(b);
    // Three rows of the table are enough for the swap of neighbours.
    std::vector<std::size_t> before(y.size() + 1), previous(y.size() + 1), row(y.size() + 1);
    std::iota(previous.begin(), previous.end(), std::size_t{0});
    for (std::size_t i = 1; i <= x.size(); ++i) {
        row[0] = i;
        for (std::size_t j = 1; j <= y.size(); ++j) {
            const std::size_t cost = x[i - 1] == y[j - 1] ? 0 : 1;
            row[j] = std::min({previous[j] + 1, row[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1]) {
                row[j] = std::min(row[j], before[j - 2] + 1);
            }
        }
        before.swap(previous);
        previous.swap(row);
    }
    return previous[y.size()];
}

std::vector<std::string> ClosestNames(std::string_view typed, const std::vector<std::string>& names,
                                      std::size_t count) {
    const std::size_t limit = std::max<std::size_t>(2, typed.size() / 3);
    const std::string part = LowerCase(typed);
    std::vector<std::pair<std::size_t, std::string>> near;
    for (const std::string& name : names) {
        // A name that holds what was typed comes first: "28C256" for "AT28C256".
        if (LowerCase(name).find(part) != std::string::npos) {
            near.emplace_back(0, name);
        } else if (const std::size_t d = EditDistance(typed, name); d <= limit) {
            near.emplace_back(d, name);
        }
    }
    std::stable_sort(near.begin(), near.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> closest;
    for (const auto& [distance, name] : near) {
        if (closest.size() == count) {
            break;
        }
        if (std::find(closest.begin(), closest.end(), name) == closest.end()) {
            closest.push_back(name);
        }
    }
    return closest;
}

}  // namespace kardo::cli
