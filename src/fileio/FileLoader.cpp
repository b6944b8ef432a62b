// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/FileLoader.h"

#include <functional>
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

namespace {

// Reads the records of one file into the session; returns the result code (load::).
using RecordReader = std::function<uint8_t(LoadSession&, const PicPlacement&, uint8_t& missing)>;

// What every load shares: the buffer re-created and filled, the progress window, and
// the report of the outcome.
uint8_t RunLoad(const std::vector<uint8_t>& bytes, const LoadRequest& request, DeviceBuffer& buffer,
                FileIoHost& host, const RecordReader& read) {
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
    const uint8_t result = read(session, placement, missing);

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

// Stores bytes from `at` on, as the records of a file would.
bool StoreRun(LoadSession& session, int64_t at, const std::vector<uint8_t>& bytes) {
    for (const uint8_t b : bytes) {
        if (!session.Store(at++, b))
            return false;
    }
    session.ShowProgress(at);
    return true;
}

}  // namespace

uint8_t LoadFileBytes(const std::vector<uint8_t>& bytes, const LoadRequest& request,
                      DeviceBuffer& buffer, FileIoHost& host) {
    const int64_t offset = request.settings.offset;
    const auto read = [&](LoadSession& session, const PicPlacement& placement,
                          uint8_t& missing) -> uint8_t {
        switch (request.settings.format) {
            case format::IntelHex:
                return ReadIntelHex(session, offset);
            case format::Motorola:
                return ReadMotorola(session, offset);
            case format::Binary:
                return session.StoreAll(offset) ? load::Ok : session.Failure();
            case format::Inh8m:
                return ReadInh8m(session, placement, missing);
            case format::Inx16:
                return ReadInx16(session, placement, missing);
            case format::Jedec:
                return ReadJedec(bytes, request.record, buffer, host);
            default:
                return load::ReadFailure;
        }
    };
    return RunLoad(bytes, request, buffer, host, read);
}

uint8_t LoadElfImage(const ElfImage& image, const LoadRequest& request, DeviceBuffer& buffer,
                     FileIoHost& host) {
    const int64_t offset = request.settings.offset;
    // The data EEPROM follows the device's code in the buffer.
    const int64_t eeprom = static_cast<int64_t>(request.record.Size()) + offset;
    const auto read = [&](LoadSession& session, const PicPlacement&, uint8_t&) -> uint8_t {
        for (const auto& chunk : image.code) {
            if (!StoreRun(session, static_cast<int64_t>(chunk.address) + offset, chunk.bytes))
                return session.Failure();
        }
        for (const auto& chunk : image.eeprom) {
            if (!StoreRun(session, eeprom + static_cast<int64_t>(chunk.address), chunk.bytes))
                return session.Failure();
        }
        return load::Ok;
    };
    return RunLoad({}, request, buffer, host, read);
}

}  // namespace kardo
