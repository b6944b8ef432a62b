// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/forms/MainWindowFixture.h"

#include <QListWidget>
#include <QRadioButton>

#include "support/TestDatabases.h"
#include "support/forms/UserActions.h"

namespace kardo::test {

MainWindowFixture::MainWindowFixture(std::unique_ptr<ProgrammerLink> link,
                                     std::filesystem::path directory,
                                     std::function<void(const DeviceRecord&)> deviceSelected,
                                     std::filesystem::path settingsFile, ChosenLink* programmers) {
    if (directory.empty()) {
        WriteTestDatabases(dir.path());
        directory = dir.path();
    }
    if (settingsFile.empty()) {
        settingsFile = dir / "KARDO.ini";
        WriteBytes(settingsFile, {});
    }
    settings = std::make_unique<IniSettingsStore>(settingsFile);
    window_ = std::make_unique<TfrmMains>(
        TfrmMains::Services{dialogs, sound, *settings, std::move(link), directory,
                            std::move(deviceSelected), programmers});
    window_->show();
}

QStringList MainWindowFixture::log() const {
    const QString text = window_->findChild<QPlainTextEdit*>("Memo1")->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

void MainWindowFixture::AnswerSelection(const char* type, int manufacturer, int device) {
    const std::string radio = type != nullptr ? type : "";
    dialogs.drivers.push_back([radio, manufacturer, device](QDialog& dialog) {
        if (!radio.empty()) {
            Click(dialog.findChild<QRadioButton*>(QString::fromStdString(radio)));
        }
        ClickRow(dialog.findChild<QListWidget*>("ListBox1"), manufacturer);
        ClickRow(dialog.findChild<QListWidget*>("ListBox2"), device);
        Click(dialog.findChild<QAbstractButton*>("BitBtn1"));
    });
}

void MainWindowFixture::Select(const char* type, int manufacturer, int device) {
    AnswerSelection(type, manufacturer, device);
    Click(button("SB_Select"));
}

}  // namespace kardo::test

namespace kardo::test {

void MainWindowFixture::Operate(const char* name) {
    Click(button(name));
    QTRY_VERIFY_WITH_TIMEOUT(!window_->OperationBusy(), 30000);
}

}  // namespace kardo::test
