// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "app/AppState.h"

class QWidget;

namespace kardo {

class Dialogs;

// The Options button: the options dialog for the selected device, modal, every choice
// made at once in the program's state. Turning on "Odd && Even programming" makes the
// buffer the image of the pair and shows its checksum.
struct OptionsWindow {
    QWidget& parent;
    Dialogs& dialogs;
    bool eraseButtonEnabled;
    std::function<void()> refreshChecksum;
};
void RunOptionsDialog(AppState& state, const OptionsWindow& window);

}  // namespace kardo
