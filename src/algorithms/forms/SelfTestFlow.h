// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>

class QWidget;

namespace kardo {

class Dialogs;
class ProgrammerLink;

// The Self Test button: the self-test dialog, modal, with the pin picture of the
// programmer board in use. `link` may be null (no programmer backend).
struct SelfTestWindow {
    QWidget& parent;
    Dialogs& dialogs;
};
void RunSelfTest(ProgrammerLink* link, uint8_t hardwareModel,
                 const std::filesystem::path& pictureDir, const SelfTestWindow& window);

// The adapter pictures after a selection, each in its dialog shown through `dialogs`.
void RunJumperSet(Dialogs& dialogs, QWidget* parent, const std::filesystem::path& picture);
void RunIspHeader(Dialogs& dialogs, QWidget* parent);

}  // namespace kardo
