// SPDX-License-Identifier: GPL-3.0-or-later
// Every dialog opened from the main window takes its fixed-pitch font and its grey, and
// at that font nothing in it is cut: a caption wider than its control, a control on a
// group's title line or outside its form, a grid cell narrower than its text.
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "support/forms/LookChecks.h"
#include "support/forms/ShippedBench.h"
#include "support/forms/UserActions.h"

using namespace kardo;
using namespace kardo::test;

namespace {

// The dialog against the main window: the same font and colour, and nothing cut.
void CheckLook(QDialog& dialog, const QWidget& main, const char* title) {
    QCOMPARE(dialog.windowTitle(), QString(title));
    QVERIFY(main.font().fixedPitch() || QFontInfo(main.font()).fixedPitch());
    QCOMPARE(QFontInfo(dialog.font()).family(), QFontInfo(main.font()).family());
    QCOMPARE(dialog.palette().color(QPalette::Window), main.palette().color(QPalette::Window));
    for (const auto* label : dialog.findChildren<QLabel*>())
        QCOMPARE(QFontInfo(label->font()).family(), QFontInfo(main.font()).family());
    const QStringList cut = ClippedControls(dialog);
    QVERIFY2(cut.isEmpty(), qPrintable(QString(title) + ": " + cut.join(", ")));
}

}  // namespace

class DialogLookTest : public QObject {
    Q_OBJECT
  private slots:
    void theHexEditorAndItsDialogs();
    void theOptionsAndFileFormatDialogsOfEachFamily();
};

void DialogLookTest::theHexEditorAndItsDialogs() {
    ShippedBench b("RadioButton2", 0, 2, "AT28C256");
    MainWindowFixture& f = *b.f;
    QWidget& main = f.window();
    f.dialogs.drivers.push_back([&](QDialog& editor) {
        CheckLook(editor, main, "Hex Editor");
        const struct {
            const char* button;
            const char* title;
        } opened[] = {{"Search", "Search"}, {"Fill", "Buffer Fill"}, {"BtCopy", "Copy"},
                      {"BtMove", "Move"}};
        for (const auto& o : opened) {
            f.dialogs.drivers.push_back([&](QDialog& d) { CheckLook(d, main, o.title); });
            Click(editor.findChild<QPushButton*>(o.button));
            QVERIFY(f.dialogs.drivers.empty());
        }
    });
    Click(f.button("SB_Edit"));
    QVERIFY(f.dialogs.drivers.empty());
}

void DialogLookTest::theOptionsAndFileFormatDialogsOfEachFamily() {
    // An EEPROM, an AVR (programming steps shown) and a PIC (no offset group).
    const struct {
        const char* type;
        int manufacturer, device;
        const char* name;
    } parts[] = {{"RadioButton2", 0, 2, "AT28C256"},
                 {"RadioButton4", 0, 0, nullptr},
                 {"RadioButton4", 1, 0, nullptr}};
    ShippedBench b(parts[0].type, parts[0].manufacturer, parts[0].device, parts[0].name);
    MainWindowFixture& f = *b.f;
    for (const auto& part : parts) {
        if (part.name == nullptr)
            f.Select(part.type, part.manufacturer, part.device);
        const std::string device = f.state().record->Name();
        f.dialogs.drivers.push_back([&](QDialog& d) { CheckLook(d, f.window(), "Options"); });
        Click(f.button("SB_Option"));
        f.dialogs.openFiles.push_back(Dialogs::FileChoice{f.dir / "x.hex", 1});
        f.dialogs.drivers.push_back(
            [&](QDialog& d) { CheckLook(d, f.window(), "Select File Format"); });
        Click(f.button("SB_Load"));
        f.dialogs.saveFiles.push_back(f.dir / "x.hex");
        f.dialogs.drivers.push_back(
            [&](QDialog& d) { CheckLook(d, f.window(), "Select File Format"); });
        Click(f.button("SB_Save"));
        QVERIFY2(f.dialogs.drivers.empty(), device.c_str());
    }
}

QTEST_MAIN(DialogLookTest)
#include "DialogLook_test.moc"
