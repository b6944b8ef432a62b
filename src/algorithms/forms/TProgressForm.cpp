// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/forms/TProgressForm.h"

#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <limits>

namespace kardo {

TProgressForm::TProgressForm(QWidget* parent) : QDialog(parent) {
    setObjectName("TProgressForm");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    setFixedSize(617, 72);
    ProgRun = new QProgressBar(this);
    ProgRun->setObjectName("ProgRun");
    ProgRun->setGeometry(8, 6, 600, 25);
    ProgRun->setTextVisible(false);
    ProgRun->setRange(0, 1);
    ProgRun->setValue(0);
    BitBtn1 = new QPushButton("Abort", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setGeometry(270, 38, 77, 27);
    connect(BitBtn1, &QPushButton::clicked, this, &TProgressForm::BitBtn1Click);
    if (parent != nullptr) {
        move(parent->geometry().center() - rect().center());
    }
}

void TProgressForm::SetGauge(int64_t maximum, int64_t position) {
    // The bar counts in int; a device beyond that range is shown in proportion.
    constexpr int64_t kLimit = std::numeric_limits<int>::max();
    const int64_t scale = maximum > kLimit ? maximum / kLimit + 1 : 1;
    ProgRun->setRange(0, static_cast<int>(std::max<int64_t>(1, maximum / scale)));
    ProgRun->setValue(static_cast<int>(std::clamp<int64_t>(position / scale, 0, ProgRun->maximum())));
}

void TProgressForm::Finish() { done(QDialog::Accepted); }

}  // namespace kardo
