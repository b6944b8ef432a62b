// SPDX-License-Identifier: GPL-3.0-or-later
#include "buffertools/forms/TfrmCopy.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "buffertools/BlockEdits.h"
#include "buffertools/HexEditorModel.h"
#include "buffertools/HexEntry.h"
#include "common/HexText.h"
#include "common/forms/Dialogs.h"
#include "common/forms/WindowLook.h"

namespace kardo {
namespace {

const QString kCaption = "KARDO";

}  // namespace

TfrmCopy::TfrmCopy(HexEditorModel& model, Mode mode, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), model_(model), dialogs_(dialogs) {
    setObjectName("TfrmCopy");
    TakeLookOf(*this, parent);
    auto* layout = new QGridLayout(this);
    const auto label = [this](const char* name, const char* text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        return l;
    };
    const auto edit = [this](const char* name, int maxLength) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        if (maxLength > 0) {
            e->setMaxLength(maxLength);
        }
        return e;
    };
    Label1 = label("Label1", "Copy");
    layout->addWidget(Label1, 0, 0, 1, 2);
    layout->addWidget(label("Label6", "From"), 1, 0);
    layout->addWidget(label("Label3", "Begin address"), 2, 0);
    BeginAdd = edit("BeginAdd", 8);
    layout->addWidget(BeginAdd, 2, 1);
    layout->addWidget(label("Label2", "Number of bytes"), 3, 0);
    NrBytes = edit("NrBytes", 0);
    layout->addWidget(NrBytes, 3, 1);
    layout->addWidget(label("Label4", "To"), 4, 0);
    layout->addWidget(label("Label5", "Address"), 5, 0);
    WhereAdd = edit("WhereAdd", 8);
    layout->addWidget(WhereAdd, 5, 1);
    Label7 = label("Label7", "Replace Moved with");
    layout->addWidget(Label7, 6, 0);
    ReplaceEd = edit("ReplaceEd", 2);
    ReplaceEd->setToolTip("Leave empty if you don't want to Replace values");
    layout->addWidget(ReplaceEd, 6, 1);
    layout->addWidget(label("Label8", "All HEX values"), 7, 0);
    CopyBt = new QPushButton("Copy", this);
    CopyBt->setObjectName("CopyBt");
    MoveBt = new QPushButton("Move", this);
    MoveBt->setObjectName("MoveBt");
    layout->addWidget(CopyBt, 8, 0);
    layout->addWidget(MoveBt, 8, 1);
    connect(CopyBt, &QPushButton::clicked, this, &TfrmCopy::CopyBtClick);
    connect(MoveBt, &QPushButton::clicked, this, &TfrmCopy::MoveBtClick);
    FormCreate(mode);
}

void TfrmCopy::FormCreate(Mode mode) {
    BeginAdd->setText(QString::fromStdString(HexEditorModel::AddressText(model_.CurrentIndex())));
    WhereAdd->setText("00000000");
    const bool move = mode == Mode::Move;
    setWindowTitle(move ? "Move" : "Copy");
    Label1->setText(move ? "Move" : "Copy");
    CopyBt->setVisible(!move);
    MoveBt->setVisible(move);
    Label7->setVisible(move);
    ReplaceEd->setVisible(move);
    (move ? MoveBt : CopyBt)->setDefault(true);
}

std::optional<TfrmCopy::Block> TfrmCopy::ReadBlock() {
    uint32_t values[3] = {};
    const QLineEdit* fields[3] = {BeginAdd, NrBytes, WhereAdd};
    for (int i = 0; i < 3; ++i) {
        const std::string text = fields[i]->text().toStdString();
        const std::optional<uint32_t> value = ParseHexNumber(text);
        if (!value) {
            dialogs_.ShowMessage(this, QString::fromStdString(NotAnIntegerText(text)), kCaption,
                                 Dialogs::Icon::Error);
            return std::nullopt;
        }
        values[i] = *value;
    }
    return Block{values[0], values[1], values[2]};
}

void TfrmCopy::CopyBtClick() {
    const std::optional<Block> block = ReadBlock();
    if (!block) {
        return;
    }
    if (BlocksOverlap(block->from, block->count, block->to)) {
        dialogs_.ShowMessage(this, "The adresses are over lapping", kCaption, Dialogs::Icon::Error);
        return;
    }
    model_.CopyMove(block->from, block->count, block->to, Replacement{});
    accept();
}

void TfrmCopy::MoveBtClick() {
    const std::optional<Replacement> replace = ParseReplacement(ReplaceEd->text().toStdString());
    if (!replace) {
        dialogs_.ShowMessage(this, "Replace Value need two Hex Values ", kCaption,
                             Dialogs::Icon::Error);
        return;
    }
    const std::optional<Block> block = ReadBlock();
    if (!block) {
        return;
    }
    model_.CopyMove(block->from, block->count, block->to, *replace);
    accept();
}

}  // namespace kardo
