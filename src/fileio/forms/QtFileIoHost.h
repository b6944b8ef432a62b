// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <string>

#include "fileio/FileIoHost.h"

class QWidget;

namespace kardo {

class Dialogs;
class TfrmLoad_Save;

// A file load or save in the window: lines to the message log, message boxes through
// the dialogs, the failure sound, and the progress window over the main window.
class QtFileIoHost : public FileIoHost {
  public:
    struct Window {
        QWidget& parent;
        Dialogs& dialogs;
        std::function<void(const std::string&)> log;
        std::function<void()> playFailure;
    };

    explicit QtFileIoHost(Window window);
    ~QtFileIoHost() override;

    void AppendLine(const std::string& line) override { window_.log(line); }
    void ShowMessage(const std::string& text, Icon icon) override;
    void PlayFailure() override { window_.playFailure(); }
    void OpenProgress(const std::string& caption) override;
    void SetProgress(int percent) override;
    void CloseProgress() override;

    // The progress window while it is open, for the tests.
    TfrmLoad_Save* Progress() const { return progress_.get(); }

  private:
    Window window_;
    std::string caption_;
    QElapsedTimer sinceOpened_;
    std::unique_ptr<TfrmLoad_Save> progress_;
};

}  // namespace kardo
