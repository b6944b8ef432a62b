#pragma once

#include <filesystem>

class QWidget;

namespace kardo {

class Dialogs;

// The adapter pictures after a selection, each in its dialog shown through `dialogs`.
void RunJumperSet(Dialogs& dialogs, QWidget* parent, const std::filesystem::path& picture);
void RunIspHeader(Dialogs& dialogs, QWidget* parent);

}  // namespace kardo
