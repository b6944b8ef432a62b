// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/IniSettingsStore.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <system_error>
#include <utility>

#include "app/IniText.h"
#include "common/FileBytes.h"
#include "common/SafeWrite.h"

namespace kardo {
namespace {

using ini::SameName;
using ini::Trim;

constexpr const char* kSection = "SOFTWARE\\Orrinsys\\KARDO";
// A settings file is a few hundred bytes; anything this large is not one of ours, and
// reading it whole would only cost memory.
constexpr uint64_t kLargestFile = 1 << 20;

std::string InvalidType(const std::string& name) {
    return "Invalid data type for '" + name + "'";
}

std::string NotFound(const std::string& name) {
    return "No value '" + name + "' in the settings";
}

constexpr const char* kNotOpen = "The settings key is not open";

}  // namespace

bool IniSettingsStore::OpenKey() {
    if (open_) {
        return true;
    }
    const FileBytes read = ReadFileBytes(file_, kLargestFile);
    if (!read.ok()) {
        return false;
    }
    std::string text(read.bytes.begin(), read.bytes.end());
    const bool byteOrderMark = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
    if (byteOrderMark) {
        text.erase(0, 3);  // an editor's byte-order mark
    }
    std::vector<Line> lines;
    const char* newline = nullptr;
    bool inSection = false;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const bool ended = end != std::string::npos;
        Line line;
        line.text = text.substr(start, ended ? end - start : end);
        start = ended ? end + 1 : text.size();
        const bool carriageReturn = !line.text.empty() && line.text.back() == '\r';
        if (carriageReturn) {
            line.text.pop_back();
        }
        line.end = carriageReturn ? (ended ? "\r\n" : "\r") : (ended ? "\n" : "");
        if (const char* problem = ini::LineProblem(line.text)) {
            Refuse("its line " + std::to_string(lines.size() + 1) + " " + problem);
            return false;
        }
        if (newline == nullptr && ended) {
            newline = line.end;
        }
        const std::string trimmed = Trim(line.text);
        if (!trimmed.empty() && trimmed.front() == '[') {
            inSection = SameName(Trim(trimmed.substr(1, trimmed.size() - 2)), kSection);
            line.ours = inSection;
        } else if (inSection) {
            line.ours = true;
            const auto equals = trimmed.find('=');
            if (equals != std::string::npos && trimmed[0] != ';' && trimmed[0] != '#') {
                line.name = Trim(trimmed.substr(0, equals));
                line.raw = Trim(trimmed.substr(equals + 1));
            }
        }
        lines.push_back(std::move(line));
    }
    lines_ = std::move(lines);
    byteOrderMark_ = byteOrderMark;
    newline_ = newline != nullptr && std::string_view(newline) == "\r\n" ? "\r\n" : "\n";
    open_ = true;
    dirty_ = false;
    reported_.clear();
    return true;
}

void IniSettingsStore::Refuse(const std::string& why) {
    std::string problem = "The settings file " + file_.string() + " is not an INI file (" + why +
                          "). It is left as it is, and the settings are neither read from it "
                          "nor saved.";
    if (problem != reported_) {
        problem_ = std::move(problem);
    }
}

std::string IniSettingsStore::TakeOpenProblem() {
    if (!problem_.empty()) {
        reported_ = problem_;
    }
    return std::exchange(problem_, {});
}

std::string IniSettingsStore::CreateKey() {
    std::error_code error;
    if (std::filesystem::exists(file_, error)) {
        return IsRegularFile(file_) ? std::string()
                                    : "The settings path " + file_.string() + " is not a file";
    }
    if (file_.has_parent_path()) {
        std::filesystem::create_directories(file_.parent_path(), error);
        if (error) {
            return "Can't create the settings folder " + file_.parent_path().string() + ": " +
                   error.message();
        }
    }
    const std::string reason = WriteFileSafely(file_, std::string());
    if (!reason.empty()) {
        return "Can't create the settings file " + file_.string() + ": " + reason;
    }
    return {};
}

std::string IniSettingsStore::ResetKey() {
    open_ = false;
    dirty_ = false;
    lines_.clear();
    std::error_code error;
    if (!std::filesystem::exists(file_, error)) {
        return CreateKey();
    }
    if (!OpenKey()) {
        const std::string why = TakeOpenProblem();
        return why.empty() ? "Can't read the settings file " + file_.string() : why;
    }
    std::erase_if(lines_, [](const Line& line) { return line.ours && !line.name.empty(); });
    dirty_ = true;
    return CloseKey();
}

std::string IniSettingsStore::CloseKey() {
    if (!open_) {
        return {};
    }
    open_ = false;
    if (!dirty_) {
        return {};
    }
    dirty_ = false;
    // The mark goes back where it was: without it, a second mark behind it, or a first
    // line it was hiding, would read differently the next time.
    std::string text = byteOrderMark_ ? "\xEF\xBB\xBF" : "";
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        text += line.name.empty() ? line.text : line.name + "=" + line.raw;
        text += line.end;
        // A last line without a line feed (none, or a carriage return alone) gets one when
        // lines now follow it: else they would read as part of it.
        if (i + 1 < lines_.size() && std::strchr(line.end, '\n') == nullptr) {
            text += *line.end == '\r' ? "\n" : newline_;
        }
    }
    const std::string reason = WriteFileSafely(file_, text);
    if (!reason.empty()) {
        return "Can't write the settings file " + file_.string() + ": " + reason;
    }
    return {};
}

const IniSettingsStore::Line* IniSettingsStore::Find(const std::string& name) const {
    // The first of two lines with one name is the one that counts, for reads and writes.
    for (const Line& line : lines_) {
        if (!line.name.empty() && SameName(line.name, name)) {
            return &line;
        }
    }
    return nullptr;
}

bool IniSettingsStore::HasValue(const std::string& name) const {
    return open_ && Find(name) != nullptr;
}

SettingsValue<bool> IniSettingsStore::ReadBool(const std::string& name) const {
    if (!open_) {
        return {false, kNotOpen};
    }
    const Line* line = Find(name);
    if (line == nullptr) {
        return {false, NotFound(name)};
    }
    std::string type;
    std::string payload;
    if (ini::SplitType(line->raw, type, payload) && type == "bool") {
        for (char& c : payload) {
            c = ini::Lower(c);
        }
        if (payload == "true" || payload == "1") {
            return {true, {}};
        }
        if (payload == "false" || payload == "0") {
            return {false, {}};
        }
    }
    return {false, InvalidType(name)};
}

SettingsValue<int64_t> IniSettingsStore::ReadInteger(const std::string& name) const {
    if (!open_) {
        return {0, kNotOpen};
    }
    const Line* line = Find(name);
    if (line == nullptr) {
        return {0, NotFound(name)};
    }
    std::string type;
    std::string payload;
    if (ini::SplitType(line->raw, type, payload) && type == "int") {
        int64_t value = 0;
        const char* end = payload.data() + payload.size();
        const auto [at, error] = std::from_chars(payload.data(), end, value);
        if (error == std::errc() && at == end && !payload.empty()) {
            return {value, {}};
        }
    }
    return {0, InvalidType(name)};
}

SettingsValue<std::string> IniSettingsStore::ReadString(const std::string& name) const {
    if (!open_) {
        return {{}, kNotOpen};
    }
    const Line* line = Find(name);
    if (line == nullptr) {
        return {};
    }
    std::string type;
    std::string payload;
    if (ini::SplitType(line->raw, type, payload) && type == "str") {
        return {ini::Unquote(payload), {}};
    }
    return {{}, InvalidType(name)};
}

std::string IniSettingsStore::Write(const std::string& name, std::string raw) {
    if (!open_) {
        return kNotOpen;
    }
    if (!ini::ValidName(name)) {
        return "Invalid value name '" + name + "'";
    }
    dirty_ = true;
    bool found = false;
    for (auto it = lines_.begin(); it != lines_.end();) {
        if (it->name.empty() || !SameName(it->name, name)) {
            ++it;
        } else if (!found) {
            it->raw = raw;
            found = true;
            ++it;
        } else {
            it = lines_.erase(it);  // a later duplicate would only mislead a reader
        }
    }
    if (found) {
        return {};
    }
    Line line;
    line.name = name;
    line.raw = std::move(raw);
    line.ours = true;
    line.end = newline_;
    // After the last header or value of our section, so blank lines stay between sections;
    // a file without our section gets it at the end.
    std::size_t at = lines_.size();
    bool haveSection = false;
    for (std::size_t i = lines_.size(); i-- > 0;) {
        if (lines_[i].ours && (!lines_[i].name.empty() || !Trim(lines_[i].text).empty())) {
            at = i + 1;
            haveSection = true;
            break;
        }
    }
    if (!haveSection) {
        if (!lines_.empty() && !Trim(lines_.back().text).empty()) {
            lines_.push_back(Line{{}, {}, {}, false, newline_});
        }
        lines_.push_back(Line{std::string("[") + kSection + "]", {}, {}, true, newline_});
        at = lines_.size();
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    return {};
}

std::string IniSettingsStore::WriteBool(const std::string& name, bool value) {
    return Write(name, value ? "bool:true" : "bool:false");
}

std::string IniSettingsStore::WriteInteger(const std::string& name, int64_t value) {
    return Write(name, "int:" + std::to_string(value));
}

std::string IniSettingsStore::WriteString(const std::string& name, const std::string& value) {
    return Write(name, "str:" + ini::Quote(value));
}

std::filesystem::path DefaultSettingsPath(const char* kardoSettings, const char* xdgConfigHome,
                                          const char* home) {
    const auto set = [](const char* value) { return value != nullptr && *value != '\0'; };
    if (set(kardoSettings)) {
        return kardoSettings;
    }
    const std::filesystem::path place = std::filesystem::path("Orrinsys") / "KARDO.ini";
    if (set(xdgConfigHome) && std::filesystem::path(xdgConfigHome).is_absolute()) {
        return std::filesystem::path(xdgConfigHome) / place;
    }
    if (set(home)) {
        return std::filesystem::path(home) / ".config" / place;
    }
    return "KARDO.ini";
}

std::filesystem::path DefaultSettingsPath() {
    return DefaultSettingsPath(std::getenv("KARDO_SETTINGS"), std::getenv("XDG_CONFIG_HOME"),
                               std::getenv("HOME"));
}

}  // namespace kardo
