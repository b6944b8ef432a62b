// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "devicedb/DeviceBuffer.h"
#include "devicedb/DeviceRecord.h"
#include "fileio/FileSettings.h"

class QWidget;

namespace kardo {

class Dialogs;
class FileIoHost;

// The shared state a save reads and changes.
struct SaveTarget {
    const std::optional<DeviceRecord>& record;
    const DeviceBuffer& buffer;
    FileSettings& settings;
    std::filesystem::path& PathLoadSave;
    std::filesystem::path& SaveDialogFile;
    const bool& oddEven;
};

// The Save button's work: the save dialog, the format dialog in its save mode with the
// range, the writer, the file label and the log line.
class SaveFlow {
  public:
    struct Window {
        QWidget& parent;
        Dialogs& dialogs;
        FileIoHost& host;
        std::function<void(const std::string&)> showFile;  // the file label
    };

    SaveFlow(SaveTarget target, Window window) : target_(target), window_(std::move(window)) {}

    // SB_SaveClick, once the main window has checked that a programmer is there.
    void Run();

  private:
    SaveTarget target_;
    Window window_;
};

}  // namespace kardo
