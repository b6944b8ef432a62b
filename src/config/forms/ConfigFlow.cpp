#include "config/forms/ConfigFlow.h"

#include "common/forms/Dialogs.h"
#include "config/ConfigSheetModel.h"
#include "config/forms/TfrmConfig.h"

namespace kardo {

void RunConfigDialog(AppState& state, const ConfigWindow& window) {
    // PICs have a configuration dialog of their own.
    if (!state.record || state.record->Family() == 'C') {
        return;
    }
    ConfigSheetModel model(*state.record, state.configBits);
    model.Open();
    TfrmConfig form(model, &window.parent);
    window.dialogs.Run(form);
    window.refreshChecksum();
}

}  // namespace kardo
