// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/FileWriter.h"

#include "common/Format.h"
#include "common/SafeWrite.h"
#include "fileio/JedecWriter.h"
#include "fileio/LoadBuffer.h"
#include "fileio/SaveRenderers.h"

namespace kardo {
namespace {

bool SavesARange(char family) {
    return family != 'C' && family != 'P';
}

}  // namespace

std::string SaveRangeProblem(const SaveRequest& request, const DeviceBuffer& buffer) {
    if (request.record.Family() == 'C' && request.format == format::Inx16) {
        return Inx16Problem(request.record);
    }
    if (!SavesARange(request.record.Family())) {
        return {};
    }
    if (request.start > request.stop) {
        return Format("The start 0x%X lies above the stop 0x%X: nothing to save.", request.start,
                      request.stop);
    }
    if (request.stop >= buffer.BufferSize()) {
        return Format("The stop 0x%X lies beyond the buffer, which ends at 0x%zX.", request.stop,
                      buffer.BufferSize() - 1);
    }
    return {};
}

std::string RenderSaveFile(const SaveRequest& request, const DeviceBuffer& buffer,
                           const std::function<void(int percent)>& progress) {
    const DeviceRecord& record = request.record;
    const int64_t capacity = LoadSizesFor(record, request.oddEven).capacity;
    SaveProgress shown(capacity, progress);
    std::string out;
    // Text formats take a little over two characters a byte.
    out.reserve(static_cast<std::size_t>(
        record.Family() == 'C' ? 0x40000 : uint64_t{request.stop - request.start} * 5 / 2 + 64));
    switch (request.format) {
        case format::IntelHex:
            RenderIntelHex(out, buffer, request.start, request.stop, capacity, shown);
            break;
        case format::Motorola:
            RenderMotorola(out, buffer, request.start, request.stop, shown);
            break;
        case format::Binary:
            out.assign(reinterpret_cast<const char*>(buffer.data()) + request.start,
                       request.stop - request.start + 1);
            shown.At(request.stop + 1);
            break;
        case format::Inh8m:
            RenderInh8m(out, buffer, record, shown);
            break;
        case format::Inx16:
            RenderInx16(out, buffer, record, shown);
            break;
        case format::Jedec:
            RenderJedec(out, buffer, record);
            break;
        default:
            break;
    }
    return out;
}

SaveOutcome SaveFile(const SaveRequest& request, const DeviceBuffer& buffer, FileIoHost& host) {
    if (const std::string problem = SaveRangeProblem(request, buffer); !problem.empty()) {
        host.ShowMessage(problem, FileIoHost::Icon::Error);
        return {1, {}};
    }
    host.OpenProgress(" Saving File.......");
    const std::string text =
        RenderSaveFile(request, buffer, [&host](int percent) { host.SetProgress(percent); });
    std::string failure = WriteFileSafely(request.file, text);
    host.CloseProgress();
    if (!failure.empty()) {
        host.ShowMessage("File ERROR", FileIoHost::Icon::Warning);
        return {1, std::move(failure)};
    }
    return {};
}

}  // namespace kardo
