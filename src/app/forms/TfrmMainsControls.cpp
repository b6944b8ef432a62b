// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls: the button row, the log, the two panels and the two
// buttons under them, with the window's font and colours.
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include "app/MainWindowLayout.h"
#include "app/forms/ButtonIcons.h"
#include "app/forms/MainWindowControls.h"
#include "app/forms/TfrmMains.h"

namespace kardo {

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
    setAcceptDrops(true);

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

}  // namespace kardo
