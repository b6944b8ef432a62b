// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/GuardedApplication.h"

#include <QMessageBox>
#include <QTimer>
#include <exception>

namespace kardo {
namespace {

void ShowLater(const QString& what) {
    // Not from inside the event that failed: the box opens once that has unwound.
    QTimer::singleShot(0, [what] {
        QMessageBox::critical(nullptr, "KARDO",
                              "An unexpected error stopped the last action:\n" + what);
    });
}

}  // namespace

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowLater(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ShowLater("unknown error");
    }
    return false;
}

}  // namespace kardo
