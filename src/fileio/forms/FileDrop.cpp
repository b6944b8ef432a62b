// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/forms/FileDrop.h"

#include <QMimeData>
#include <QUrl>

namespace kardo {

std::optional<std::filesystem::path> DroppedFile(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls() || mime->urls().size() != 1) {
        return std::nullopt;
    }
    const QUrl url = mime->urls().front();
    if (!url.isLocalFile()) {
        return std::nullopt;
    }
    std::filesystem::path file(url.toLocalFile().toStdString());
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return std::nullopt;  // a folder, or gone already
    }
    return file;
}

}  // namespace kardo
