// SPDX-License-Identifier: GPL-3.0-or-later
#include "buffertools/forms/TfrmFill.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "buffertools/HexEditorModel.h"
#include "buffertools/HexEntry.h"
#include "common/Format.h"
#include "common/HexText.h"
#include "common/forms/Dialogs.h"
#include "common/forms/WindowLook.h"

namespace kardo {
namespace {

// A box that shows what is typed in upper case.
QLineEdit* UpperCaseEdit(QWidget* parent, const char* name, int maxLength) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        const int caret = edit->cursorPosition();
        edit->setText(text.toUpper());
        edit->setCursorPosition(caret);
    });
    return edit;
}

}  // namespace

TfrmFill::TfrmFill(HexEditorModel& model, const DeviceRecord& record, Dialogs& dialogs,
                   QWidget* parent)
    : QDialog(parent), model_(model), dialogs_(dialogs) {
    setObjectName("TfrmFill");
    setWindowTitle("Buffer Fill");
    TakeLookOf(*this, parent);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* layout = new QGridLayout(this);
    Edit1 = UpperCaseEdit(this, "Edit1", 8);
    Edit2 = UpperCaseEdit(this, "Edit2", 8);
    Edit3 = UpperCaseEdit(this, "Edit3", 2);
    const auto label = [this](const char* name, const char* text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        return l;
    };
    layout->addWidget(label("Label1", "From"), 0, 0);
    layout->addWidget(Edit1, 0, 1);
    layout->addWidget(label("Label2", "To"), 1, 0);
    layout->addWidget(Edit2, 1, 1);
    layout->addWidget(label("Label3", "Data"), 2, 0);
    layout->addWidget(Edit3, 2, 1);
    RadioButton1 = new QRadioButton("Byte", this);
    RadioButton1->setObjectName("RadioButton1");
    RadioButton2 = new QRadioButton("Word", this);
    RadioButton2->setObjectName("RadioButton2");
    layout->addWidget(RadioButton1, 3, 0);
    layout->addWidget(RadioButton2, 3, 1);
    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton("Cancel", this);
    BitBtn2->setObjectName("BitBtn2");
    layout->addWidget(BitBtn1, 4, 0);
    layout->addWidget(BitBtn2, 4, 1);
    connect(RadioButton1, &QRadioButton::clicked, this, &TfrmFill::RadioButton1Click);
    connect(RadioButton2, &QRadioButton::clicked, this, &TfrmFill::RadioButton2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmFill::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    FormCreate(record);
}

void TfrmFill::FormCreate(const DeviceRecord& record) {
    Edit1->setText("0");
    Edit2->setText(
        QString::fromStdString(Format("%.8X", static_cast<uint32_t>(record.LastAddress()))));
    const char family = record.Family();
    // The word families fill with their erased word, the blank value above 0xFF.
    if (family == 'C' || family == 'O' || family == 'Y') {
        RadioButton2->setChecked(true);
        Edit3->setMaxLength(4);
        Edit3->setText(QString::fromStdString(Format("%X", record.BlankValue() * 256u + 0xFF)));
    } else {
        RadioButton1->setChecked(true);
        Edit3->setText(QString::fromStdString(Format("%.2X", record.BlankValue())));
    }
}

void TfrmFill::RadioButton1Click() {
    Edit3->setMaxLength(2);
    Edit3->setText("00");
}

void TfrmFill::RadioButton2Click() {
    Edit3->setMaxLength(4);
    Edit3->setText("0000");
}

void TfrmFill::BitBtn1Click() {
    for (QLineEdit* field : {Edit1, Edit2, Edit3}) {
        if (!IsHexText(field->text().toStdString())) {
            dialogs_.ShowMessage(this, field->text(), "Error : Not a Valid Hex Value",
                                 Dialogs::Icon::Error);
            accept();
            return;
        }
    }
    const uint32_t from = ParseHexText(Edit1->text().toStdString());
    const uint32_t to = ParseHexText(Edit2->text().toStdString());
    const auto data = static_cast<uint16_t>(ParseHexText(Edit3->text().toStdString()));
    switch (model_.Fill(from, to, data, RadioButton2->isChecked())) {
        case FillResult::Filled:
            break;
        case FillResult::ToBelowFrom:
            dialogs_.ShowMessage(this, "'To' has to be greater than 'From'", "Invalid Data",
                                 Dialogs::Icon::Error);
            break;
        case FillResult::BeyondRange:
            dialogs_.ShowMessage(
                this,
                QString::fromStdString(
                    Format("'From' and 'To' have to lie within the buffer: "
                           "the last address is %.8X",
                           static_cast<unsigned>(model_.range() == 0 ? 0 : model_.range() - 1))),
                "Invalid Data", Dialogs::Icon::Error);
            break;
    }
    accept();
}

}  // namespace kardo
