// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace kardo {

// A dialog takes the look of the window it was opened from: its font (the main window's
// fixed-pitch font) and its colours (the main window's grey), for the form and every
// control on it. A dialog is a window of its own, which Qt gives the application's look
// rather than its parent's.
inline void TakeLookOf(QWidget& dialog, const QWidget* from) {
    if (from != nullptr) {
        dialog.setPalette(from->palette());
        dialog.setFont(from->font());
    }
}

}  // namespace kardo
