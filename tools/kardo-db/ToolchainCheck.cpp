// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToolchainCheck.h"

#include <toml++/toml.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "DatabaseSource.h"
#include "SourceParts.h"

namespace kardo::dbsource {

std::optional<std::string> CommandOutput(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return std::nullopt;
    }
    std::string out;
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        out.append(chunk, n);
    }
    return pclose(pipe) == 0 ? std::optional<std::string>(out) : std::nullopt;
}

bool PlainName(const std::string& s) {
    return !s.empty() && s.size() <= 32 && std::all_of(s.begin(), s.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0;
    });
}

std::vector<DeviceRecord> RecordsOf(const std::vector<uint8_t>& file,
                                    ToolchainCheckReport& report) try {
    // The dump is the one reading of the file layout this tool has.
    const toml::table source = toml::parse(Dump(file));
    std::vector<DeviceRecord> records;
    if (const auto* makers = source["manufacturer"].as_array()) {
        for (const auto& maker : *makers) {
            if (const auto* devices = maker.as_table()->get("device")) {
                for (const auto& device : *devices->as_array()) {
                    for (const DeviceRecord& r : RecordsFrom(*device.as_table(), "device")) {
                        records.push_back(r);
                    }
                }
            }
        }
    }
    return records;
} catch (const SourceError& e) {
    report.problems.push_back("the database file cannot be read: " + e.message);
    return {};
} catch (const toml::parse_error& e) {
    std::string why = "the database file cannot be read: ";
    report.problems.push_back(why += e.description());
    return {};
}

}  // namespace kardo::dbsource
