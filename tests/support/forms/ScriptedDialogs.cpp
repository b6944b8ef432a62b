// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/forms/ScriptedDialogs.h"

#include <QApplication>

namespace kardo::test {

int ScriptedDialogs::Run(QDialog& dialog) {
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    QApplication::processEvents();
    if (!drivers.empty()) {
        auto driver = std::move(drivers.front());
        drivers.pop_front();
        driver(dialog);
    }
    if (dialog.isVisible()) {
        dialog.reject();
    }
    return dialog.result();
}

}  // namespace kardo::test
