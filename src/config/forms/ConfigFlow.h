// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "app/AppState.h"

class QWidget;

namespace kardo {

class Dialogs;

// The Config button: the configuration sheets of the selected device, modal; every
// click is stored at once, in the buffer for a PIC and in ConfigBits for the others.
// The checksum display is brought up to date afterwards.
struct ConfigWindow {
    QWidget& parent;
    Dialogs& dialogs;
    std::function<void()> refreshChecksum;
};
void RunConfigDialog(AppState& state, const ConfigWindow& window);

}  // namespace kardo
