#pragma once

#include <QAbstractButton>
#include <QListWidget>
#include <QStringList>
#include <QTest>

namespace kardo::test {

// What a user does with the mouse, on real widgets.
inline void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

inline void ClickRow(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

inline QStringList Items(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        items << list->item(i)->text();
    }
    return items;
}

}  // namespace kardo::test
