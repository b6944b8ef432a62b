#pragma once

#include <functional>

#include "app/AppState.h"

class QWidget;

namespace kardo {

class Dialogs;

// The Config button for every part but a PIC: the configuration sheets of the selected
// device, modal; every click changes ConfigBits at once. The checksum display is
// brought up to date afterwards.
struct ConfigWindow {
    QWidget& parent;
    Dialogs& dialogs;
    std::function<void()> refreshChecksum;
};
void RunConfigDialog(AppState& state, const ConfigWindow& window);

}  // namespace kardo
