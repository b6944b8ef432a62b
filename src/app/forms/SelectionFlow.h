// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

#include "app/AppState.h"
#include "app/Sounds.h"

class QWidget;

namespace kardo {

class Dialogs;

// The Select button's work: the selection dialog, the record and its buffer, the
// panels and notes, the pictures, and with a programmer the parameter upload, the
// erased fill, the checksum and the buttons.
class SelectionFlow {
  public:
    struct Window {
        QWidget& parent;
        Dialogs& dialogs;
        std::function<void(const std::string&)> log;
        std::function<void()> clearLog;
        std::function<void(const char* label, const std::string&)> setLabel;
        std::function<void(Sound)> play;
        std::function<void()> lockForUpload;  // every device button and Self Test off
        std::function<void()> refreshChecksum;
        std::function<void()> applyButtonMasks;
        // Told of every confirmed device; the virtual programmer puts that chip in its socket.
        std::function<void(const DeviceRecord&)> deviceSelected;
    };

    SelectionFlow(AppState& state, Window window) : state_(state), window_(std::move(window)) {}

    void Run();

  private:
    bool ConfirmSelection(const std::string& manufacturer, const std::string& device);
    void ShowDeviceInfo(const std::string& manufacturer, const std::string& device);
    void UploadSelection(bool differentDevice);

    AppState& state_;
    Window window_;
};

}  // namespace kardo
