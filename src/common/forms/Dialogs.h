// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <string>

class QDialog;
class QWidget;

namespace kardo {

// Everything modal the windows ask of the user goes through here, so that a test can
// answer in place of the user without a nested event loop of its own.
class Dialogs {
  public:
    enum class Icon { None, Information, Warning, Error };

    virtual ~Dialogs() = default;
    virtual void ShowMessage(QWidget* parent, const QString& text, const QString& caption,
                             Icon icon) = 0;
    // Shows the dialog modally; returns its result code.
    virtual int Run(QDialog& dialog) = 0;

    // A message box with the buttons Abort, Retry and Ignore; closing it otherwise counts
    // as Other.
    enum class Answer { Abort, Retry, Ignore, Other };
    virtual Answer AskAbortRetryIgnore(QWidget* parent, const QString& text, const QString& caption,
                                       Icon icon) = 0;

    // The file the user picked in an open dialog, and the filter (counted from 1) it was
    // picked under. `filter` is in the notation "description|pattern|...".
    struct FileChoice {
        std::filesystem::path file;
        int filterIndex = 1;
    };
    virtual std::optional<FileChoice> GetOpenFile(QWidget* parent,
                                                  const std::filesystem::path& directory,
                                                  const std::string& filter) = 0;
    // The name the user gave in a save dialog that offered `suggested`.
    virtual std::optional<std::filesystem::path> GetSaveFile(QWidget* parent,
                                                             const std::filesystem::path& directory,
                                                             const std::filesystem::path& suggested,
                                                             const std::string& filter) = 0;
    // The jumper picture for PIC and EEPROM sockets, and the ISP header pinout.
    virtual void ShowJumperSet(QWidget* parent, const std::filesystem::path& picture) = 0;
    virtual void ShowIspHeader(QWidget* parent) = 0;
};

// The real thing: Qt message boxes and modal event loops.
class QtDialogs : public Dialogs {
  public:
    void ShowMessage(QWidget* parent, const QString& text, const QString& caption,
                     Icon icon) override;
    int Run(QDialog& dialog) override;
    Answer AskAbortRetryIgnore(QWidget* parent, const QString& text, const QString& caption,
                               Icon icon) override;
    std::optional<FileChoice> GetOpenFile(QWidget* parent, const std::filesystem::path& directory,
                                          const std::string& filter) override;
    std::optional<std::filesystem::path> GetSaveFile(QWidget* parent,
                                                     const std::filesystem::path& directory,
                                                     const std::filesystem::path& suggested,
                                                     const std::string& filter) override;
    // Defined with the picture dialogs, in algorithms/forms/SelfTestFlow.cpp.
    void ShowJumperSet(QWidget* parent, const std::filesystem::path& picture) override;
    void ShowIspHeader(QWidget* parent) override;
};

}  // namespace kardo
