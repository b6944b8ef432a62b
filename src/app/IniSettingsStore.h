// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/SettingsStore.h"

namespace kardo {

// The settings key as a plain text file, for systems without a registry. The file is the
// key: it exists or not. Inside, one section holds a line per value with its type in
// front, so that a boolean, an integer and a string stay apart as they do in a registry:
//
//   [SOFTWARE\Orrinsys\KARDO]
//   SoundON=bool:true
//   RevNo=int:1006
//   Filename=str:"KARDO_e.usb"
//
// Strings are quoted, with \\, \" and \xHH (control characters) escaped, so any path
// comes back byte for byte. People edit such files by hand: other sections, comments and
// blank lines are kept as they were, line ends included, and a value whose text does not
// fit its type reads as a value of another type. Value names are compared without regard
// to ASCII case, as a registry compares them. A file that is not an INI file at all (see
// ini::LineProblem) is refused and never written: the key does not open, and
// TakeOpenProblem names the file and the line.
//
// Writes change the open key in memory; CloseKey writes the whole file at once, through a
// temporary file renamed over it, so a failed save leaves the earlier file intact.
class IniSettingsStore : public SettingsStore {
  public:
    explicit IniSettingsStore(std::filesystem::path file) : file_(std::move(file)) {}

    bool OpenKey() override;
    std::string TakeOpenProblem() override;
    std::string CreateKey() override;
    // Removes the values of our section and keeps everything else in the file: other
    // sections, comments, blank lines, and our section's header and comments.
    std::string ResetKey() override;
    std::string CloseKey() override;

    bool HasValue(const std::string& name) const override;
    SettingsValue<bool> ReadBool(const std::string& name) const override;
    SettingsValue<int64_t> ReadInteger(const std::string& name) const override;
    SettingsValue<std::string> ReadString(const std::string& name) const override;

    std::string WriteBool(const std::string& name, bool value) override;
    std::string WriteInteger(const std::string& name, int64_t value) override;
    std::string WriteString(const std::string& name, const std::string& value) override;

    const std::filesystem::path& file() const { return file_; }

  private:
    struct Line {
        std::string text;   // the line as it was read, for everything but our values
        std::string name;   // not empty: a value of our section
        std::string raw;    // that value's stored text, type prefix included
        bool ours = false;  // our section's header or one of its lines
        // "\n", "\r\n", or "" (or "\r") for a last line without one; always a literal.
        const char* end = "";
    };

    const Line* Find(const std::string& name) const;
    void Refuse(const std::string& why);
    std::string Write(const std::string& name, std::string raw);

    std::filesystem::path file_;
    std::vector<Line> lines_;
    bool open_ = false;
    bool dirty_ = false;
    bool byteOrderMark_ = false;  // the file began with one: it is written back with it
    const char* newline_ = "\n";  // for lines we add: the file's own line end
    std::string problem_;         // why the file was refused, until taken
    std::string reported_;        // what was taken last, not to be given again
};

// Where the settings file lives: $KARDO_SETTINGS when set, else under $XDG_CONFIG_HOME,
// else under $HOME/.config, each as Orrinsys/KARDO.ini; with none of them, "KARDO.ini" in
// the working directory. An empty variable counts as unset, and a relative
// XDG_CONFIG_HOME is ignored, as the base-directory convention asks.
std::filesystem::path DefaultSettingsPath(const char* kardoSettings, const char* xdgConfigHome,
                                          const char* home);
// The same from this process's environment.
std::filesystem::path DefaultSettingsPath();

}  // namespace kardo
