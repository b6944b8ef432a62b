// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/forms/PinLabels.h"

#include <QBoxLayout>
#include <QLabel>

namespace kardo {

void AddPinLabels(QBoxLayout& column, QWidget* parent, std::initializer_list<PinLabel> pins) {
    for (const PinLabel& pin : pins) {
        auto* label = new QLabel(pin.text, parent);
        label->setObjectName(QString("Pin") + pin.text);
        // A mid grey behind the names keeps white and yellow as readable as navy and black.
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, pin.colour);
        palette.setColor(QPalette::Window, QColor(0x90, 0x90, 0x90));
        label->setPalette(palette);
        label->setAutoFillBackground(true);
        label->setMargin(2);
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
        column.addWidget(label);
    }
    column.addStretch();
}

}  // namespace kardo
