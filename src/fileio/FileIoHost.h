// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "common/LogSink.h"

namespace kardo {

// What a file load or save asks of the user: the log, a message box, the failure
// sound and the progress window. The main window and the command line each give one.
class FileIoHost : public LogSink {
  public:
    enum class Icon { Warning, Error };
    virtual void ShowMessage(const std::string& text, Icon icon) = 0;
    virtual void PlayFailure() = 0;
    virtual void OpenProgress(const std::string& caption) = 0;
    // 0 to 100; called often, so an implementation decides how often to draw.
    virtual void SetProgress(int percent) = 0;
    virtual void CloseProgress() = 0;
};

}  // namespace kardo
