// SPDX-License-Identifier: GPL-3.0-or-later
#include "buffertools/forms/THexEditor.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "buffertools/HexEditorModel.h"
#include "buffertools/HexEntry.h"
#include "buffertools/forms/TSearsForm.h"
#include "buffertools/forms/TfrmCopy.h"
#include "buffertools/forms/TfrmFill.h"
#include "common/Format.h"
#include "common/forms/Dialogs.h"
#include "common/forms/WindowLook.h"

namespace kardo {
namespace {

constexpr int kRowHeight = 18;
const QString kMessageCaption = "KARDO";

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

// The navigation keys of the grids: each only sets the next hex digit back to the high one.
// Shift and Caps Lock are not among them: an upper-case digit typed with Shift would
// otherwise cut the byte in half, its low digit landing on the high one.
bool IsPhaseResetKey(int key) {
    switch (key) {
        case Qt::Key_Backspace:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Escape:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Insert:
        case Qt::Key_Delete:
        case Qt::Key_QuoteLeft:
            return true;
        default:
            return false;
    }
}

QPushButton* Button(QWidget* parent, const char* name, const char* text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

THexEditor::THexEditor(HexEditorModel& model, const DeviceRecord& record,
                       std::function<uint32_t()> checksum, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent),
      model_(model),
      record_(record),
      checksum_(std::move(checksum)),
      dialogs_(dialogs) {
    setObjectName("THexEditor");
    setWindowTitle("Hex Editor");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    TakeLookOf(*this, parent);
    BuildControls();
    ShowPage();
    ShowChecksum();
}

QTableWidget* THexEditor::Grid(const char* name, int columns, int cellWidth) {
    auto* grid = new QTableWidget(HexEditorModel::kRows, columns, this);
    grid->setObjectName(name);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setMinimumSectionSize(cellWidth);
    grid->horizontalHeader()->setDefaultSectionSize(cellWidth);
    grid->verticalHeader()->setMinimumSectionSize(kRowHeight);
    grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setTabKeyNavigation(false);
    grid->setFixedSize(columns * cellWidth + 2 * grid->frameWidth(),
                       HexEditorModel::kRows * kRowHeight + 2 * grid->frameWidth());
    for (int r = 0; r < HexEditorModel::kRows; ++r) {
        for (int c = 0; c < columns; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            grid->setItem(r, c, item);
        }
    }
    grid->installEventFilter(this);
    connect(grid, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { CellSelected(row, column); });
    return grid;
}

void THexEditor::BuildControls() {
    auto* layout = new QGridLayout(this);
    const auto label = [this](const char* name, const char* text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        return l;
    };
    layout->addWidget(label("Label1", "Address"), 0, 0);
    layout->addWidget(label("Label2", "Hex Data"), 0, 1);
    layout->addWidget(label("Label3", "Ascii Data"), 0, 2);
    StringGrid2 = Grid("StringGrid2", 1, 80);
    StringGrid1 = Grid("StringGrid1", HexEditorModel::kColumns, 24);
    StringGrid3 = Grid("StringGrid3", HexEditorModel::kColumns, 13);
    layout->addWidget(StringGrid2, 1, 0);
    layout->addWidget(StringGrid1, 1, 1);
    layout->addWidget(StringGrid3, 1, 2);
    connect(StringGrid1, &QTableWidget::cellPressed, this, [this] { model_.ResetPhase(); });

    ScrollBar1 = new QScrollBar(Qt::Vertical, this);
    ScrollBar1->setObjectName("ScrollBar1");
    ScrollBar1->setSingleStep(1);
    ScrollBar1->setPageStep(HexEditorModel::kRows);
    layout->addWidget(ScrollBar1, 1, 3);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this](int position) {
        if (!syncing_) {
            model_.ScrollTo(static_cast<std::size_t>(position));
            ShowPage();
        }
    });

    auto* foot = new QHBoxLayout;
    CurrAdd = new QLineEdit(this);
    CurrAdd->setObjectName("CurrAdd");
    CurrAdd->setMaxLength(8);
    CurrAdd->setStyleSheet("QLineEdit { color: yellow; background: black; }");
    CurrAdd->installEventFilter(this);
    foot->addWidget(CurrAdd);
    CsumText = new QLabel(this);
    CsumText->setObjectName("CsumText");
    CsumText->setStyleSheet("QLabel { color: red; font-weight: bold; }");
    foot->addWidget(CsumText);
    Home = Button(this, "Home", "Home");
    Search = Button(this, "Search", "Find");
    Again = Button(this, "Again", "Again");
    Fill = Button(this, "Fill", "Fill");
    BtCopy = Button(this, "BtCopy", "Copy");
    BtMove = Button(this, "BtMove", "Move");
    BitBtn1 = Button(this, "BitBtn1", "OK");
    for (QPushButton* b : {Home, Search, Again, Fill, BtCopy, BtMove, BitBtn1}) {
        foot->addWidget(b);
    }
    layout->addLayout(foot, 2, 0, 1, 4);
    connect(Home, &QPushButton::clicked, this, &THexEditor::HomeClick);
    connect(Search, &QPushButton::clicked, this, &THexEditor::SearchClick);
    connect(Again, &QPushButton::clicked, this, &THexEditor::AgainClick);
    connect(Fill, &QPushButton::clicked, this, &THexEditor::FillClick);
    connect(BtCopy, &QPushButton::clicked, this, [this] { CopyOrMoveClick(false); });
    connect(BtMove, &QPushButton::clicked, this, [this] { CopyOrMoveClick(true); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void THexEditor::ShowPage(bool currAddToo) {
    const bool wasSyncing = syncing_;
    syncing_ = true;
    for (int r = 0; r < HexEditorModel::kRows; ++r) {
        const bool rowInRange = model_.ByteAt(r, 0).has_value();
        StringGrid2->item(r, 0)->setText(
            rowInRange ? Text(HexEditorModel::AddressText(model_.Index(r, 0))) : QString());
        for (int c = 0; c < HexEditorModel::kColumns; ++c) {
            const std::optional<uint8_t> byte = model_.ByteAt(r, c);
            StringGrid1->item(r, c)->setText(byte ? Text(HexEditorModel::HexText(*byte))
                                                  : QString());
            StringGrid3->item(r, c)->setText(
                byte ? QString(QChar::fromLatin1(HexEditorModel::CharacterOf(*byte))) : QString());
        }
    }
    StringGrid1->setCurrentCell(model_.row(), model_.column());
    StringGrid2->setCurrentCell(model_.row(), 0);
    StringGrid3->setCurrentCell(model_.row(), model_.column());
    ScrollBar1->setRange(0, static_cast<int>(model_.ScrollMaximum()));
    ScrollBar1->setValue(static_cast<int>(model_.ScrollPosition()));
    if (currAddToo) {
        CurrAdd->setText(Text(HexEditorModel::AddressText(model_.CurrentIndex())));
    }
    syncing_ = wasSyncing;
}

void THexEditor::ShowChecksum() {
    CsumText->setText(Text(Format("0x%.4X", checksum_() & 0xFFFFu)));
}

// A click or the grid's own movement: the other grids follow, on the same cell.
void THexEditor::CellSelected(int row, int column) {
    if (syncing_ || row < 0 || column < 0) {
        return;
    }
    if (sender() == StringGrid2) {
        column = model_.column();
    }
    model_.Select(row, column);
    ShowPage();
}

bool THexEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == CurrAdd) {
        return CurrAddKeyPress(key);
    }
    for (QTableWidget* grid : {StringGrid1, StringGrid2, StringGrid3}) {
        if (watched == grid) {
            return GridKeyDown(grid, key);
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool THexEditor::GridKeyDown(QTableWidget* grid, QKeyEvent* key) {
    const bool addressColumn = grid == StringGrid2;
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return true;
        case Qt::Key_PageUp:
            model_.PageUp();
            break;
        case Qt::Key_PageDown:
            model_.PageDown();
            break;
        case Qt::Key_Up:
            model_.Up();
            break;
        case Qt::Key_Down:
            model_.Down();
            break;
        case Qt::Key_Left:
            addressColumn ? model_.AddressDigitLeft() : (void)model_.Left();
            break;
        case Qt::Key_Right:
            addressColumn ? model_.AddressDigitRight() : (void)model_.Right();
            break;
        default:
            if (IsPhaseResetKey(key->key())) {
                model_.ResetPhase();
                model_.ResetAddressDigit();
                return true;
            }
            if (key->text().isEmpty()) {
                return false;
            }
            if (grid == StringGrid1) {
                StringGrid1Typed(key->text());
            } else if (grid == StringGrid3) {
                StringGrid3Typed(key->text());
            } else {
                StringGrid2Typed(key->text());
            }
            return true;
    }
    if (addressColumn && key->key() != Qt::Key_Left && key->key() != Qt::Key_Right) {
        model_.ResetAddressDigit();
    }
    ShowPage();
    return true;
}

void THexEditor::StringGrid1Typed(const QString& text) {
    const char c = text.front().toLatin1();
    if (!model_.TypeHexDigit(c)) {
        dialogs_.ShowMessage(this, "This isn't a valid hex value: " + text, kMessageCaption,
                             Dialogs::Icon::Error);
    }
    ShowPage();
    ShowChecksum();
}

void THexEditor::StringGrid3Typed(const QString& text) {
    model_.TypeCharacter(static_cast<uint8_t>(text.front().toLatin1()));
    ShowPage();
    ShowChecksum();
}

void THexEditor::StringGrid2Typed(const QString& text) {
    if (model_.TypeRowAddressDigit(text.front().toLatin1())) {
        ShowPage();
    }
}

bool THexEditor::CurrAddKeyPress(QKeyEvent* key) {
    switch (key->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return false;  // the caret moves, and focus leaves, as in any box
        default:
            break;
    }
    // Overwrite mode: a digit replaces the one at the caret; nothing else changes the box.
    if (!key->text().isEmpty()) {
        const auto entry =
            model_.TypeCurrAddDigit(CurrAdd->text().toStdString(), CurrAdd->cursorPosition(),
                                    key->text().front().toLatin1());
        if (entry) {
            ShowPage(false);
            CurrAdd->setText(Text(entry->text));
            CurrAdd->setCursorPosition(entry->caret);
        }
    }
    return true;
}

void THexEditor::HomeClick() {
    model_.Home();
    ShowPage();
}

void THexEditor::ReportSearch(bool found) {
    ShowPage();
    if (!found) {
        dialogs_.ShowMessage(this, "Not Found", kMessageCaption, Dialogs::Icon::Information);
    }
}

void THexEditor::SearchClick() {
    TSearsForm form(dialogs_, this);
    if (dialogs_.Run(form) == QDialog::Accepted) {
        ReportSearch(model_.FindFromStart(form.pattern()));
    }
}

void THexEditor::AgainClick() {
    // Nothing has been looked for yet: there is nothing to find again.
    if (model_.HasPattern()) {
        ReportSearch(model_.FindAgain());
    }
}

void THexEditor::FillClick() {
    TfrmFill form(model_, record_, dialogs_, this);
    dialogs_.Run(form);
    model_.Home();
    ShowPage();
    ShowChecksum();
}

void THexEditor::CopyOrMoveClick(bool move) {
    TfrmCopy form(model_, move ? TfrmCopy::Mode::Move : TfrmCopy::Mode::Copy, dialogs_, this);
    dialogs_.Run(form);
    ShowPage();
    ShowChecksum();
}

}  // namespace kardo
