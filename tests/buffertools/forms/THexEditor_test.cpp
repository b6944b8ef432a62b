// SPDX-License-Identifier: GPL-3.0-or-later
// The hex editor from the main window's Edit button, typed into as a user does, with its
// search, fill, copy and move dialogs.
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

#include "common/Format.h"
#include "devicedb/Checksum.h"
#include "support/forms/ShippedBench.h"
#include "support/forms/UserActions.h"

using namespace kardo;
using namespace kardo::test;

namespace {

// The 32 KiB EEPROM: the editor reaches 0x8000 bytes, the last page starts at 0x7F00.
struct EditorBench : ShippedBench {
    EditorBench() : ShippedBench("RadioButton2", 0, 2, "AT28C256") {}
    DeviceBuffer& buffer() { return f->state().buffer; }
    QString Checksum() {
        return QString::fromStdString(
            ChecksumText(ComputeChecksum(*f->state().record, f->state().buffer)));
    }
    QStringList Messages() {
        QStringList texts;
        for (const auto& m : f->dialogs.messages) {
            texts << m.text;
        }
        return texts;
    }
    // Opens the editor with the Edit button, lets `user` work in it, then OK.
    void InEditor(std::function<void(QDialog&)> user) {
        f->dialogs.drivers.push_back([user](QDialog& editor) {
            QCOMPARE(editor.windowTitle(), QString("Hex Editor"));
            user(editor);
            Click(editor.findChild<QPushButton*>("BitBtn1"));
        });
        Click(f->button("SB_Edit"));
        QVERIFY(f->dialogs.drivers.empty());
    }
    // The next dialog a button of the editor opens is worked by `user`.
    void Then(std::function<void(QDialog&)> user) { f->dialogs.drivers.push_back(user); }
};

QTableWidget* GridIn(QDialog& d, const char* name) {
    return d.findChild<QTableWidget*>(name);
}
QLineEdit* EditIn(QDialog& d, const char* name) {
    return d.findChild<QLineEdit*>(name);
}
QPushButton* ButtonIn(QDialog& d, const char* name) {
    return d.findChild<QPushButton*>(name);
}

void ClickCell(QTableWidget* grid, int row, int column) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualItemRect(grid->item(row, column)).center());
}

void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

QString Cell(QDialog& d, const char* grid, int row, int column = 0) {
    return GridIn(d, grid)->item(row, column)->text();
}

std::vector<uint8_t> Pattern(std::initializer_list<uint8_t> bytes) {
    return bytes;
}

}  // namespace

class THexEditorTest : public QObject {
    Q_OBJECT
  private slots:
    void typedBytesReachTheBufferAndTheChecksum();
    void pagingStopsAtTheEndsOfTheRange();
    void theAddressBoxMasksWhatIsTyped();
    void aSearchLandsOnItsHitAndAgainFindsTheNext();
    void theSearchTextIsCheckedAndTextIsCaseSensitive();
    void fillWritesWordsAndRefusesWhatLiesOutside();
    void copyRefusesOverlapAndMoveReplaces();
};

void THexEditorTest::typedBytesReachTheBufferAndTheChecksum() {
    EditorBench b;
    std::fill_n(b.buffer().data(), 0x8000, uint8_t{0x11});
    b.InEditor([&](QDialog& editor) {
        QTableWidget* hex = GridIn(editor, "StringGrid1");
        QTableWidget* chars = GridIn(editor, "StringGrid3");
        ClickCell(hex, 2, 3);
        QCOMPARE(chars->currentRow(), 2);
        QCOMPARE(chars->currentColumn(), 3);
        QCOMPARE(EditIn(editor, "CurrAdd")->text(), QString("00000023"));
        QTest::keyClick(hex, 'a');
        QCOMPARE(int(b.buffer()[0x23]), 0xA1);
        QCOMPARE(Cell(editor, "StringGrid1", 2, 3), QString("A1"));
        QTest::keyClick(hex, '5');
        QCOMPARE(int(b.buffer()[0x23]), 0xA5);
        QCOMPARE(Cell(editor, "StringGrid1", 2, 3), QString("A5"));
        QCOMPARE(Cell(editor, "StringGrid3", 2, 3), QString("."));
        QCOMPARE(hex->currentColumn(), 4);
        const QString shown = editor.findChild<QLabel*>("CsumText")->text();
        QCOMPARE(shown, "0x" + b.Checksum());

        QTest::keyClick(hex, 'G');
        QCOMPARE(b.Messages(), QStringList{"This isn't a valid hex value: G"});
        QCOMPARE(int(b.buffer()[0x24]), 0x11);
        QCOMPARE(Cell(editor, "StringGrid1", 2, 4), QString("11"));
        QCOMPARE(hex->currentColumn(), 4);

        ClickCell(chars, 0, 15);
        QTest::keyClick(chars, 'A');
        QCOMPARE(int(b.buffer()[0x0F]), 0x41);
        QCOMPARE(Cell(editor, "StringGrid1", 0, 15), QString("41"));
        QCOMPARE(chars->currentRow(), 1);  // on to the start of the next row
        QCOMPARE(chars->currentColumn(), 0);
        QCOMPARE(editor.findChild<QLabel*>("CsumText")->text(), "0x" + b.Checksum());
    });
    QCOMPARE(b.f->label("CheckL"), b.Checksum());
}

void THexEditorTest::pagingStopsAtTheEndsOfTheRange() {
    EditorBench b;
    b.InEditor([&](QDialog& editor) {
        QTableWidget* hex = GridIn(editor, "StringGrid1");
        QTableWidget* addresses = GridIn(editor, "StringGrid2");
        ClickCell(hex, 0, 5);
        QTest::keyClick(hex, Qt::Key_PageUp);
        QTest::keyClick(hex, Qt::Key_Up);
        QCOMPARE(Cell(editor, "StringGrid2", 0), QString("00000000"));
        QCOMPARE(hex->currentRow(), 0);
        QTest::keyClick(hex, Qt::Key_Down);
        QCOMPARE(hex->currentRow(), 1);
        for (int i = 0; i < 0x90; ++i) {
            QTest::keyClick(addresses, Qt::Key_PageDown);
        }
        QCOMPARE(Cell(editor, "StringGrid2", 0), QString("00007F00"));
        QCOMPARE(Cell(editor, "StringGrid2", 15), QString("00007FF0"));
        QCOMPARE(editor.findChild<QScrollBar*>("ScrollBar1")->value(), 0x7F0);
        ClickCell(hex, 15, 2);
        QTest::keyClick(hex, Qt::Key_Down);
        QCOMPARE(Cell(editor, "StringGrid2", 0), QString("00007F00"));
        QCOMPARE(hex->currentRow(), 15);
        QCOMPARE(EditIn(editor, "CurrAdd")->text(), QString("00007FF2"));
        // A row up from the top of a page moves the page by one row.
        ClickCell(hex, 0, 2);
        QTest::keyClick(hex, Qt::Key_Up);
        QCOMPARE(Cell(editor, "StringGrid2", 0), QString("00007EF0"));
        QCOMPARE(EditIn(editor, "CurrAdd")->text(), QString("00007EF2"));
        editor.findChild<QScrollBar*>("ScrollBar1")->setValue(0x10);
        QCOMPARE(Cell(editor, "StringGrid2", 0), QString("00000100"));
        Click(ButtonIn(editor, "Home"));
        QCOMPARE(Cell(editor, "StringGrid2", 0), QString("00000000"));
    });
}

void THexEditorTest::theAddressBoxMasksWhatIsTyped() {
    EditorBench b;
    b.InEditor([&](QDialog& editor) {
        QLineEdit* box = EditIn(editor, "CurrAdd");
        box->setCursorPosition(4);
        QTest::keyClicks(box, "1234");
        QCOMPARE(box->text(), QString("00001230"));
        QCOMPARE(Cell(editor, "StringGrid2", 0), QString("00001230"));
        QCOMPARE(GridIn(editor, "StringGrid1")->currentRow(), 0);
        QTest::keyClick(box, 'x');
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), QString("00001230"));
        Click(ButtonIn(editor, "Home"));
        box->setCursorPosition(0);
        QTest::keyClick(box, '7');
        QCOMPARE(box->text(), QString("00000000"));
        // Beyond the last page: the last page, on its last row.
        box->setCursorPosition(4);
        QTest::keyClicks(box, "7FF");
        QCOMPARE(box->text(), QString("00007FF0"));
        QCOMPARE(Cell(editor, "StringGrid2", 0), QString("00007F00"));
        QCOMPARE(GridIn(editor, "StringGrid1")->currentRow(), 15);
        // Typing into the address column moves the page under the row.
        QTableWidget* addresses = GridIn(editor, "StringGrid2");
        ClickCell(addresses, 3, 0);
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(addresses, Qt::Key_Right);
        }
        QTest::keyClicks(addresses, "0040");
        QCOMPARE(Cell(editor, "StringGrid2", 3), QString("00000040"));
        QCOMPARE(Cell(editor, "StringGrid2", 0), QString("00000010"));
    });
}

void THexEditorTest::aSearchLandsOnItsHitAndAgainFindsTheNext() {
    EditorBench b;
    const auto put = [&](std::size_t at) {
        for (uint8_t v : Pattern({0xC0, 0xFF, 0xEE})) {
            b.buffer()[at++] = v;
        }
    };
    put(0x1234);
    put(0x7FFD);  // the last three bytes the editor reaches
    b.InEditor([&](QDialog& editor) {
        QTableWidget* hex = GridIn(editor, "StringGrid1");
        b.Then([](QDialog& search) {
            QCOMPARE(search.windowTitle(), QString("Search"));
            Type(EditIn(search, "Edit1"), "c0ffee");
            Click(ButtonIn(search, "Button1"));
        });
        Click(ButtonIn(editor, "Search"));
        QCOMPARE(Cell(editor, "StringGrid2", 0), QString("00001230"));
        QCOMPARE(hex->currentRow(), 0);
        QCOMPARE(hex->currentColumn(), 4);
        Click(ButtonIn(editor, "Again"));
        QCOMPARE(Cell(editor, "StringGrid2", 0), QString("00007F00"));
        QCOMPARE(hex->currentRow(), 15);
        QCOMPARE(hex->currentColumn(), 13);
        QCOMPARE(EditIn(editor, "CurrAdd")->text(), QString("00007FFD"));
        QVERIFY(b.Messages().isEmpty());
        Click(ButtonIn(editor, "Again"));
        QCOMPARE(b.Messages(), QStringList{"Not Found"});
        QCOMPARE(hex->currentRow(), 15);
        QCOMPARE(hex->currentColumn(), 15);
    });
}

void THexEditorTest::theSearchTextIsCheckedAndTextIsCaseSensitive() {
    EditorBench b;
    std::fill_n(b.buffer().data(), 0x8000, uint8_t{0});
    b.buffer()[0x300] = 0x0A;
    b.buffer()[0x301] = 0x1B;
    b.buffer()[0x500] = 'a';
    b.buffer()[0x501] = 'b';
    b.InEditor([&](QDialog& editor) {
        QTableWidget* hex = GridIn(editor, "StringGrid1");
        b.Then([&](QDialog& search) {
            QLineEdit* text = EditIn(search, "Edit1");
            Type(text, "0a1");
            Click(ButtonIn(search, "Button1"));
            QCOMPARE(b.Messages(), QStringList{"To few charaters in hex string"});
            QVERIFY(search.isVisible());
            Type(text, "0a1g");
            Click(ButtonIn(search, "Button1"));
            QCOMPARE(b.Messages().last(), QString("'1G' is not a valid integer value"));
            QVERIFY(search.isVisible());
            Type(text, "0a1b");
            Click(ButtonIn(search, "Button1"));
            QCOMPARE(text->text(), QString("0A1B"));
            QVERIFY(!search.isVisible());
        });
        Click(ButtonIn(editor, "Search"));
        QCOMPARE(Cell(editor, "StringGrid2", 0), QString("00000300"));
        QCOMPARE(hex->currentColumn(), 0);

        const auto searchText = [&](const char* what) {
            b.Then([what](QDialog& search) {
                QPushButton* mode = ButtonIn(search, "HexAscii");
                Click(mode);
                QCOMPARE(mode->text(), QString("Hex"));
                QCOMPARE(search.findChild<QLabel*>("Label1")->text(), QString("Search for Ascii:"));
                Type(EditIn(search, "Edit1"), what);
                Click(ButtonIn(search, "Button1"));
            });
            Click(ButtonIn(editor, "Search"));
        };
        b.f->dialogs.messages.clear();
        searchText("AB");
        QCOMPARE(b.Messages(), QStringList{"Not Found"});
        searchText("ab");
        QCOMPARE(Cell(editor, "StringGrid2", 0), QString("00000500"));
        QCOMPARE(b.Messages().size(), 1);
    });
}

void THexEditorTest::fillWritesWordsAndRefusesWhatLiesOutside() {
    EditorBench b;
    std::fill_n(b.buffer().data(), 0x8000, uint8_t{0});
    const auto fill = [&](QDialog& editor, const char* from, const char* to, const char* data,
                          bool word) {
        b.Then([=](QDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QString("Buffer Fill"));
            if (word) {
                Click(dialog.findChild<QRadioButton*>("RadioButton2"));
                QCOMPARE(EditIn(dialog, "Edit3")->text(), QString("0000"));
            }
            Type(EditIn(dialog, "Edit1"), from);
            Type(EditIn(dialog, "Edit2"), to);
            Type(EditIn(dialog, "Edit3"), data);
            Click(ButtonIn(dialog, "BitBtn1"));
            QVERIFY(!dialog.isVisible());
        });
        Click(ButtonIn(editor, "Fill"));
    };
    b.InEditor([&](QDialog& editor) {
        b.Then([](QDialog& dialog) {
            QCOMPARE(EditIn(dialog, "Edit1")->text(), QString("0"));
            QCOMPARE(EditIn(dialog, "Edit2")->text(), QString("00007FFF"));
            QCOMPARE(EditIn(dialog, "Edit3")->text(), QString("FF"));
            QVERIFY(dialog.findChild<QRadioButton*>("RadioButton1")->isChecked());
            Click(ButtonIn(dialog, "BitBtn2"));
        });
        Click(ButtonIn(editor, "Fill"));
        QCOMPARE(int(b.buffer()[0]), 0);

        fill(editor, "10", "13", "1234", true);
        QCOMPARE(b.Bytes(0x0F, 6), Pattern({0, 0x12, 0x34, 0x12, 0x34, 0}));
        QCOMPARE(Cell(editor, "StringGrid1", 1, 0), QString("12"));
        fill(editor, "20", "24", "1234", true);
        QCOMPARE(b.Bytes(0x20, 6), Pattern({0x12, 0x34, 0x12, 0x34, 0x12, 0}));
        fill(editor, "7ffe", "7fff", "ab", false);
        QCOMPARE(b.Bytes(0x7FFD, 3), Pattern({0, 0xAB, 0xAB}));
        QVERIFY(b.Messages().isEmpty());

        const std::vector<uint8_t> before = b.Bytes(0, 0x8000);
        fill(editor, "13", "10", "55", false);
        QCOMPARE(b.f->dialogs.messages.back().text, QString("'To' has to be greater than 'From'"));
        QCOMPARE(b.f->dialogs.messages.back().caption, QString("Invalid Data"));
        fill(editor, "1G", "10", "55", false);
        QCOMPARE(b.f->dialogs.messages.back().text, QString("1G"));
        QCOMPARE(b.f->dialogs.messages.back().caption, QString("Error : Not a Valid Hex Value"));
        fill(editor, "0", "7FFF", "5Z", false);
        QCOMPARE(b.f->dialogs.messages.back().text, QString("5Z"));
        // Past the buffer's end: refused, where it would have written beyond it.
        fill(editor, "7F00", "FFFFFFFF", "55", false);
        QCOMPARE(b.f->dialogs.messages.back().caption, QString("Invalid Data"));
        QVERIFY(b.f->dialogs.messages.back().text.contains("00007FFF"));
        fill(editor, "8000", "8000", "55", false);
        QCOMPARE(b.Messages().size(), 5);
        QCOMPARE(b.Bytes(0, 0x8000), before);
        QCOMPARE(b.buffer()[0x8000], uint8_t{0xFF});  // the erased buffer beyond the range
    });
}

void THexEditorTest::copyRefusesOverlapAndMoveReplaces() {
    EditorBench b;
    for (std::size_t i = 0; i < 0x8000; ++i) {
        b.buffer()[i] = static_cast<uint8_t>(i);
    }
    const auto fields = [](QDialog& dialog, const char* from, const char* count, const char* to) {
        Type(EditIn(dialog, "BeginAdd"), from);
        Type(EditIn(dialog, "NrBytes"), count);
        Type(EditIn(dialog, "WhereAdd"), to);
    };
    b.InEditor([&](QDialog& editor) {
        ClickCell(GridIn(editor, "StringGrid1"), 1, 2);
        b.Then([&](QDialog& copy) {
            QCOMPARE(copy.windowTitle(), QString("Copy"));
            QCOMPARE(EditIn(copy, "BeginAdd")->text(), QString("00000012"));
            QCOMPARE(EditIn(copy, "WhereAdd")->text(), QString("00000000"));
            QVERIFY(!EditIn(copy, "ReplaceEd")->isVisible());
            QVERIFY(!ButtonIn(copy, "MoveBt")->isVisible());
            fields(copy, "0", "10", "8");
            Click(ButtonIn(copy, "CopyBt"));
            QCOMPARE(b.Messages(), QStringList{"The adresses are over lapping"});
            QVERIFY(copy.isVisible());
            fields(copy, "0", "1X", "10");
            Click(ButtonIn(copy, "CopyBt"));
            QCOMPARE(b.Messages().last(), QString("'1X' is not a valid integer value"));
            QVERIFY(copy.isVisible());
            QCOMPARE(int(b.buffer()[0x10]), 0x10);
            fields(copy, "0", "10", "10");
            Click(ButtonIn(copy, "CopyBt"));
            QVERIFY(!copy.isVisible());
        });
        Click(ButtonIn(editor, "BtCopy"));
        QCOMPARE(b.Bytes(0x10, 0x10), b.Bytes(0, 0x10));
        QCOMPARE(int(b.buffer()[0x20]), 0x20);
        QCOMPARE(Cell(editor, "StringGrid2", 0), QString("00000010"));

        b.Then([&](QDialog& move) {
            QCOMPARE(move.windowTitle(), QString("Move"));
            QCOMPARE(move.findChild<QLabel*>("Label1")->text(), QString("Move"));
            QVERIFY(EditIn(move, "ReplaceEd")->isVisible());
            QVERIFY(!ButtonIn(move, "CopyBt")->isVisible());
            fields(move, "100", "4", "200");
            Type(EditIn(move, "ReplaceEd"), "F");
            Click(ButtonIn(move, "MoveBt"));
            QCOMPARE(b.Messages().last(), QString("Replace Value need two Hex Values "));
            QVERIFY(move.isVisible());
            Type(EditIn(move, "ReplaceEd"), "FF");
            Click(ButtonIn(move, "MoveBt"));
        });
        Click(ButtonIn(editor, "BtMove"));
        QCOMPARE(b.Bytes(0x100, 5), Pattern({0xFF, 0xFF, 0xFF, 0xFF, 0x04}));
        QCOMPARE(b.Bytes(0x200, 5), Pattern({0x00, 0x01, 0x02, 0x03, 0x04}));
        QCOMPARE(Cell(editor, "StringGrid2", 0), QString("00000200"));

        b.Then([&](QDialog& move) {
            fields(move, "0", "8", "4");
            Type(EditIn(move, "ReplaceEd"), "00");
            Click(ButtonIn(move, "MoveBt"));
        });
        Click(ButtonIn(editor, "BtMove"));
        QCOMPARE(b.Bytes(0, 13), Pattern({0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 0x0C}));
    });
    QCOMPARE(b.f->label("CheckL"), b.Checksum());
}

QTEST_MAIN(THexEditorTest)
#include "THexEditor_test.moc"
