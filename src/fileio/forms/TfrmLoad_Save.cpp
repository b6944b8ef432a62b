// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/forms/TfrmLoad_Save.h"

#include <QCoreApplication>
#include <QProgressBar>

namespace kardo {
TfrmLoad_Save::TfrmLoad_Save(const QString& caption, QWidget* parent) : QDialog(parent) {
    setObjectName("TfrmLoad_Save");
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(320, 44);
    setWindowModality(Qt::ApplicationModal);
    L_Sbar = new QProgressBar(this);
    L_Sbar->setObjectName("L_Sbar");
    L_Sbar->setGeometry(10, 10, 300, 22);
    L_Sbar->setRange(0, 100);
    L_Sbar->setValue(0);
    if (parent != nullptr) {
        move(parent->geometry().center() - rect().center());
    }
    sinceDrawn_.start();
}

void TfrmLoad_Save::SetPosition(int percent) {
    if (percent == L_Sbar->value()) {
        return;
    }
    L_Sbar->setValue(percent);
    if (isVisible() && sinceDrawn_.elapsed() >= kDrawEveryMs) {
        Draw();
    }
}

void TfrmLoad_Save::Draw() {
    // The window is modal while it is up, so only painting and timers get through: no
    // click can reach the buffer being loaded.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    ++draws_;
    sinceDrawn_.restart();
}

int TfrmLoad_Save::Position() const {
    return L_Sbar->value();
}

}  // namespace kardo
