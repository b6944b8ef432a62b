// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/forms/FileMonitor.h"

namespace kardo {
namespace {

constexpr int kSettleMs = 1000;
constexpr int kRetryMs = 250;

QString Native(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace

FileMonitor::FileMonitor(Hooks hooks, QObject* parent) : QObject(parent), hooks_(std::move(hooks)) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    retry_.setSingleShot(true);
    retry_.setInterval(kRetryMs);
    connect(&settle_, &QTimer::timeout, this, &FileMonitor::ReloadDue);
    connect(&retry_, &QTimer::timeout, this, &FileMonitor::ReloadDue);
    // The folder tells of files replaced or renamed into place; the file itself of
    // writes in place, which a folder watch does not report on every system.
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this,
            &FileMonitor::FileMonitorDirectoryChanged);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this,
            &FileMonitor::FileMonitorDirectoryChanged);
}

void FileMonitor::Watch(const std::filesystem::path& file, const FileSettings& settings) {
    // Stopped while it is pointed elsewhere, then started again.
    if (!watcher_.files().isEmpty())
        watcher_.removePaths(watcher_.files());
    if (!watcher_.directories().isEmpty())
        watcher_.removePaths(watcher_.directories());
    settle_.stop();
    retry_.stop();
    pending_ = false;
    file_ = file;
    settings_ = settings;
    time_ = LastWriteTimeOf(file).value_or(LastWriteTime{});
    watcher_.addPath(Native(file.parent_path().empty() ? "." : file.parent_path()));
    watcher_.addPath(Native(file));
}

void FileMonitor::FileMonitorDirectoryChanged() {
    if (file_.empty()) {
        return;
    }
    // A file replaced by a new one is a new file to the watch: watch it again.
    if (!watcher_.files().contains(Native(file_))) {
        watcher_.addPath(Native(file_));
    }
    const auto now = LastWriteTimeOf(file_);
    if (!now || !WrittenSince(*now, time_)) {
        return;
    }
    time_ = *now;
    if (!pending_) {
        pending_ = true;
        settle_.start();
    }
}

void FileMonitor::ReloadDue() {
    if (!pending_ || settle_.isActive()) {
        return;
    }
    if (!hooks_.bufferFree()) {
        retry_.start();
        return;
    }
    pending_ = false;
    hooks_.reload(file_, settings_);
}

void FileMonitor::BufferFreed() {
    if (pending_ && !settle_.isActive()) {
        retry_.stop();
        ReloadDue();
    }
}

}  // namespace kardo
