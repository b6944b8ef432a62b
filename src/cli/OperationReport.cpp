// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/OperationReport.h"

#include "algorithms/ProductionLog.h"
#include "app/PlatformSettings.h"
#include "cli/CliArguments.h"
#include "common/Format.h"
#include "common/JsonText.h"

namespace kardo::cli {

std::string OperationJson(const OperationOutcome& o) {
    JsonObject object;
    if (!o.programmer.empty()) {
        object.Add("programmer", o.programmer);
    }
    object.Add("device", o.device).Add("operation", OperationName(o.code));
    if (!o.file.empty()) {
        object.Add("file", o.file);
    }
    if (o.serialNumber) {
        object.Add("serial", static_cast<int64_t>(*o.serialNumber));
    }
    object.Add("result", o.passed ? "passed" : "failed")
        .Add("errors", int64_t{o.errors})
        .Add("checksum", o.checksum)
        .Add("duration_ms", o.durationMs)
        .Add("log", o.log);
    if (!o.problem.empty()) {
        object.Add("problem", o.problem);
    }
    return object.Text();
}

void WriteProductionLog(const std::filesystem::path& logFile, const OperationOutcome& o,
                        const AppState& state) {
    ProductionRecord record = NewProductionRecord(state.connection, state.link.get());
    record.device = o.device;
    record.operation = OperationName(o.code);
    record.file = o.file;
    record.fileSha256 = o.fileSha256;
    record.checksum = o.checksum;
    record.serialNumber = o.serialNumber;
    record.passed = o.passed;
    record.errors = o.errors;
    record.durationMs = o.durationMs;
    if (const std::string error = AppendProductionLine(logFile, ProductionLine(record));
        !error.empty()) {
        throw CommandFailed("cannot write the production log " + logFile.string() + ": " + error);
    }
}

std::filesystem::path ProductionLogFile(const std::optional<std::string>& option) {
    if (option) {
        return *option;
    }
    const std::unique_ptr<SettingsStore> store = MakeSettingsStore();
    std::string file;
    if (store->OpenKey()) {
        if (const auto read = store->ReadString("ProductionLog"); read.ok()) {
            file = read.value;
        }
        store->CloseKey();
    }
    return file;
}

std::string SignatureAdvice(const std::optional<std::array<uint8_t, 3>>& found,
                            const DeviceRecord& record, const std::string& device) {
    if (!found) {
        return {};
    }
    return Format(
        "the chip's signature is %.2X %.2X %.2X; %s has %.2X %.2X %.2X. Check that the chip is "
        "that part and sits right; --id-check off runs the operation without this check",
        (*found)[0], (*found)[1], (*found)[2], device.c_str(), unsigned{record.ManufId()},
        unsigned{record.DeviceId()}, unsigned{record.DeviceId2()});
}

}  // namespace kardo::cli
