// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/forms/ItemGroups.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kardo {

SheetColumns MakeSheetPage(const std::string& name) {
    auto* page = new QWidget;
    page->setObjectName(QString::fromStdString(name));
    auto* columns = new QHBoxLayout(page);
    auto* boxes = new QVBoxLayout;
    auto* groups = new QVBoxLayout;
    columns->addLayout(boxes);
    columns->addLayout(groups);
    return {page, boxes, groups};
}

QButtonGroup* MakeItemGroup(QWidget* parent, const std::string& name, const std::string& caption,
                            const std::vector<std::string>& items, QGroupBox*& frame) {
    frame = new QGroupBox(QString::fromStdString(caption), parent);
    frame->setObjectName(QString::fromStdString(name));
    auto* buttons = new QButtonGroup(frame);
    auto* layout = new QVBoxLayout(frame);
    for (std::size_t i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(QString::fromStdString(items[i]), frame);
        buttons->addButton(button, static_cast<int>(i));
        layout->addWidget(button);
    }
    return buttons;
}

void ShowChoice(QButtonGroup* group, int index) {
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) {
        button->setChecked(group->id(button) == index);
    }
    group->setExclusive(true);
}

}  // namespace kardo
