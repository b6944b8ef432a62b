// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/OperationOptions.h"

#include <array>

#include "app/PlatformSettings.h"
#include "app/Settings.h"
#include "common/Format.h"
#include "config/SerialNumber.h"

namespace kardo::cli {
namespace {

// The parts whose Program ends with the fuse step.
bool WritesFuses(const DeviceRecord& record) {
    return record.Family() == 'M' && (record.Variant() == 30 || record.Variant() == 32);
}

ConfigBits FusesFrom(const std::string& text, ConfigBits bits) {
    std::array<uint8_t*, 4> into{&bits.FuseLow, &bits.FuseHigh, &bits.FuseExt, &bits.LockBits};
    std::size_t start = 0;
    for (std::size_t i = 0; i < into.size(); ++i) {
        const std::size_t colon = text.find(':', start);
        const bool last = i + 1 == into.size();
        if (last != (colon == std::string::npos)) {
            throw UsageError("--fuses \"" + text + "\" is not LOW:HIGH:EXT:LOCK");
        }
        const uint64_t value =
            ParseHex(text.substr(start, last ? std::string::npos : colon - start), "--fuses byte");
        if (value > 0xFF) {
            throw UsageError("--fuses \"" + text + "\": each byte is 00 to FF");
        }
        *into[i] = static_cast<uint8_t>(value);
        start = colon + 1;
    }
    return bits;
}

// The layout of the serial numbers (digits, address, base, order) as the window keeps it;
// only the number itself comes from the command line, and nothing is written back.
SerialNumberSettings SerialLayout() {
    SerialNumberSettings serial;
    const std::unique_ptr<SettingsStore> store = MakeSettingsStore();
    if (store->OpenKey()) {
        ReadSerialValues(*store, serial);
        store->CloseKey();
    }
    return serial;
}

}  // namespace

std::optional<std::string> ApplyOperationOptions(AppState& state, const Invocation& invocation,
                                                 char code, bool fusesFromFile) {
    const DeviceRecord& record = *state.record;
    if (const auto steps = invocation.Option("--steps")) {
        const uint64_t mask = ParseHex(*steps, "--steps");
        if (mask > 0xFF) {
            throw UsageError("--steps " + *steps + " is more than one byte");
        }
        // A step the device does not have would run all the same: a lock-bit step of a
        // read writes its byte over the code read.
        if (const uint8_t offered = record.ProgStepMask(); (mask & ~uint64_t{offered}) != 0) {
            throw UsageError(Format("--steps %s: %s offers only the steps %.2X", steps->c_str(),
                                    record.Name().c_str(), unsigned{offered}));
        }
        state.ProgBits = static_cast<uint8_t>(mask);
    }
    if (const auto check = invocation.Option("--id-check")) {
        if (*check != "on" && *check != "off") {
            throw UsageError("--id-check \"" + *check + "\" is not on or off");
        }
        state.options.Id_flag = *check == "on";
    }
    const auto fuses = invocation.Option("--fuses");
    if (fuses) {
        state.configBits = FusesFrom(*fuses, state.configBits);
    }
    if (code == 'P' && WritesFuses(record) && !fuses && !fusesFromFile) {
        throw UsageError("programming " + record.Name() +
                         " writes its fuse and lock bytes after the code: give them with "
                         "--fuses LOW:HIGH:EXT:LOCK or in the ELF file's .fuse and .lock "
                         "sections");
    }
    const auto number = invocation.Option("--serial");
    if (!number) {
        return std::nullopt;
    }
    if (code != 'P') {
        throw UsageError("--serial goes with program only");
    }
    state.serial = SerialLayout();
    state.serial.enabled = true;
    state.serial.next = ParseNumber(*number, "--serial");
    if (!WritesSerialNumber(record, state.serial)) {
        throw UsageError(record.Name() + " does not take serial numbers");
    }
    const SerialInsertion insertion = InsertSerialNumber(state.buffer, record, state.serial);
    if (!insertion.written) {
        throw CommandFailed(insertion.line);
    }
    return insertion.line;
}

}  // namespace kardo::cli
