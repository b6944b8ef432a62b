// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>

namespace kardo {

// The picture above each speed button's caption, drawn from a small shape list.
QIcon ButtonIcon(const QString& buttonName);

}  // namespace kardo
