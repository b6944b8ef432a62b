// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/RepeatedProgramming.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/PlatformSettings.h"
#include "cli/CliArguments.h"
#include "common/Format.h"
#include "config/SerialNumber.h"
#include "link/Connection.h"
#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

namespace kardo::cli {
namespace {

// The number the next chip gets, where the window takes it from too; only a number that
// a chip has used is ever moved past.
void KeepNextSerialNumber(uint64_t next, Console& console) {
    const std::unique_ptr<SettingsStore> store = MakeSettingsStore();
    if (!store->OpenKey()) {
        return;  // no settings to keep it in: the summary says where the run ended
    }
    std::string error = store->WriteString("SerialNext", std::to_string(next));
    if (const std::string closed = store->CloseKey(); error.empty()) {
        error = closed;
    }
    if (!error.empty()) {
        console.Message("warning: the next serial number was not kept: " + error);
    }
}

// Waits for the user: true for the next chip, false for 'q' or the end of the input.
bool NextChip(Console& console) {
    console.Prompt("Next chip in the socket: Enter programs it, q and Enter stops: ");
    std::string answer;
    for (int c; (c = std::fgetc(stdin)) != EOF && c != '\n';) {
        answer += static_cast<char>(c);
    }
    if (std::feof(stdin) && answer.empty()) {
        return false;
    }
    const std::size_t first = answer.find_first_not_of(" \t\r");
    return first == std::string::npos || (answer[first] != 'q' && answer[first] != 'Q');
}

}  // namespace

int RunRepeated(
    AppState& state, bool serialNumbers, const std::function<void(AppState&)>& open,
    const std::function<OperationOutcome(AppState&, std::optional<std::string>)>& programOne,
    Console& console) {
    if (isatty(0) != 1) {
        throw UsageError(
            "--repeat waits for Enter before each chip: it needs a terminal on standard input");
    }
    open(state);
    std::vector<std::string> failedChips;
    int passed = 0;
    for (int chip = 1;; ++chip) {
        std::optional<std::string> serialLine;
        if (serialNumbers) {
            const SerialInsertion insertion =
                InsertSerialNumber(state.buffer, *state.record, state.serial);
            if (!insertion.written) {
                console.Log(insertion.line);
                failedChips.push_back(Format("chip %d (no serial number)", chip));
                break;
            }
            serialLine = insertion.line;
        }
        const OperationOutcome outcome = programOne(state, serialLine);
        if (outcome.passed) {
            ++passed;
            if (serialNumbers) {
                AdvanceSerialNumber(state.serial);
                KeepNextSerialNumber(state.serial.next, console);
            }
        } else {
            failedChips.push_back(
                outcome.serialNumber
                    ? Format("chip %d (serial number %llu, not used)", chip,
                             static_cast<unsigned long long>(*outcome.serialNumber))
                    : Format("chip %d", chip));
        }
        console.Log(Format(" Chip %d %s", chip, outcome.passed ? "passed" : "FAILED"));
        if (!NextChip(console)) {
            break;
        }
    }
    CloseLink(*state.link);
    console.Log("");
    console.Log(Format(" Programmed: %d passed, %zu failed", passed, failedChips.size()));
    for (const std::string& failed : failedChips) {
        console.Log(" Failed: " + failed);
    }
    if (serialNumbers) {
        console.Log(Format(" Next serial number: %llu",
                           static_cast<unsigned long long>(state.serial.next)));
    }
    return failedChips.empty() ? kExitOk : kExitFailed;
}

}  // namespace kardo::cli
