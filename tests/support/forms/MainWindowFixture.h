// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>
#include <memory>

#include "app/IniSettingsStore.h"
#include "app/forms/TfrmMains.h"
#include "support/TempDir.h"
#include "support/forms/ScriptedDialogs.h"

namespace kardo::test {

// A real main window in a directory of our own, with the user's answers scripted.
class MainWindowFixture {
  public:
    // `link` may be null: no programmer backend at all.
    // The settings are kept in `settingsFile`; by default a file of the fixture's own,
    // created empty as the installation creates it.
    explicit MainWindowFixture(std::unique_ptr<ProgrammerLink> link,
                               std::filesystem::path directory = {},
                               std::function<void(const DeviceRecord&)> deviceSelected = {},
                               std::filesystem::path settingsFile = {},
                               ChosenLink* programmers = nullptr);

    TfrmMains& window() { return *window_; }
    AppState& state() { return window_->state(); }
    QToolButton* button(const char* name) { return window_->findChild<QToolButton*>(name); }
    QString label(const char* name) { return window_->findChild<QLabel*>(name)->text(); }
    QStringList log() const;

    // Queues the user's answer to the next selection dialog: optionally a device type
    // (radio button name), then a manufacturer row and a device row, then OK.
    void AnswerSelection(const char* type, int manufacturer, int device);
    // Runs "Select" with that answer.
    void Select(const char* type, int manufacturer, int device);
    // Clicks an operation button and waits until the operation has finished completely:
    // the worker ended, the checksum shown and the buttons back.
    void Operate(const char* button);

    TempDir dir;
    ScriptedDialogs dialogs;
    RecordingSound sound;
    std::unique_ptr<IniSettingsStore> settings;

  private:
    std::unique_ptr<TfrmMains> window_;
};

}  // namespace kardo::test
