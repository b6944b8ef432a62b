// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindowLayout.h"

namespace kardo {

MainWindowLayout LayoutFor(int w, int h, int buttonRowTop) {
    MainWindowLayout l{};
    l.memoWidth = w - 19;
    l.memoTop = buttonRowTop + 57;
    l.panelWidth = w - 19;
    l.reconnectLeft = w - 100;
    l.panel2Top = h - 141;
    l.panel1Top = h - 221;
    l.buttonsTop = h - 53;
    l.memoHeight = l.panel1Top - l.memoTop;
    return l;
}

bool NeedsResolutionWarning(int screenWidth, int screenHeight) {
    return screenHeight < 600 || screenWidth < 800;
}

WindowOrigin PlaceMainWindow(int screenWidth, int screenHeight, int windowWidth,
                             int windowHeight) {
    if (screenHeight < 768 || screenWidth < 1024) {
        return {1, 1};
    }
    return {(screenWidth - windowWidth) / 2, (screenHeight - windowHeight) / 2};
}

}  // namespace kardo
