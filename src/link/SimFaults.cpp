// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/SimFaults.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "common/HexText.h"

namespace kardo {
namespace {

// Applies one item to `link`; false when the item is not one we know.
bool Apply(std::string_view item, SimulatedLink& link) {
    auto& faults = link.programmer().faults;
    auto& options = link.options();
    if (item == "silent")
        return faults.silent = true;
    if (item == "wrong-handshake")
        return faults.wrongHandshake = true;
    if (item == "reject-parameters")
        return faults.rejectParameters = true;
    if (item == "self-test-fails")
        return faults.selfTestFails = true;
    if (item == "not-blank")
        return faults.notBlank = true;
    if (item == "erase-fails")
        return faults.eraseFails = true;
    if (item == "wrong-chip") {  // an ISP chip whose signature matches no device
        faults.signature = std::array<uint8_t, 3>{0x1E, 0xFF, 0xFF};
        return true;
    }

    const auto equals = item.find('=');
    if (equals == std::string_view::npos)
        return false;
    const std::string_view key = item.substr(0, equals);
    const auto value = ParseDecimalOrHex(item.substr(equals + 1));
    if (!value)
        return false;
    if (key == "quiet-after" || key == "silent-after")
        options.silentAfterBytes = *value;
    else if (key == "break-after")
        options.failAfterBytes = *value;
    else if (key == "writes-fail-after")
        options.writesFailAfterBytes = *value;
    else if (key == "corrupt" && *value <= UINT32_MAX)
        faults.corruptAddress = static_cast<uint32_t>(*value);
    else if (key == "latency" && *value <= 60000)
        options.latency = std::chrono::milliseconds(*value);
    else if (key == "lock-ignored" && *value <= 1000)
        faults.lockCommandsIgnored = static_cast<int>(*value);
    else if (key == "self-test-noise" && *value <= 1000)
        faults.selfTestNoise = static_cast<int>(*value);
    else
        return false;
    return true;
}

}  // namespace

std::string ApplySimFaults(std::string_view text, SimulatedLink& link, std::string_view programmer,
                           std::span<const std::string> names) {
    struct Item {
        std::string_view whole;
        std::string_view fault;
        bool ours = true;
    };
    std::vector<Item> items;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        if (comma > start) {
            Item item{text.substr(start, comma - start), text.substr(start, comma - start)};
            if (const std::size_t colon = item.whole.find(':'); colon != std::string_view::npos) {
                const std::string_view name = item.whole.substr(0, colon);
                if (std::find(names.begin(), names.end(), name) == names.end()) {
                    return "KARDO_SIM_FAULTS: \"" + std::string(item.whole) +
                           "\" names no virtual " +
                           "programmer (KARDO_SIM_PROGRAMMERS=N gives SIM1 to SIMN); no fault is " +
                           "switched on.";
                }
                item.fault = item.whole.substr(colon + 1);
                item.ours = name == programmer;
            }
            items.push_back(item);
        }
        start = comma + 1;
    }
    SimulatedLink trial;  // every item is tried first, so a bad text switches nothing on
    for (const Item& item : items) {
        if (!Apply(item.fault, trial)) {
            return "KARDO_SIM_FAULTS: \"" + std::string(item.whole) +
                   "\" is not a fault the virtual programmer knows (silent, wrong-handshake, "
                   "reject-parameters, self-test-fails, wrong-chip, not-blank, erase-fails, "
                   "quiet-after=N, "
                   "break-after=N, writes-fail-after=N, corrupt=ADDRESS, latency=MS, "
                   "lock-ignored=N, self-test-noise=N); no "
                   "fault is switched on.";
        }
    }
    for (const Item& item : items) {
        if (item.ours) {
            Apply(item.fault, link);
        }
    }
    return {};
}

}  // namespace kardo
