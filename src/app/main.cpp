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
#include "link/LinkChoice.h"
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
        kardo::LinkChoice choice =
            kardo::ChooseLink(std::getenv("KARDO_LINK"), std::getenv("KARDO_SIM_IMAGE"),
                              std::getenv("KARDO_SIM_FAULTS"));
        for (const std::string& problem : {choice.problem, choice.driverProblem}) {
            if (!problem.empty()) {
                dialogs.ShowMessage(nullptr, QString::fromStdString(problem), "KARDO",
                                    kardo::Dialogs::Icon::Warning);
            }
        }
        std::function<void(const kardo::DeviceRecord&)> deviceSelected;
        if (choice.virtualProgrammer != nullptr) {
            deviceSelected = [sim = choice.virtualProgrammer,
                              &dialogs](const kardo::DeviceRecord& record) {
                sim->InsertChip(record);
                if (const std::string problem = sim->TakeImageProblem(); !problem.empty()) {
                    dialogs.ShowMessage(nullptr, QString::fromStdString(problem), "KARDO",
                                        kardo::Dialogs::Icon::Warning);
                }
            };
        }
        kardo::TfrmMains window({dialogs, sound, *settings, std::move(choice.link), defaultDir,
                                 std::move(deviceSelected)});
        window.show();
        return QApplication::exec();
    } catch (const std::exception& e) {
        // Whatever escapes the start-up is shown, and ends the program.
        QMessageBox::critical(nullptr, "KARDO", QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
