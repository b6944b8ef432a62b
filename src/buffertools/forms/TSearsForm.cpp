// SPDX-License-Identifier: GPL-3.0-or-later
#include "buffertools/forms/TSearsForm.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "buffertools/HexEntry.h"
#include "common/HexText.h"
#include "common/forms/Dialogs.h"
#include "common/forms/WindowLook.h"

namespace kardo {

TSearsForm::TSearsForm(Dialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
    setObjectName("TSearsForm");
    setWindowTitle("Search");
    TakeLookOf(*this, parent);
    auto* layout = new QGridLayout(this);
    Label1 = new QLabel("Search for Hex:", this);
    Label1->setObjectName("Label1");
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Button1 = new QPushButton("Find", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    HexAscii = new QPushButton("Ascii", this);
    HexAscii->setObjectName("HexAscii");
    HexAscii->setAutoDefault(false);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Edit1, 1, 0, 1, 2);
    layout->addWidget(Button1, 2, 0);
    layout->addWidget(HexAscii, 2, 1);
    connect(Button1, &QPushButton::clicked, this, &TSearsForm::Button1Click);
    connect(HexAscii, &QPushButton::clicked, this, &TSearsForm::HexAsciiClick);
}

bool TSearsForm::HexMode() const {
    return HexAscii->text() == "Ascii";
}

void TSearsForm::HexAsciiClick() {
    if (HexAscii->text() == "Hex") {
        HexAscii->setText("Ascii");
        Label1->setText("Search for Hex:");
    } else {
        HexAscii->setText("Hex");
        Label1->setText("Search for Ascii:");
    }
}

void TSearsForm::Button1Click() {
    if (!HexMode()) {
        // The characters as they are: the bytes compare exactly, case and all.
        const QByteArray text = Edit1->text().toLatin1();
        if (text.isEmpty()) {
            return;  // nothing to look for
        }
        pattern_.assign(text.begin(), text.end());
        accept();
        return;
    }
    const QString upper = Edit1->text().toUpper();
    const HexPattern hex = ParseHexPattern(upper.toStdString());
    if (hex.problem == HexPattern::Problem::OddLength) {
        dialogs_.ShowMessage(this, "To few charaters in hex string", "KARDO", Dialogs::Icon::Error);
        return;
    }
    Edit1->setText(upper);
    if (hex.problem == HexPattern::Problem::NotHex) {
        dialogs_.ShowMessage(this, QString::fromStdString(NotAnIntegerText(hex.offending)), "KARDO",
                             Dialogs::Icon::Error);
        return;
    }
    pattern_ = hex.bytes;
    accept();
}

}  // namespace kardo
