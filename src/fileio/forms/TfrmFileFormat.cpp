// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/forms/TfrmFileFormat.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "common/HexText.h"
#include "common/forms/WindowLook.h"
#include "fileio/FileChoices.h"

namespace kardo {
namespace {

QRadioButton* Radio(QWidget* group, const char* name, const char* text, int y) {
    auto* button = new QRadioButton(text, group);
    button->setObjectName(name);
    button->setGeometry(10, y, group->width() - 16, 20);
    return button;
}

QGroupBox* Group(QWidget* parent, const char* name, const char* title, QRect where) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(name);
    group->setGeometry(where);
    return group;
}

// At most eight hexadecimal digits; anything else cannot be typed.
QLineEdit* HexEdit(QWidget* group, const char* name, const char* text, QRect where, bool upper) {
    auto* edit = new QLineEdit(text, group);
    edit->setObjectName(name);
    edit->setGeometry(where);
    edit->setMaxLength(8);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9A-Fa-f]{0,8}"), edit));
    if (upper) {
        QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& typed) {
            const int cursor = edit->cursorPosition();
            edit->setText(typed.toUpper());
            edit->setCursorPosition(cursor);
        });
    }
    return edit;
}

void Label(QWidget* group, const char* name, const char* text, QRect where) {
    auto* label = new QLabel(text, group);
    label->setObjectName(name);
    label->setGeometry(where);
}

}  // namespace

TfrmFileFormat::TfrmFileFormat(Mode mode, FileSettings& settings, const DeviceRecord& record,
                               bool oddEven, QWidget* parent)
    : QDialog(parent), mode_(mode), settings_(settings) {
    setObjectName("TfrmFileFormat");
    setWindowTitle("Select File Format");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(520, 220);
    BuildControls();
    F3_init(record, oddEven);
    if (parent != nullptr) {
        move(parent->geometry().center() - rect().center());
    }
}

void TfrmFileFormat::BuildControls() {
    GroupBox2 = Group(this, "GroupBox2", " File Format  ", {8, 8, 170, 172});
    RB_Intelhex = Radio(GroupBox2, "RB_Intelhex", "Intel Hex", 22);
    RB_Motorola = Radio(GroupBox2, "RB_Motorola", "Motorola", 47);
    RB_Binary = Radio(GroupBox2, "RB_Binary", "Binary", 72);
    RB_Inh8m = Radio(GroupBox2, "RB_Inh8m", "Inh8m", 97);
    RB_Inx16 = Radio(GroupBox2, "RB_Inx16", "Inx16", 122);

    GroupBox1 = Group(this, "GroupBox1", " Buffer Fill Option ", {186, 8, 326, 112});
    RB_Default = Radio(GroupBox1, "RB_Default", "Fill with Device default", 20);
    RB_Zero = Radio(GroupBox1, "RB_Zero", "Fill with 0x00", 42);
    RB_FF = Radio(GroupBox1, "RB_FF", "Fill with 0xFF", 64);
    RB_No = Radio(GroupBox1, "RB_No", "Disable", 86);

    GroupBox3 = Group(this, "GroupBox3", " Offset ", {186, 124, 326, 56});
    Edit1 = HexEdit(GroupBox3, "Edit1", "0", {10, 24, 100, 22}, false);
    Label(GroupBox3, "Label3", "Hex", {116, 26, 40, 18});
    // Side by side on the field's line: stacked, "Add" sat on the group's title line.
    RB_Add = Radio(GroupBox3, "RB_Add", "Add", 24);
    RB_Add->setGeometry(160, 24, 64, 22);
    RB_Sub = Radio(GroupBox3, "RB_Sub", "Subtract", 24);
    RB_Sub->setGeometry(226, 24, 96, 22);

    GroupBox4 = Group(this, "GroupBox4", " Start - Stop ", {186, 124, 326, 56});
    Label(GroupBox4, "Label1", "Start", {10, 26, 50, 18});
    Edit2 = HexEdit(GroupBox4, "Edit2", "0", {62, 24, 96, 22}, true);
    Label(GroupBox4, "Label2", "Stop", {170, 26, 44, 18});
    Edit3 = HexEdit(GroupBox4, "Edit3", "", {216, 24, 100, 22}, true);

    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setGeometry(160, 188, 90, 26);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton("Cancel", this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn2->setGeometry(270, 188, 90, 26);

    // Checking a button from code runs its handler as a click does.
    for (QRadioButton* b : {RB_Default, RB_Zero, RB_FF, RB_No}) {
        connect(b, &QRadioButton::toggled, this, [this, b](bool on) {
            if (on)
                RB_FillClick(b);
        });
    }
    for (QRadioButton* b : {RB_Intelhex, RB_Motorola, RB_Binary, RB_Inh8m, RB_Inx16}) {
        connect(b, &QRadioButton::toggled, this, [this, b](bool on) {
            if (on)
                F_FormatClick(b);
        });
    }
    for (QRadioButton* b : {RB_Add, RB_Sub}) {
        connect(b, &QRadioButton::toggled, this, [this, b](bool on) {
            if (on)
                OffSet(b);
        });
    }
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmFileFormat::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TfrmFileFormat::BitBtn2Click);
}

void TfrmFileFormat::F3_init(const DeviceRecord& record, bool oddEven) {
    if (record.Family() == 'C') {
        for (QRadioButton* b : {RB_Intelhex, RB_Motorola, RB_Binary})
            b->setEnabled(false);
        GroupBox3->hide();
        RB_Default->setChecked(true);
        RB_Inh8m->setChecked(true);
    } else {
        RB_Inh8m->setEnabled(false);
        RB_Inx16->setEnabled(false);
        (settings_.offsetAdd ? RB_Add : RB_Sub)->setChecked(true);
        RB_Default->setChecked(true);
        switch (settings_.format) {
            case format::Motorola:
                RB_Motorola->setChecked(true);
                break;
            case format::Binary:
            case format::Inh8m:  // the "All Files" filter of the load dialog
                RB_Binary->setChecked(true);
                break;
            default:
                RB_Intelhex->setChecked(true);
                break;
        }
    }
    if (mode_ == Mode::Save) {
        GroupBox1->hide();
        GroupBox3->hide();
        GroupBox4->show();
        Edit3->setText(QString::fromStdString(DefaultSaveStopText(record, false)));
    } else {
        GroupBox4->hide();
        const int64_t magnitude = settings_.offset < 0 ? -settings_.offset : settings_.offset;
        Edit1->setText(QString::number(magnitude, 16).toUpper());
    }
    if (record.Family() == 'R' && oddEven) {
        Edit3->setText(QString::fromStdString(DefaultSaveStopText(record, true)));
    }
    TakeLookOf(*this, parentWidget());
}

void TfrmFileFormat::RB_FillClick(QRadioButton* button) {
    settings_.fill = button == RB_Default ? fill::DeviceDefault
                     : button == RB_Zero  ? fill::Zero
                     : button == RB_FF    ? fill::FF
                                          : fill::Disable;
}

void TfrmFileFormat::F_FormatClick(QRadioButton* button) {
    settings_.format = button == RB_Intelhex   ? format::IntelHex
                       : button == RB_Motorola ? format::Motorola
                       : button == RB_Binary   ? format::Binary
                       : button == RB_Inh8m    ? format::Inh8m
                                               : format::Inx16;
}

void TfrmFileFormat::OffSet(QRadioButton* button) {
    settings_.offsetAdd = button == RB_Add;
}

void TfrmFileFormat::BitBtn1Click() {
    if (mode_ == Mode::Load) {
        const int64_t value = ParseHexText(Edit1->text().toStdString());
        settings_.offset = settings_.offsetAdd ? value : -value;
    }
    accept();
}

void TfrmFileFormat::BitBtn2Click() {
    reject();
}

// Cancel and Esc both end here.
void TfrmFileFormat::reject() {
    settings_.format = format::Cancelled;
    QDialog::reject();
}

std::string TfrmFileFormat::StartText() const {
    return Edit2->text().toStdString();
}
std::string TfrmFileFormat::StopText() const {
    return Edit3->text().toStdString();
}

}  // namespace kardo
