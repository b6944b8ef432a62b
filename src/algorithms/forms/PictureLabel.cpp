// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/forms/PictureLabel.h"

#include <QPixmap>

namespace kardo {

QImage ToQImage(const RgbImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 3) {
        return {};
    }
    return QImage(image.pixels.data(), image.width, image.height, image.width * 3,
                  QImage::Format_RGB888)
        .copy();
}

QLabel* MakePictureLabel(const Picture& picture, const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    const QImage image = picture.image ? ToQImage(*picture.image) : QImage();
    if (!image.isNull()) {
        label->setPixmap(QPixmap::fromImage(image));
        label->setFixedSize(image.size());
    } else {
        label->setText(QString::fromStdString(picture.problem));
        label->setWordWrap(true);
        label->setMinimumSize(240, 120);
        label->setFrameShape(QFrame::Box);
    }
    return label;
}

}  // namespace kardo
