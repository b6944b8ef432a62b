// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/forms/SelectionFlow.h"

#include <QApplication>

#include "app/Selection.h"
#include "app/forms/WindowText.h"
#include "common/MessageCatalogue.h"
#include "common/forms/Dialogs.h"
#include "devicedb/DeviceNotes.h"
#include "devicedb/forms/TfrmSelectDevice.h"
#include "link/Protocol.h"

namespace kardo {

void SelectionFlow::Run() {
    state_.errorCount = 0;
    if ((state_.DatabaseFlags & kAnyDatabaseMask) == 0) {
        window_.dialogs.ShowMessage(&window_.parent, " No Device Files Found ", "",
                                    Dialogs::Icon::Error);
        return;
    }
    const SelectionState before = state_.selection;
    bool confirmed = false;
    std::string manufacturer, device;
    {
        TfrmSelectDevice dialog({state_.selection.Filename, state_.selection.Manuf_index,
                                 state_.selection.Device_index, state_.selection.Device_name},
                                state_.DatabaseFlags, state_.DefaultDir, window_.dialogs,
                                &window_.parent);
        window_.dialogs.Run(dialog);
        confirmed = dialog.Confirmed() && !dialog.SelectCancelled();
        manufacturer = dialog.ManufacturerName();
        device = dialog.DeviceName();
    }
    if (!confirmed || !ConfirmSelection(manufacturer, device)) {
        return;
    }
    QApplication::processEvents();

    if (state_.connection.LinkState == 1) {
        // The file counts as well: the first device of each file sits at the same indexes.
        const SelectionState& now = state_.selection;
        const bool differentDevice = now.Filename != before.Filename ||
                                     now.Manuf_index != before.Manuf_index ||
                                     now.Device_index != before.Device_index;
        UploadSelection(differentDevice);
    }
    if (state_.record->Family() == 'C') {
        state_.ProgBits = kPicSelectionSteps;
    }
}

// Loads the confirmed record and gives it a buffer. A record the file cannot supply, or
// one asking for an impossible buffer, is refused with a message and the device selected
// before stays as it was.
bool SelectionFlow::ConfirmSelection(const std::string& manufacturer, const std::string& device) {
    const auto file = state_.DatabasePath(state_.selection.Filename);
    const auto lookup = DeviceDatabase::LoadRecord(file, state_.selection.Manuf_index,
                                                   state_.selection.Device_index);
    using Status = DeviceDatabase::RecordLookup::Status;
    if (lookup.status == Status::FileMissing) {
        window_.dialogs.ShowMessage(&window_.parent,
                                    QString::fromStdString(state_.selection.Filename),
                                    " File Not Found ", Dialogs::Icon::Error);
        return false;
    }
    if (lookup.status != Status::Ok) {
        const QString file = QString::fromStdString(state_.selection.Filename);
        window_.dialogs.ShowMessage(
            &window_.parent,
            lookup.status == Status::Truncated
                ? QString("The record of %1 is cut short in %2").arg(WindowText(device), file)
                : QString("%1 is no longer listed in %2").arg(WindowText(device), file),
            "Device Database", Dialogs::Icon::Error);
        return false;
    }
    const auto size = BufferSizeFor(lookup.record);
    if (!size) {
        window_.dialogs.ShowMessage(
            &window_.parent,
            QString("%1 gives a device size (LastAddress 0x%2) that no buffer can hold")
                .arg(WindowText(device))
                .arg(static_cast<uint32_t>(lookup.record.LastAddress()), 0, 16),
            "Device Database", Dialogs::Icon::Error);
        return false;
    }

    window_.clearLog();
    window_.log(" Selected : " + manufacturer + "  " + device);
    state_.record = lookup.record;
    state_.buffer.Allocate(*size);
    if (window_.deviceSelected) {
        window_.deviceSelected(*state_.record);
    }
    ShowDeviceInfo(manufacturer, device);

    const char family = state_.record->Family();
    if (family == 'C') {
        window_.log(" ***  Select Programming Options : Prog / ID / Data / Config in OPTIONS ***");
        window_.play(Sound::Notify);
    } else if (family == 'M') {
        window_.log(" ***  Select Programming Options : Code Area / Lockbits in OPTIONS ***");
        window_.play(Sound::Notify);
    }
    if (state_.connection.HardwareModel == kModelFirstGeneration &&
        (family == 'C' || family == 'E')) {
        window_.dialogs.ShowJumperSet(
            &window_.parent,
            state_.DefaultDir / (family == 'C' ? "Pic_Jumper.JPG" : "EE_Jumper.JPG"));
    }
    if (family == 'M') {
        window_.dialogs.ShowIspHeader(&window_.parent);
    }
    return true;
}

void SelectionFlow::ShowDeviceInfo(const std::string& manufacturer, const std::string& device) {
    const DeviceInfoTexts info = DeviceInfoFor(*state_.record);
    window_.setLabel("ManuL", manufacturer);
    window_.setLabel("DevL", device);
    window_.setLabel("ManIDL", info.ManIDL);
    window_.setLabel("DevIDL", info.DevIDL);
    window_.setLabel("DevIDL2", info.DevIDL2);
    window_.setLabel("SizeL", info.SizeL);
    window_.setLabel("VccL", info.VccL);
    window_.setLabel("VppL", info.VppL);
    window_.setLabel("AdapL", info.AdapL);
    window_.setLabel("ComL", info.ComL);
}

void SelectionFlow::UploadSelection(bool differentDevice) {
    window_.lockForUpload();
    ProgrammerLink& link = *state_.link;
    link.Purge(kPurgeRxTx);
    if (SendParameters(link, *state_.record)) {
        if (state_.running) {
            window_.log(ResultLine(report::ParametersSent, state_.record->Name()));
        }
    } else {
        ++state_.errorCount;
    }
    PrepareSelectedDevice(state_, differentDevice);
    window_.refreshChecksum();
    window_.applyButtonMasks();
}

}  // namespace kardo
