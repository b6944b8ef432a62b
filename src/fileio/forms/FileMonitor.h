// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "fileio/FileSettings.h"
#include "fileio/FileTimes.h"

namespace kardo {

// Watches the file last loaded, and loads it again a second after it was written
// (FileMonitorDirectoryChanged). The reload repeats the settings of that load, so a
// later load dialog that was cancelled changes nothing here. A reload that falls due
// while the buffer is busy (an operation runs, or a dialog is open) waits until it is
// free again: a file written during an operation never touches the buffer under it.
class FileMonitor : public QObject {
    Q_OBJECT
  public:
    struct Hooks {
        std::function<bool()> bufferFree;
        std::function<void(const std::filesystem::path&, const FileSettings&)> reload;
    };
    explicit FileMonitor(Hooks hooks, QObject* parent = nullptr);

    // Points the watch at the file's folder (and the file), and remembers its current
    // last-write time and the settings it was loaded with.
    void Watch(const std::filesystem::path& file, const FileSettings& settings);

    // Runs a reload that was waiting for the buffer, if any (called when an operation ends).
    void BufferFreed();

    bool ReloadPending() const { return pending_; }

  private:
    void FileMonitorDirectoryChanged();
    void ReloadDue();

    Hooks hooks_;
    QFileSystemWatcher watcher_;
    QTimer settle_;  // the second given to the writer to finish
    QTimer retry_;   // while the buffer is busy
    std::filesystem::path file_;
    FileSettings settings_;
    LastWriteTime time_;
    bool pending_ = false;
};

}  // namespace kardo
