// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/Connection.h"

#include "common/Format.h"
#include "link/Protocol.h"

namespace kardo {
namespace {

void QueryAndLog(ProgrammerLink& link, ConnectionState& state, LogSink& log) {
    link.Purge(kPurgeRxTx);
    state.FirmwareVersion = QueryFirmware(link);
    state.HardwareModel =
        state.FirmwareVersion > 1 ? kModelSecondGeneration : kModelFirstGeneration;
    log.AppendLine(" ");
    log.AppendLine(" Q6K USB ");
    log.AppendLine(Format(" Firmware Version: %u", state.FirmwareVersion));
    log.AppendLine(Format(" Software Version: %.3f", kSoftwareRevision / 1000.0));
}

void LogNoProgrammer(LogSink& log) {
    log.AppendLine(" ");
    log.AppendLine(" **** NO PROGRAMMER FOUND ****");
    log.AppendLine(" **** System in Q6KUSB DEMO mode  ****");
}

// With a programmer: its version and model; without: demonstration mode, and the model
// that stands for "none" at this point.
void LogConnection(ProgrammerLink& link, ConnectionState& state, LogSink& log,
                   uint8_t modelWithout) {
    if (state.LinkState == 1) {
        QueryAndLog(link, state, log);
    } else {
        LogNoProgrammer(log);
        state.HardwareModel = modelWithout;
    }
    link.Purge(kPurgeRxTx);
}

}  // namespace

void OpenLink(ProgrammerLink& link, ConnectionState& state, LogSink& log) {
    if (link.OpenEx(kProgrammerDescription) == kLinkOk) {
        link.ResetDevice();
        state.LinkState = 1;
    }
    LogConnection(link, state, log, kModelFirstGeneration);
}

void ReopenLink(ProgrammerLink& link, ConnectionState& state, LogSink& log) {
    link.Close();
    state.LinkState = link.OpenEx(kProgrammerDescription) == kLinkOk ? 1 : 0;
    LogConnection(link, state, log, kModelNotFoundOnReconnect);
}

void CloseLink(ProgrammerLink& link) { link.Close(); }

}  // namespace kardo
