// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/FileLoader.h"

#include <optional>

#include "common/FileBytes.h"
#include "common/Format.h"
#include "common/HexText.h"
#include "fileio/JedecReader.h"
#include "fileio/LoadBuffer.h"
#include "fileio/LoadSession.h"
#include "fileio/PicAreaMap.h"
#include "fileio/RecordReaders.h"

namespace kardo {
namespace {

const char* FailureLine(uint8_t code) {
    switch (code) {
        case load::ChecksumError:
            return " Checksum Error ";
        case load::NotIntelHex:
            return " Not Intel Hex Format";
        case load::NotMotorola:
            return " Not Motorola S-record format";
        case load::NotInh8m:
            return " Not INH8M format";
        case load::NotInx16:
            return " Not INX16 format";
        case load::OutsideBuffer:
            return " File doesn't fit in allocated buffer";
        default:
            return nullptr;
    }
}

void ReportSuccess(const LoadRequest& request, const DeviceBuffer& buffer, uint8_t missing,
                   bool bigger, FileIoHost& host) {
    const char family = request.record.Family();
    host.AppendLine("");
    host.AppendLine(" File " + request.file.string() + " Loaded");
    if (family != 'C' && family != 'P') {
        host.AppendLine(Format(" Highest Load Address : %zX", buffer.HighestWritten));
        host.AppendLine(Format(" Lowest Load Address  : %zX", buffer.LowestWritten));
    }
    if (missing & area::Data)
        host.AppendLine(" WARNING not present in file : DATA");
    if (missing & area::Config)
        host.AppendLine(" WARNING not present in file : CONFIG");
    if (missing & area::Id)
        host.AppendLine(" WARNING not present in file : ID");
    if (bigger && family != 'C' && !request.oddEven) {
        host.AppendLine(" File bigger than selected device");
    }
}

}  // namespace

uint8_t LoadFile(const LoadRequest& request, DeviceBuffer& buffer, FileIoHost& host) {
    const FileBytes file = ReadFileBytes(request.file, kLargestDataFile);
    if (!file.ok()) {
        host.ShowMessage("File ERROR", FileIoHost::Icon::Warning);
        return load::ReadFailure;
    }
    return LoadFileBytes(file.bytes, request, buffer, host);
}

uint8_t LoadFileBytes(const std::vector<uint8_t>& bytes, const LoadRequest& request,
                      DeviceBuffer& buffer, FileIoHost& host) {
    const DeviceRecord& record = request.record;
    const LoadSizes sizes = LoadSizesFor(record, request.oddEven);
    PrepareLoadBuffer(buffer, record, sizes.bufferSize, request.settings.fill);

    PicPlacement placement;
    placement.variant = record.Variant();
    placement.configCode = record.ConfigCode();
    uint8_t missing = 0;
    if (record.Family() == 'C') {
        placement.bytes = PicAreaMapFor(record);
        placement.areas = request.settings.format == format::Inx16 ? Inx16AreasFor(record)
                                                                   : Inh8mAreasFor(record);
        missing = placement.bytes->missingPreset;
    }

    host.OpenProgress(" Loading File.......");
    LoadSession session(bytes, buffer, sizes, [&host](int percent) { host.SetProgress(percent); });
    const int64_t offset = request.settings.offset;
    uint8_t result = load::Ok;
    switch (request.settings.format) {
        case format::IntelHex:
            result = ReadIntelHex(session, offset);
            break;
        case format::Motorola:
            result = ReadMotorola(session, offset);
            break;
        case format::Binary:
            result = session.StoreAll(offset) ? load::Ok : session.Failure();
            break;
        case format::Inh8m:
            result = ReadInh8m(session, placement, missing);
            break;
        case format::Inx16:
            result = ReadInx16(session, placement, missing);
            break;
        case format::Jedec:
            result = ReadJedec(bytes, record, buffer, host);
            break;
        default:
            result = load::ReadFailure;
            break;
    }

    session.Finish();
    switch (result) {
        case load::Ok:
            ReportSuccess(request, buffer, missing, session.BiggerThanDevice(), host);
            break;
        case load::NotThisFormat:
            host.AppendLine(" ");
            host.AppendLine(request.settings.format == format::Motorola
                                ? " File isn't a motorola file"
                                : " File isn't a hex file");
            break;
        case load::NotHexadecimal:
            host.ShowMessage(NotAnIntegerText(session.BadField()), FileIoHost::Icon::Error);
            break;
        case load::ReadFailure:
            if (request.settings.format != format::Jedec) {
                host.ShowMessage("File ERROR", FileIoHost::Icon::Warning);
            }
            host.PlayFailure();
            break;
        default:
            host.AppendLine(FailureLine(result));
            host.PlayFailure();
            break;
    }
    host.CloseProgress();
    return result;
}

}  // namespace kardo
