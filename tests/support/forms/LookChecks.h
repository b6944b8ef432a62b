// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QTableWidget>

namespace kardo::test {

// The controls of a shown window that are cut: a caption wider or taller than its
// control, a control reaching out of its parent or onto a group's title, a grid cell
// narrower than its text. Each is named with what is wrong.
inline QStringList ClippedControls(QWidget& window) {
    QApplication::processEvents();  // the layouts settled
    QStringList cut;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window) || w->isWindow())
            continue;
        const QString name = w->objectName().isEmpty() ? w->metaObject()->className()
                                                        : w->objectName();
        QWidget* parent = w->parentWidget();
        const bool inGroup = qobject_cast<QGroupBox*>(parent) != nullptr;
        const QRect room = inGroup ? parent->contentsRect() : parent->rect();
        const bool captioned = qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w);
        if (captioned || qobject_cast<QLineEdit*>(w)) {
            if (!room.contains(w->geometry()))
                cut << name + " outside its parent";
        }
        if (captioned && (w->width() < w->sizeHint().width() ||
                          w->height() < w->minimumSizeHint().height()))
            cut << name + " narrower or lower than its caption";
        if (auto* grid = qobject_cast<QTableWidget*>(w)) {
            for (int r = 0; r < grid->rowCount(); ++r)
                for (int c = 0; c < grid->columnCount(); ++c)
                    if (const auto* item = grid->item(r, c);
                        item && grid->fontMetrics().horizontalAdvance(item->text()) + 2 >
                                    grid->columnWidth(c))
                        cut << name + " cell " + item->text();
        }
    }
    cut.removeDuplicates();
    return cut;
}

}  // namespace kardo::test
