// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QListWidget>
#include <QRadioButton>
#include <QStringList>
#include <QTest>

namespace kardo::test {

// What a user does with the mouse, on real widgets.
inline void Click(QAbstractButton* button) {
    // A radio button or check box takes a click only on its mark and its text.
    if (qobject_cast<QRadioButton*>(button) != nullptr ||
        qobject_cast<QCheckBox*>(button) != nullptr) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
        return;
    }
    QTest::mouseClick(button, Qt::LeftButton);
}

inline void ClickRow(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

// A named widget of a window; the test fails at once when there is none.
template <class T>
T* Child(QWidget& in, const char* name) {
    auto* widget = in.findChild<T*>(name);
    if (widget == nullptr) {
        qFatal("no widget %s", name);
    }
    return widget;
}

inline QStringList Items(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        items << list->item(i)->text();
    }
    return items;
}

}  // namespace kardo::test
