// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <string>
#include <vector>

class QButtonGroup;
class QGroupBox;
class QVBoxLayout;
class QWidget;

namespace kardo {

// A configuration sheet's page: check boxes in the left column, groups in the right.
struct SheetColumns {
    QWidget* page;
    QVBoxLayout* boxes;
    QVBoxLayout* groups;
};
SheetColumns MakeSheetPage(const std::string& name);

// A radio group of the configuration sheets: a titled box of buttons numbered by item.
QButtonGroup* MakeItemGroup(QWidget* parent, const std::string& name, const std::string& caption,
                            const std::vector<std::string>& items, QGroupBox*& frame);

// Shows item `index` chosen, or none for -1: a group whose bits match none of its items
// shows no choice.
void ShowChoice(QButtonGroup* group, int index);

}  // namespace kardo
