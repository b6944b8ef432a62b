// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <initializer_list>

class QBoxLayout;
class QWidget;

namespace kardo {

// A pin's name in the colour its marks have in the pictures.
struct PinLabel {
    const char* text;
    QColor colour;
};

inline const PinLabel kVccPin{"VCC", QColor("red")};
inline const PinLabel kVppPin{"VPP", QColor("yellow")};
inline const PinLabel kClkPin{"CLK", QColor("blue")};
inline const PinLabel kDataPin{"DATA/MOSI", QColor("white")};
inline const PinLabel kMisoPin{"MISO", QColor("navy")};
inline const PinLabel kRstPin{"RST", QColor("green")};
inline const PinLabel kGndPin{"GND", QColor("black")};

// The labels, one below the other, named "Pin" and their text ("PinDATA/MOSI").
void AddPinLabels(QBoxLayout& column, QWidget* parent, std::initializer_list<PinLabel> pins);

}  // namespace kardo
