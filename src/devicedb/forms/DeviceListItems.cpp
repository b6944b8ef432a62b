// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicedb/forms/DeviceListItems.h"

namespace kardo {

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<int>(text.size()));
}

void FillList(QListWidget* list, const std::vector<std::string>& names) {
    list->clear();
    for (const auto& name : names) {
        list->addItem(Latin1(name));
    }
}

void AddDevice(QListWidget* list, const QString& text, const QString& name, int manufacturer,
               int device) {
    auto* item = new QListWidgetItem(text, list);
    item->setData(kManufacturerRole, manufacturer);
    item->setData(kDeviceRole, device);
    item->setData(kNameRole, name);
}

}  // namespace kardo
