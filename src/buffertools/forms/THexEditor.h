// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>

#include "devicedb/DeviceRecord.h"

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTableWidget;

namespace kardo {

class Dialogs;
class HexEditorModel;

// "Hex Editor": a page of the buffer as addresses, hex digits and characters. The model
// decides every move and every change; this window draws its page and hands it the keys.
// Each byte typed is in the buffer at once, and the checksum below follows it.
class THexEditor : public QDialog {
    Q_OBJECT
  public:
    THexEditor(HexEditorModel& model, const DeviceRecord& record,
               std::function<uint32_t()> checksum, Dialogs& dialogs, QWidget* parent);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    QTableWidget* Grid(const char* name, int columns, int cellWidth);
    // Shows the page, the cursor, the scroll bar and (unless it is being typed into) the
    // current-address box.
    void ShowPage(bool currAddToo = true);
    void ShowChecksum();
    void CellSelected(int row, int column);

    // The keys of the three grids: navigation is shared, typing is each grid's own.
    bool GridKeyDown(QTableWidget* grid, QKeyEvent* key);
    void StringGrid1Typed(const QString& text);
    void StringGrid3Typed(const QString& text);
    void StringGrid2Typed(const QString& text);
    bool CurrAddKeyPress(QKeyEvent* key);

    void HomeClick();
    void SearchClick();
    void AgainClick();
    void FillClick();
    void CopyOrMoveClick(bool move);
    void ReportSearch(bool found);

    HexEditorModel& model_;
    const DeviceRecord record_;
    std::function<uint32_t()> checksum_;
    Dialogs& dialogs_;
    bool syncing_ = false;  // the grids' selection handlers do not call one another

    QTableWidget* StringGrid1 = nullptr;  // hex digits
    QTableWidget* StringGrid2 = nullptr;  // row addresses
    QTableWidget* StringGrid3 = nullptr;  // characters
    QScrollBar* ScrollBar1 = nullptr;
    QLineEdit* CurrAdd = nullptr;
    QLabel* CsumText = nullptr;
    QPushButton *Home = nullptr, *Search = nullptr, *Again = nullptr, *Fill = nullptr,
                *BtCopy = nullptr, *BtMove = nullptr, *BitBtn1 = nullptr;
};

}  // namespace kardo
