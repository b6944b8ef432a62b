// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/ButtonMasks.h"
#include "app/Sounds.h"
#include "common/LogSink.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QFrame;

namespace kardo {

class ChosenLink;
class Dialogs;
class SettingsStore;
class LoadFlow;
class QtFileIoHost;
class SaveFlow;
class SelectionFlow;
class OperationControl;

// The main window: the button row, the message log, the two information panels, and
// the handlers that start everything else.
class TfrmMains : public QWidget, public LogSink {
    Q_OBJECT
  public:
    // What the window is given from outside: the seams to the user, the sound device
    // and the programmer, and its default directory (the directory it was started from,
    // or where its files were found, see ChooseDataDirectory).
    struct Services {
        Dialogs& dialogs;
        SoundBackend& sound;
        SettingsStore& settings;  // where the settings are loaded from and saved to
        std::unique_ptr<ProgrammerLink> link;
        std::filesystem::path workingDirectory;
        // Told of every confirmed device; the virtual programmer puts that chip in its socket.
        std::function<void(const DeviceRecord&)> deviceSelected = {};
        // `link` itself, when it can be pointed at another of several programmers.
        ChosenLink* programmers = nullptr;
    };

    explicit TfrmMains(Services services, QWidget* parent = nullptr);
    ~TfrmMains() override;

    AppState& state() { return state_; }

    // The message log.
    void AppendLine(const std::string& line) override;
    void ClearLog();

    void SB_SelectClick();
    void SB_LoadClick();
    void SB_SaveClick();
    void SB_EditClick();
    void SB_ConfigClick();
    void SB_OptionClick();
    void SB_TestClick();
    // The settings' messages: information boxes with OK.
    void Inform(const std::string& text);
    void ClearMessagesClick();
    void ReconnectBTClick();
    // Blank, Read, Program, Verify and Erase: one operation on the device.
    void SB_ReadClick(QToolButton* button);

    // How many effects of the last operation reached the windows (for the benchmarks).
    int LastOperationUiUpdates() const;
    // From the press of an operation button until that operation has finished.
    bool OperationBusy() const;
    // The Load button's flow, with the watch of the loaded file.
    LoadFlow& loadFlow() { return *loadFlow_; }

    // Enables the device buttons the selected record allows, with their hints.
    void ApplyButtonMasks();
    void RefreshChecksum();
    void Play(Sound sound);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // A file dropped on the window loads as Load loads it, when a click on Load would
    // be taken.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    bool LoadAllowed() const;
    void BuildControls();
    void CreateFlows(std::function<void(const DeviceRecord&)> deviceSelected);
    void FormCreate();
    void FormResize();
    void FormClose();
    // Reconnect with several programmers attached: the user picks one, and the choice is
    // kept. False when the user cancels.
    bool ChooseProgrammer();
    // After an open: which of several programmers is in use, or that another program
    // holds the one asked for.
    void LogProgrammer();

    // Sets enabled state and hint together: a disabled button shows no hint.
    void SetButton(QToolButton* button, bool enabled);
    void LockDeviceButtons(bool includingTest);
    QToolButton* DeviceButtonWidget(DeviceButton button) const;

    void SetLabel(const char* name, const std::string& text);

    // Every control that reaches the link or the buffer, off while an operation runs.
    void LockForOperation(bool locked);

    AppState state_;
    Dialogs& dialogs_;
    SettingsStore& settings_;
    SoundBackend& sound_;
    std::filesystem::path workingDirectory_;
    ChosenLink* programmers_ = nullptr;

    std::map<QString, QToolButton*> buttons_;  // by object name
    std::map<QString, QString> hints_;
    std::map<QString, QLabel*> values_;  // value labels by object name
    QPlainTextEdit* Memo1 = nullptr;
    QFrame* Panel1 = nullptr;
    QFrame* Panel2 = nullptr;
    QPushButton* ClearMessages = nullptr;
    QPushButton* ReconnectBT = nullptr;

    std::unique_ptr<OperationControl> operations_;
    std::unique_ptr<SelectionFlow> selection_;
    std::unique_ptr<QtFileIoHost> fileHost_;
    std::unique_ptr<LoadFlow> loadFlow_;
    std::unique_ptr<SaveFlow> saveFlow_;
};

}  // namespace kardo
