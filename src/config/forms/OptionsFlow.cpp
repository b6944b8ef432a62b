// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/forms/OptionsFlow.h"

#include "common/forms/Dialogs.h"
#include "config/OptionSheet.h"
#include "config/forms/TfrmOption.h"

namespace kardo {

void RunOptionsDialog(AppState& state, const OptionsWindow& window) {
    if (!state.record) {
        return;
    }
    const DeviceRecord& record = *state.record;
    OptionSheet sheet(record, state.connection.HardwareModel, window.eraseButtonEnabled,
                      OptionTargets{state.ProgBits, state.options, state.SoundON, state.serial,
                                    [&state, &record, &window] {
                                        AllocateOddEvenBuffer(state.buffer, record);
                                        window.refreshChecksum();
                                    }});
    sheet.Open();
    TfrmOption form(sheet, state.serial, window.dialogs, &window.parent);
    window.dialogs.Run(form);
}

}  // namespace kardo
