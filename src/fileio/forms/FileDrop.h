// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>

class QMimeData;

namespace kardo {

// The file a drag brings, when it brings exactly one file of this machine: one buffer
// takes one file, and a link or a text is no file to load.
std::optional<std::filesystem::path> DroppedFile(const QMimeData* mime);

}  // namespace kardo
