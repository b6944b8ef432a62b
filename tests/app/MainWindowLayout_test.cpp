// SPDX-License-Identifier: GPL-3.0-or-later
// The resize rule and the start-up screen checks of the main window.
#include "app/MainWindowLayout.h"

#include <gtest/gtest.h>

namespace kardo {
namespace {

TEST(MainWindowLayout, ResizeRule) {
    const MainWindowLayout l = LayoutFor(806, 573, 2);
    EXPECT_EQ(l.memoWidth, 787);
    EXPECT_EQ(l.panelWidth, 787);
    EXPECT_EQ(l.memoTop, 59);
    EXPECT_EQ(l.reconnectLeft, 706);
    EXPECT_EQ(l.panel2Top, 432);
    EXPECT_EQ(l.panel1Top, 352);
    EXPECT_EQ(l.buttonsTop, 520);
    EXPECT_EQ(l.memoHeight, 352 - 59);
}

TEST(MainWindowLayout, ScreenChecks) {
    EXPECT_FALSE(NeedsResolutionWarning(800, 600));
    EXPECT_TRUE(NeedsResolutionWarning(799, 600));
    EXPECT_TRUE(NeedsResolutionWarning(800, 599));

    const WindowOrigin centred = PlaceMainWindow(1024, 768, 806, 534);
    EXPECT_EQ(centred.left, (1024 - 806) / 2);
    EXPECT_EQ(centred.top, (768 - 534) / 2);
    const WindowOrigin corner = PlaceMainWindow(1023, 768, 806, 534);
    EXPECT_EQ(corner.left, 1);
    EXPECT_EQ(corner.top, 1);
    EXPECT_EQ(PlaceMainWindow(1920, 767, 806, 534).left, 1);
}

}  // namespace
}  // namespace kardo
