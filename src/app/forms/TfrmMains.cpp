// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/forms/TfrmMains.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFrame>
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
#include "app/forms/ButtonIcons.h"
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
#include "fileio/forms/LoadFlow.h"
#include "fileio/forms/QtFileIoHost.h"
#include "fileio/forms/SaveFlow.h"
#include "link/Connection.h"

namespace kardo {

TfrmMains::TfrmMains(Services services, QWidget* parent)
    : QWidget(parent),
      dialogs_(services.dialogs),
      settings_(services.settings),
      sound_(services.sound),
      workingDirectory_(std::move(services.workingDirectory)) {
    state_.link = std::move(services.link);
    setObjectName("TfrmMains");
    setWindowTitle("KARDO");
    BuildControls();
    // A sound file found unplayable once loaded switches sound off, as a missing device does.
    sound_.SetLateFailureHandler([this] { state_.SoundON = false; });
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

void TfrmMains::BuildControls() {
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setAutoFillBackground(true);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    // Disabled captions stay readable on the grey background.
    grey.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x78, 0x78, 0x78));
    grey.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x78, 0x78, 0x78));
    setPalette(grey);
    setFixedSize(kMainWindowWidth, kMainWindowHeight);

    int left = kButtonRowLeft;
    for (const auto& b : kSpeedButtons) {
        auto* button = new QToolButton(this);
        button->setObjectName(b.name);
        button->setText(b.text);
        button->setIcon(ButtonIcon(b.name));
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setGeometry(left, kButtonRowTop, b.width, kButtonHeight);
        left += b.width;
        buttons_[b.name] = button;
        hints_[b.name] = b.hint;
        SetButton(button, b.enabled);
    }
    connect(buttons_["SB_Select"], &QToolButton::clicked, this, &TfrmMains::SB_SelectClick);
    connect(buttons_["SB_Load"], &QToolButton::clicked, this, &TfrmMains::SB_LoadClick);
    connect(buttons_["SB_Save"], &QToolButton::clicked, this, &TfrmMains::SB_SaveClick);
    connect(buttons_["SB_Edit"], &QToolButton::clicked, this, &TfrmMains::SB_EditClick);
    connect(buttons_["SB_Config"], &QToolButton::clicked, this, &TfrmMains::SB_ConfigClick);
    connect(buttons_["SB_Option"], &QToolButton::clicked, this, &TfrmMains::SB_OptionClick);
    connect(buttons_["SB_Test"], &QToolButton::clicked, this, &TfrmMains::SB_TestClick);
    for (const auto& op : kOperationButtons) {
        QToolButton* button = buttons_[op.name];
        connect(button, &QToolButton::clicked, this, [this, button] { SB_ReadClick(button); });
    }

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->move(8, 0);

    const auto makePanel = [this](const char* name, const auto& fields) {
        auto* panel = new QFrame(this);
        panel->setObjectName(name);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        for (const PanelField& f : fields) {
            const int x = 8 + 392 * f.column;
            const int y = 4 + (name == QString("Panel1") ? 18 : 24) * f.row;
            auto* caption = new QLabel(f.caption, panel);
            caption->move(x, y);
            auto* value = new QLabel(panel);
            value->setObjectName(f.value);
            value->setGeometry(x + 96, y, 280, 16);
            values_[f.value] = value;
        }
        panel->move(8, 0);
        return panel;
    };
    Panel1 = makePanel("Panel1", kPanel1Fields);
    Panel2 = makePanel("Panel2", kPanel2Fields);
    // The third signature byte sits beside the second on the "Device ID:" line.
    values_["DevIDL"]->resize(48, 16);
    auto* devIdl2 = new QLabel(Panel1);
    devIdl2->setObjectName("DevIDL2");
    devIdl2->setGeometry(values_["DevIDL"]->x() + 56, values_["DevIDL"]->y(), 48, 16);
    values_["DevIDL2"] = devIdl2;

    ClearMessages = new QPushButton("Clear", this);
    ClearMessages->setObjectName("ClearMessages");
    ClearMessages->setToolTip("Clear Messages");
    ClearMessages->setGeometry(8, 0, 75, 25);
    connect(ClearMessages, &QPushButton::clicked, this, &TfrmMains::ClearMessagesClick);

    ReconnectBT = new QPushButton("Reconnect", this);
    ReconnectBT->setObjectName("ReconnectBT");
    ReconnectBT->setGeometry(0, 0, 90, 25);
    connect(ReconnectBT, &QPushButton::clicked, this, &TfrmMains::ReconnectBTClick);

    FormResize();
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
    PlaySound(sound, state_.SoundON, state_.DefaultDir, sound_);
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
    state_.running = true;
    if (state_.link) {
        ReopenLink(*state_.link, state_.connection, *this);
    }
    // The programmer may be another one now: the device must be selected again.
    LockDeviceButtons(false);
    SetButton(buttons_["SB_Test"], true);
}

void TfrmMains::SB_LoadClick() {
    if (state_.connection.LinkState == 1 && !operations_->Busy()) {
        loadFlow_->Run();
    }
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
