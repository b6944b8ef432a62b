// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The items of the selection dialog's two lists: the names as the database file spells
// them (Latin-1), and what a device item carries besides its text.
#include <QListWidget>
#include <QString>

#include <string>
#include <vector>

namespace kardo {

// Where a device item's device is in the database file, and its own name (the text may
// add the manufacturer's).
inline constexpr int kManufacturerRole = Qt::UserRole;
inline constexpr int kDeviceRole = Qt::UserRole + 1;
inline constexpr int kNameRole = Qt::UserRole + 2;

QString Latin1(const std::string& text);
void FillList(QListWidget* list, const std::vector<std::string>& names);
void AddDevice(QListWidget* list, const QString& text, const QString& name, int manufacturer,
               int device);

}  // namespace kardo
