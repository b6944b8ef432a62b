// SPDX-License-Identifier: GPL-3.0-or-later
#include "buffertools/forms/EditorFlow.h"

#include "buffertools/EditorRange.h"
#include "buffertools/HexEditorModel.h"
#include "buffertools/forms/THexEditor.h"
#include "common/forms/Dialogs.h"
#include "devicedb/Checksum.h"

namespace kardo {

void RunHexEditor(AppState& state, const EditorWindow& window) {
    if (!state.record) {
        return;
    }
    const DeviceRecord& record = *state.record;
    HexEditorModel model(state.buffer,
                         EditorRange(record, state.options.OddEven, state.buffer.BufferSize()));
    THexEditor editor(
        model, record, [&state, &record] { return ComputeChecksum(record, state.buffer); },
        window.dialogs, &window.parent);
    window.dialogs.Run(editor);
    window.refreshChecksum();
}

}  // namespace kardo
