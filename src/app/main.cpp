#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <filesystem>

#include "app/forms/TfrmMains.h"
#include "app/qt/QtSoundBackend.h"
#include "common/forms/Dialogs.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("KARDO");
    try {
        kardo::QtDialogs dialogs;
        kardo::QtSoundBackend sound;
        kardo::TfrmMains window({dialogs, sound, nullptr, std::filesystem::current_path()});
        window.show();
        return QApplication::exec();
    } catch (const std::exception& e) {
        // Whatever escapes the start-up is shown, and ends the program.
        QMessageBox::critical(nullptr, "KARDO", QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
