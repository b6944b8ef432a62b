// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QLabel>

#include "common/PictureLoader.h"

namespace kardo {

// The decoded picture as Qt shows it (a copy: the image owns its pixels).
QImage ToQImage(const RgbImage& image);

// A picture control: the picture at its own size, or, when there is none, the reason
// in its place, so that the dialog still opens and says what is missing.
QLabel* MakePictureLabel(const Picture& picture, const char* name, QWidget* parent);

}  // namespace kardo
