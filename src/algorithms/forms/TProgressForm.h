// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <cstdint>

class QProgressBar;
class QPushButton;

namespace kardo {

// The modal window of a running operation: its caption, the gauge and the abort button.
// It closes when the operation says so, or through Abort; Escape does not close it.
class TProgressForm : public QDialog {
    Q_OBJECT
public:
    explicit TProgressForm(QWidget* parent);

    void SetGauge(int64_t maximum, int64_t position);
    // Closes the window; the operation control continues after it.
    void Finish();

signals:
    void BitBtn1Click();

public slots:
    void reject() override {}

private:
    QProgressBar* ProgRun;
    QPushButton* BitBtn1;
};

}  // namespace kardo
