// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kardo {

class Dialogs;
class HexEditorModel;

// "Copy" / "Move": a block of the buffer to another address. The checks refuse with a
// box and leave the dialog open; a block that passes is copied or moved and the dialog
// closes.
class TfrmCopy : public QDialog {
    Q_OBJECT
  public:
    enum class Mode { Copy, Move };
    TfrmCopy(HexEditorModel& model, Mode mode, Dialogs& dialogs, QWidget* parent);

  private:
    void FormCreate(Mode mode);
    void CopyBtClick();
    void MoveBtClick();
    // The three addresses and counts, or a box naming the field that is no number.
    struct Block {
        uint32_t from, count, to;
    };
    std::optional<Block> ReadBlock();

    HexEditorModel& model_;
    Dialogs& dialogs_;
    QLabel *Label1 = nullptr, *Label7 = nullptr;
    QLineEdit *BeginAdd = nullptr, *NrBytes = nullptr, *WhereAdd = nullptr, *ReplaceEd = nullptr;
    QPushButton *CopyBt = nullptr, *MoveBt = nullptr;
};

}  // namespace kardo
