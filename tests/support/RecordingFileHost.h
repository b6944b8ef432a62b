// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "fileio/FileIoHost.h"

namespace kardo::test {

// Keeps everything a load or save told the user.
class RecordingFileHost : public FileIoHost {
  public:
    std::vector<std::string> lines;
    std::vector<std::string> messages;
    int failureSounds = 0;
    std::vector<int> progress;
    int opened = 0, closed = 0;

    void AppendLine(const std::string& line) override { lines.push_back(line); }
    void ShowMessage(const std::string& text, Icon) override { messages.push_back(text); }
    void PlayFailure() override { ++failureSounds; }
    void OpenProgress(const std::string&) override { ++opened; }
    void SetProgress(int percent) override { progress.push_back(percent); }
    void CloseProgress() override { ++closed; }
};

}  // namespace kardo::test
