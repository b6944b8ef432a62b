// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kardo {

// Client area of the main window. The twelve speed buttons of the top row take 802
// pixels at their sizes, so the window is a little wider than 790 to show all of them.
inline constexpr int kMainWindowWidth = 806;
inline constexpr int kMainWindowHeight = 534;

// Where the resize rule puts the log, the panels and the two buttons, for a window of
// outer width w and height h whose button row starts at buttonRowTop.
struct MainWindowLayout {
    int memoTop, memoWidth, memoHeight;
    int panelWidth, panel1Top, panel2Top;
    int buttonsTop, reconnectLeft;
};

MainWindowLayout LayoutFor(int w, int h, int buttonRowTop);

// Screens smaller than 800 x 600 get a warning at start.
bool NeedsResolutionWarning(int screenWidth, int screenHeight);

// Top-left corner of the main window: (1, 1) on screens smaller than 1024 x 768,
// centred otherwise.
struct WindowOrigin {
    int left, top;
};
WindowOrigin PlaceMainWindow(int screenWidth, int screenHeight, int windowWidth, int windowHeight);

}  // namespace kardo
