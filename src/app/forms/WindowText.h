// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <string>

namespace kardo {

// Text of the core for a widget. Device names come from the database in Latin-1, file
// names from the system in UTF-8: UTF-8 when the bytes are valid UTF-8, else Latin-1.
inline QString WindowText(const std::string& text) {
    const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
    const QString utf8 = QString::fromUtf8(bytes);
    return utf8.toUtf8() == bytes ? utf8 : QString::fromLatin1(bytes);
}

}  // namespace kardo
