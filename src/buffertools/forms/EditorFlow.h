// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "app/AppState.h"

class QWidget;

namespace kardo {

class Dialogs;

// The Edit button: the hex editor on the buffer of the selected device, modal; every byte
// typed is in the buffer at once. The main window's checksum is shown again afterwards.
struct EditorWindow {
    QWidget& parent;
    Dialogs& dialogs;
    std::function<void()> refreshChecksum;
};
void RunHexEditor(AppState& state, const EditorWindow& window);

}  // namespace kardo
