// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/WindowProductionLog.h"

#include "algorithms/ProductionLog.h"
#include "common/FileBytes.h"
#include "common/Sha256.h"
#include "devicedb/Checksum.h"
#include "devicedb/DeviceDatabase.h"

namespace kardo {
namespace {

std::string ManufacturerOf(const AppState& state) {
    const auto names =
        DeviceDatabase::ListManufacturers(state.DatabasePath(state.selection.Filename));
    const auto index = static_cast<std::size_t>(state.selection.Manuf_index);
    return names && state.selection.Manuf_index >= 0 && index < names->size() ? (*names)[index]
                                                                              : std::string("?");
}

}  // namespace

std::string WriteWindowProductionLine(const AppState& state, char code, bool passed,
                                      int64_t durationMs, std::optional<uint64_t> serialNumber) {
    if (state.ProductionLog.empty() || !state.record) {
        return {};
    }
    ProductionRecord record = NewProductionRecord(state.connection, state.link.get());
    record.device = ManufacturerOf(state) + "/" + state.record->Name();
    record.operation = OperationName(code);
    if ((code == 'P' || code == 'V') && !state.LoadedFile.empty()) {
        record.file = state.LoadedFile.string();
        const FileBytes bytes = ReadFileBytes(state.LoadedFile);
        record.fileSha256 = bytes.ok() ? Sha256Hex(bytes.bytes.data(), bytes.bytes.size()) : "";
    }
    record.checksum = ChecksumText(ComputeChecksum(*state.record, state.buffer));
    record.serialNumber = serialNumber;
    record.passed = passed;
    record.errors = state.errorCount;
    record.durationMs = durationMs;
    return AppendProductionLine(state.ProductionLog, ProductionLine(record));
}

}  // namespace kardo
