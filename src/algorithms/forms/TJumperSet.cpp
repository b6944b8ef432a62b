// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/forms/TJumperSet.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "algorithms/forms/PictureLabel.h"

namespace kardo {

TJumperSet::TJumperSet(const std::filesystem::path& picture, QWidget* parent) : QDialog(parent) {
    setObjectName("TJumperSet");
    setWindowTitle("Jumper Set");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* layout = new QVBoxLayout(this);
    Image1 = MakePictureLabel(LoadPicture(picture), "Image1", this);
    layout->addWidget(Image1, 0, Qt::AlignHCenter);
    OKbt = new QPushButton("OK", this);
    OKbt->setObjectName("OKbt");
    OKbt->setDefault(true);
    layout->addWidget(OKbt, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(OKbt, &QPushButton::clicked, this, &TJumperSet::OKbtClick);
}

void TJumperSet::OKbtClick() {
    accept();
}

}  // namespace kardo
