#pragma once

#include <QString>
#include <string>
#include <vector>

class QButtonGroup;
class QGroupBox;
class QWidget;

namespace kardo {

// A radio group of the configuration sheets: a titled box of buttons numbered by item.
QButtonGroup* MakeItemGroup(QWidget* parent, const std::string& name, const std::string& caption,
                            const std::vector<std::string>& items, QGroupBox*& frame);

// Shows item `index` chosen, or none for -1: a group whose bits match none of its items
// shows no choice.
void ShowChoice(QButtonGroup* group, int index);

}  // namespace kardo
