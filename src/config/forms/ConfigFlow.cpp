// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/forms/ConfigFlow.h"

#include "common/forms/Dialogs.h"
#include "config/ConfigSheetModel.h"
#include "config/PicConfigModel.h"
#include "config/forms/TfrmConfig.h"
#include "config/forms/TfrmPicConfig.h"

namespace kardo {

void RunConfigDialog(AppState& state, const ConfigWindow& window) {
    if (!state.record) {
        return;
    }
    // A PIC's configuration words and ID locations are bytes of the buffer; every other
    // part's fuse and lock bytes are ConfigBits.
    if (state.record->Family() == 'C') {
        PicConfigModel model(*state.record, state.buffer);
        model.Open();
        TfrmPicConfig form(model, window.dialogs, &window.parent);
        window.dialogs.Run(form);
    } else {
        ConfigSheetModel model(*state.record, state.configBits);
        model.Open();
        TfrmConfig form(model, &window.parent);
        window.dialogs.Run(form);
    }
    window.refreshChecksum();
}

}  // namespace kardo
