// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/forms/TfrmMains.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QInputDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QToolButton>
#include <array>

#include "algorithms/forms/SelfTestFlow.h"
#include "app/MainWindowLayout.h"
#include "app/Selection.h"
#include "app/Settings.h"
#include "app/forms/MainWindowControls.h"
#include "app/forms/OperationControl.h"
#include "app/forms/SelectionFlow.h"
#include "app/forms/WindowText.h"
#include "buffertools/forms/EditorFlow.h"
#include "common/forms/Dialogs.h"
#include "config/forms/ConfigFlow.h"
#include "config/forms/OptionsFlow.h"
#include "devicedb/Checksum.h"
#include "devicedb/DeviceDatabase.h"
#include "fileio/forms/FileDrop.h"
#include "fileio/forms/LoadFlow.h"
#include "fileio/forms/QtFileIoHost.h"
#include "fileio/forms/SaveFlow.h"
#include "link/ChosenLink.h"
#include "link/Connection.h"

namespace kardo {

TfrmMains::TfrmMains(Services services, QWidget* parent)
    : QWidget(parent),
      dialogs_(services.dialogs),
      settings_(services.settings),
      sound_(services.sound),
      workingDirectory_(std::move(services.workingDirectory)),
      programmers_(services.programmers) {
    state_.link = std::move(services.link);
    setObjectName("TfrmMains");
    setWindowTitle("KARDO");
    BuildControls();
    // A sound file found unplayable once loaded switches sound off, as a missing device does.
    sound_.SetLateFailureHandler([this] { SoundDeviceFailed(state_.soundFailed, *this); });
    CreateFlows(std::move(services.deviceSelected));
    FormCreate();
}

// The flows behind the buttons, each told what it needs of the window.
void TfrmMains::CreateFlows(std::function<void(const DeviceRecord&)> deviceSelected) {
    const auto log = [this](const std::string& line) { AppendLine(line); };
    operations_ = std::make_unique<OperationControl>(
        state_, *this,
        OperationControl::Window{
            log, [this](const std::string& text) { SetLabel("CheckL", text); },
            [this] { RefreshChecksum(); }, [this](bool locked) { LockForOperation(locked); },
            [this](Sound sound) { Play(sound); },
            [this] {
                activateWindow();
                setFocus();
            },
            [this] { loadFlow_->BufferFreed(); },
            [this](const std::string& text, const std::string& caption) {
                return AskAbortRetryIgnore(dialogs_, text, caption);
            },
            // A number used is kept at once: a crash must not hand
            // it out a second time.
            [this] {
                SaveSettings(settings_, state_, [this](const std::string& text) { Inform(text); });
            }});
    selection_ = std::make_unique<SelectionFlow>(
        state_, SelectionFlow::Window{
                    *this, dialogs_, log, [this] { ClearLog(); },
                    [this](const char* label, const std::string& text) { SetLabel(label, text); },
                    [this](Sound sound) { Play(sound); }, [this] { LockDeviceButtons(true); },
                    [this] { RefreshChecksum(); }, [this] { ApplyButtonMasks(); },
                    std::move(deviceSelected)});
    fileHost_ = std::make_unique<QtFileIoHost>(
        QtFileIoHost::Window{*this, dialogs_, log, [this] { Play(Sound::Error); }});
    const auto showFile = [this](const std::string& file) { SetLabel("FileL", file); };
    loadFlow_ = std::make_unique<LoadFlow>(
        LoadTarget{state_.record, state_.buffer, state_.fileSettings, state_.PathLoadSave,
                   state_.LoadedFile, state_.SaveDialogFile, state_.options.OddEven,
                   state_.errorCount, state_.configBits},
        LoadFlow::Window{*this, dialogs_, *fileHost_, log, [this] { RefreshChecksum(); }, showFile,
                         [this] {
                             return !operations_->Busy() &&
                                    QApplication::activeModalWidget() == nullptr;
                         }});
    saveFlow_ = std::make_unique<SaveFlow>(
        SaveTarget{state_.record, state_.buffer, state_.fileSettings, state_.PathLoadSave,
                   state_.SaveDialogFile, state_.options.OddEven},
        SaveFlow::Window{*this, dialogs_, *fileHost_, showFile});
}

TfrmMains::~TfrmMains() {
    operations_->Shutdown();
    sound_.SetLateFailureHandler({});
}

void TfrmMains::FormCreate() {
    for (auto& [name, label] : values_) {
        label->clear();
    }
    state_.DefaultDir = workingDirectory_;
    state_.PathLoadSave = workingDirectory_;
    state_.ProgBits = 0;
    state_.options = OptionFlags{};
    state_.connection.FirmwareVersion = 0;
    state_.SoundON = false;
    const auto inform = [this](const std::string& text) { Inform(text); };
    WriteDefaultSettings(settings_, state_, workingDirectory_, inform);
    LoadSettings(settings_, state_, workingDirectory_, inform);
    // Sound is on at every start, whatever was stored.
    state_.SoundON = true;

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen != nullptr ? screen->size() : QSize(1024, 768);
    if (NeedsResolutionWarning(screenSize.width(), screenSize.height())) {
        dialogs_.ShowMessage(this, "Program best viewed at 800x600 or higher resolution",
                             "Program Resolution", Dialogs::Icon::None);
    }
    const WindowOrigin origin =
        PlaceMainWindow(screenSize.width(), screenSize.height(), width(), height());
    move(origin.left, origin.top);

    state_.DatabaseFlags = DatabaseFlagsIn(state_.DefaultDir);
    SetButton(buttons_["SB_Select"], true);
    state_.buffer.Allocate(kStartupBufferSize);
    state_.running = true;
    if (state_.link) {
        OpenLink(*state_.link, state_.connection, *this);
        LogProgrammer();
    }
}

void TfrmMains::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TfrmMains::FormResize() {
    const MainWindowLayout l = LayoutFor(width(), height(), buttons_["SB_Select"]->y());
    Memo1->setGeometry(Memo1->x(), l.memoTop, l.memoWidth, l.memoHeight);
    Panel1->setGeometry(Panel1->x(), l.panel1Top, l.panelWidth, l.panel2Top - l.panel1Top);
    Panel2->setGeometry(Panel2->x(), l.panel2Top, l.panelWidth, l.buttonsTop - l.panel2Top - 4);
    ReconnectBT->move(l.reconnectLeft, l.buttonsTop);
    ClearMessages->move(ClearMessages->x(), l.buttonsTop);
}

void TfrmMains::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}

void TfrmMains::FormClose() {
    operations_->Shutdown();
    if (state_.link) {
        CloseLink(*state_.link);
    }
    state_.record.reset();
    SaveSettings(settings_, state_, [this](const std::string& text) { Inform(text); });
}

void TfrmMains::Inform(const std::string& text) {
    dialogs_.ShowMessage(this, QString::fromStdString(text), "KARDO", Dialogs::Icon::Information);
}

void TfrmMains::AppendLine(const std::string& line) {
    Memo1->appendPlainText(WindowText(line));
    Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
}

void TfrmMains::ClearLog() {
    Memo1->clear();
}

void TfrmMains::ClearMessagesClick() {
    ClearLog();
}

void TfrmMains::SetButton(QToolButton* button, bool enabled) {
    button->setEnabled(enabled);
    button->setToolTip(enabled ? hints_[button->objectName()] : QString());
}

QToolButton* TfrmMains::DeviceButtonWidget(DeviceButton button) const {
    return buttons_.at(kDeviceButtonNames[static_cast<std::size_t>(button)]);
}

void TfrmMains::ApplyButtonMasks() {
    const auto enabled = ButtonStatesFor(state_.record);
    for (std::size_t i = 0; i < kDeviceButtonCount; ++i) {
        SetButton(DeviceButtonWidget(static_cast<DeviceButton>(i)), enabled[i]);
    }
}

void TfrmMains::LockDeviceButtons(bool includingTest) {
    for (std::size_t i = 0; i < kDeviceButtonCount; ++i) {
        SetButton(DeviceButtonWidget(static_cast<DeviceButton>(i)), false);
    }
    if (includingTest) {
        SetButton(buttons_["SB_Test"], false);
    }
}

void TfrmMains::RefreshChecksum() {
    if (state_.record) {
        SetLabel("CheckL", ChecksumText(ComputeChecksum(*state_.record, state_.buffer)));
    }
}

void TfrmMains::Play(Sound sound) {
    PlaySound(sound, {state_.SoundON, state_.soundFailed}, state_.DefaultDir, sound_, *this);
}

void TfrmMains::SetLabel(const char* name, const std::string& text) {
    values_.at(name)->setText(WindowText(text));
}

void TfrmMains::LockForOperation(bool locked) {
    if (locked) {
        LockDeviceButtons(false);
    } else {
        ApplyButtonMasks();
    }
    SetButton(buttons_["SB_Select"], !locked);
    ReconnectBT->setEnabled(!locked);
}

void TfrmMains::ReconnectBTClick() {
    if (operations_->Busy()) {
        return;
    }
    if (!ChooseProgrammer()) {
        return;
    }
    state_.running = true;
    if (state_.link) {
        ReopenLink(*state_.link, state_.connection, *this);
        LogProgrammer();
    }
    // The programmer may be another one now: the device must be selected again.
    LockDeviceButtons(false);
    SetButton(buttons_["SB_Test"], true);
}

bool TfrmMains::ChooseProgrammer() {
    if (programmers_ == nullptr) {
        return true;
    }
    const std::vector<std::string> names = programmers_->Attached().names;
    if (names.size() < 2) {
        return true;  // one programmer, or none: as ever
    }
    QStringList items;
    for (const std::string& name : names) {
        items << QString::fromStdString(name);
    }
    QInputDialog dialog(this);
    dialog.setObjectName("ProgrammerChoice");
    dialog.setWindowTitle("Reconnect");
    dialog.setLabelText("Several programmers are attached. Connect to:");
    dialog.setComboBoxItems(items);
    dialog.setComboBoxEditable(false);
    dialog.setTextValue(QString::fromStdString(state_.link->Name()));
    if (dialogs_.Run(dialog) != QDialog::Accepted) {
        return false;
    }
    const std::string chosen = dialog.textValue().toStdString();
    if (const std::string problem = programmers_->Choose(chosen); !problem.empty()) {
        Inform(problem);
    }
    // Kept at once, as the serial number is: the next start connects to it.
    if (settings_.OpenKey()) {
        std::string error = settings_.WriteString("Programmer", chosen);
        if (const std::string closed = settings_.CloseKey(); error.empty()) {
            error = closed;
        }
        if (!error.empty()) {
            Inform(error);
        }
    }
    return true;
}

void TfrmMains::LogProgrammer() {
    if (state_.connection.LinkState != 1) {
        if (state_.link->HeldElsewhere()) {
            std::string line = " ";
            AppendLine(line += state_.link->OpenProblem());
        }
        return;
    }
    if (programmers_ != nullptr && programmers_->Attached().names.size() > 1) {
        AppendLine(" Programmer: " + state_.link->Name());
    }
}

void TfrmMains::SB_LoadClick() {
    if (state_.connection.LinkState == 1 && !operations_->Busy()) {
        loadFlow_->Run();
    }
}

bool TfrmMains::LoadAllowed() const {
    return state_.connection.LinkState == 1 && !operations_->Busy() &&
           buttons_.at("SB_Load")->isEnabled();
}

void TfrmMains::dragEnterEvent(QDragEnterEvent* event) {
    if (LoadAllowed() && DroppedFile(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void TfrmMains::dropEvent(QDropEvent* event) {
    const auto file = DroppedFile(event->mimeData());
    if (!file || !LoadAllowed()) {
        return;
    }
    event->acceptProposedAction();
    // Once the drop is over: the format dialog must not run inside the drag.
    QMetaObject::invokeMethod(
        this,
        [this, file = *file] {
            if (LoadAllowed()) {
                loadFlow_->RunWithFile(file);
            }
        },
        Qt::QueuedConnection);
}

void TfrmMains::SB_SaveClick() {
    if (state_.connection.LinkState == 1 && !operations_->Busy()) {
        saveFlow_->Run();
    }
}

void TfrmMains::SB_EditClick() {
    if (state_.connection.LinkState == 1 && !operations_->Busy()) {
        RunHexEditor(state_, EditorWindow{*this, dialogs_, [this] { RefreshChecksum(); }});
    }
}

void TfrmMains::SB_ConfigClick() {
    if (state_.connection.LinkState == 1 && !operations_->Busy()) {
        RunConfigDialog(state_, ConfigWindow{*this, dialogs_, [this] { RefreshChecksum(); }});
    }
}

void TfrmMains::SB_OptionClick() {
    if (state_.connection.LinkState == 1 && !operations_->Busy()) {
        RunOptionsDialog(state_, OptionsWindow{*this, dialogs_, buttons_["SB_Erase"]->isEnabled(),
                                               [this] { RefreshChecksum(); }});
    }
}

void TfrmMains::SB_TestClick() {
    if (!operations_->Busy()) {
        RunSelfTest(state_.link.get(), state_.connection.HardwareModel, state_.DefaultDir,
                    SelfTestWindow{*this, dialogs_});
    }
}

void TfrmMains::SB_SelectClick() {
    if (!operations_->Busy()) {
        selection_->Run();
    }
}

int TfrmMains::LastOperationUiUpdates() const {
    return operations_->LastUiUpdates();
}

bool TfrmMains::OperationBusy() const {
    return operations_->Busy();
}

void TfrmMains::SB_ReadClick(QToolButton* button) {
    for (const auto& op : kOperationButtons) {
        if (button->objectName() == op.name) {
            operations_->Run(op.code, op.caption);
        }
    }
}

}  // namespace kardo
