// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>

#include "app/DataDirectory.h"
#include "app/PlatformSettings.h"
#include "app/Version.h"
#include "app/forms/TfrmMains.h"
#include "app/qt/GuardedApplication.h"
#include "app/qt/QtSoundBackend.h"
#include "common/forms/Dialogs.h"
#include "link/ChosenLink.h"
#include "link/VirtualProgrammer.h"

int main(int argc, char** argv) {
    // Answered before Qt starts: it needs no display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::fputs(kardo::VersionLine("kardo").c_str(), stdout);
        return 0;
    }
    kardo::GuardedApplication app(argc, argv);
    QApplication::setApplicationName("KARDO");
    QApplication::setApplicationVersion(kardo::ProgramVersion());
    try {
        kardo::QtDialogs dialogs;
        kardo::QtSoundBackend sound;
        const std::unique_ptr<kardo::SettingsStore> settings = kardo::MakeSettingsStore();
        const std::filesystem::path programDir = kardo::ProgramDirectory(argv[0]);
        const std::filesystem::path defaultDir = kardo::ChooseDataDirectory(
            std::filesystem::current_path(), programDir, kardo::InstalledDataDirectory(programDir));
        if (kardo::IsInstalledCopy(programDir)) {
            // A package installs for the machine, not for each user: the user's settings
            // key is created at the first start, as ./scripts/run creates it for stage/.
            if (const std::string problem = settings->CreateKey(); !problem.empty()) {
                dialogs.ShowMessage(nullptr, QString::fromStdString(problem), "KARDO",
                                    kardo::Dialogs::Icon::Warning);
            }
        }
        // The programmer chosen last time, when several are attached.
        std::string programmer;
        if (settings->OpenKey()) {
            if (const auto stored = settings->ReadString("Programmer"); stored.ok()) {
                programmer = stored.value;
            }
            settings->CloseKey();
        }
        auto link =
            std::make_unique<kardo::ChosenLink>(kardo::LinkEnvironment::FromProcess(), programmer);
        for (const std::string& problem : {link->first().problem, link->first().driverProblem}) {
            if (!problem.empty()) {
                dialogs.ShowMessage(nullptr, QString::fromStdString(problem), "KARDO",
                                    kardo::Dialogs::Icon::Warning);
            }
        }
        std::function<void(const kardo::DeviceRecord&)> deviceSelected;
        if (kardo::ChosenLink* chosen = link.get(); chosen->virtualProgrammer() != nullptr) {
            // The virtual programmer in use, which Reconnect may change.
            deviceSelected = [chosen, &dialogs](const kardo::DeviceRecord& record) {
                kardo::VirtualProgrammer* sim = chosen->virtualProgrammer();
                if (sim == nullptr) {
                    return;
                }
                sim->InsertChip(record);
                if (const std::string problem = sim->TakeImageProblem(); !problem.empty()) {
                    dialogs.ShowMessage(nullptr, QString::fromStdString(problem), "KARDO",
                                        kardo::Dialogs::Icon::Warning);
                }
            };
        }
        kardo::ChosenLink* programmers = link.get();
        kardo::TfrmMains window({dialogs, sound, *settings, std::move(link), defaultDir,
                                 std::move(deviceSelected), programmers});
        window.show();
        return QApplication::exec();
    } catch (const std::exception& e) {
        // Whatever escapes the start-up is shown, and ends the program.
        QMessageBox::critical(nullptr, "KARDO", QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
