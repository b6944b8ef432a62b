// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "config/ConfigBits.h"
#include "devicedb/DeviceBuffer.h"
#include "devicedb/DeviceRecord.h"
#include "fileio/FileIoHost.h"
#include "fileio/FileSettings.h"
#include "fileio/forms/FileMonitor.h"

class QWidget;

namespace kardo {

class Dialogs;

// The shared state a load reads and changes.
struct LoadTarget {
    const std::optional<DeviceRecord>& record;
    DeviceBuffer& buffer;
    FileSettings& settings;
    std::filesystem::path& PathLoadSave;
    std::filesystem::path& LoadedFile;
    std::filesystem::path& SaveDialogFile;
    const bool& oddEven;
    std::atomic<uint8_t>& errorCount;  // left with the load's result
    ConfigBits& configBits;            // an ELF program may carry fuse and lock bytes
};

// The Load button's work and the automatic reload of the loaded file: the file
// dialog, the format dialog, the load, the file label, the watch and the checksum.
class LoadFlow {
  public:
    struct Window {
        QWidget& parent;
        Dialogs& dialogs;
        FileIoHost& host;
        std::function<void(const std::string&)> log;
        std::function<void()> refreshChecksum;
        std::function<void(const std::string&)> showFile;  // the file label
        std::function<bool()> bufferFree;                  // no operation running, no dialog open
    };

    LoadFlow(LoadTarget target, Window window);

    // SB_LoadClick, once the main window has checked that a programmer is there.
    void Run();
    // A file dropped on the window: loaded as Load does, the format dialog starting
    // from the format of the file dialog's filter its name matches.
    void RunWithFile(const std::filesystem::path& file);
    // An operation has ended: a reload that waited for it runs now.
    void BufferFreed() { monitor_.BufferFreed(); }

    const FileMonitor& monitor() const { return monitor_; }

  private:
    void LoadChosen(const std::filesystem::path& file, int filterIndex);
    void Reload(const std::filesystem::path& file, const FileSettings& settings);

    LoadTarget target_;
    Window window_;
    FileMonitor monitor_;
};

}  // namespace kardo
