// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/forms/SelfTestFlow.h"

#include "algorithms/forms/TJumperSet.h"
#include "algorithms/forms/TatISP.h"
#include "algorithms/forms/TfrmTest.h"
#include "common/forms/Dialogs.h"

namespace kardo {

void RunSelfTest(ProgrammerLink* link, uint8_t hardwareModel,
                 const std::filesystem::path& pictureDir, const SelfTestWindow& window) {
    TfrmTest dialog(link, hardwareModel, pictureDir, &window.parent);
    window.dialogs.Run(dialog);
}

void RunJumperSet(Dialogs& dialogs, QWidget* parent, const std::filesystem::path& picture) {
    TJumperSet dialog(picture, parent);
    dialogs.Run(dialog);
}

void RunIspHeader(Dialogs& dialogs, QWidget* parent) {
    TatISP dialog(parent);
    dialogs.Run(dialog);
}

// The real dialogs' picture windows live here, with the pictures, rather than beside
// the message boxes, which know nothing of programmer boards.
void QtDialogs::ShowJumperSet(QWidget* parent, const std::filesystem::path& picture) {
    RunJumperSet(*this, parent, picture);
}

void QtDialogs::ShowIspHeader(QWidget* parent) {
    RunIspHeader(*this, parent);
}

}  // namespace kardo
