// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>

namespace kardo {

// The application object, with a last guard around every event: an exception that a
// handler let through is shown to the user and the program goes on, instead of Qt
// ending the process and taking the buffer with it.
class GuardedApplication : public QApplication {
  public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace kardo
