// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/forms/TatISP.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "algorithms/forms/IspHeaderPicture.h"
#include "algorithms/forms/PictureLabel.h"
#include "algorithms/forms/PinLabels.h"

namespace kardo {

TatISP::TatISP(QWidget* parent) : QDialog(parent) {
    setObjectName("TatISP");
    setWindowTitle("ATMEL_ISP");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    Picture picture = DecodeJpeg(kIspHeaderJpeg, kIspHeaderJpegSize);
    if (!picture.image) {
        picture.problem = "Cannot show the ISP header: " + picture.problem;
    }
    Image1 = MakePictureLabel(picture, "Image1", this);
    row->addWidget(Image1);
    auto* pins = new QVBoxLayout;
    AddPinLabels(*pins, this, {kVccPin, kClkPin, kDataPin, kMisoPin, kRstPin, kGndPin});
    row->addLayout(pins);
    layout->addLayout(row);
    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    layout->addWidget(BitBtn1, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(BitBtn1, &QPushButton::clicked, this, &TatISP::BitBtn1Click);
}

void TatISP::BitBtn1Click() {
    accept();
}

}  // namespace kardo
