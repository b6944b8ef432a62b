// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/IniText.h"

namespace kardo::ini {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = Lower(c);
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

}  // namespace

std::string Trim(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsSpace(text[begin])) {
        ++begin;
    }
    while (end > begin && IsSpace(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

const char* LineProblem(const std::string& line) {
    for (char c : line) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
            return "holds a control character";
        }
    }
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') {
        return nullptr;
    }
    if (trimmed[0] == '[') {
        return trimmed.size() > 1 && trimmed.back() == ']' ? nullptr : "is an unfinished section";
    }
    const auto equals = trimmed.find('=');
    if (equals == std::string::npos) {
        return "is neither a section, a value nor a comment";
    }
    return equals > 0 ? nullptr : "is a value without a name";
}

bool ValidName(const std::string& name) {
    if (name.empty() || name != Trim(name) || name[0] == '[' || name[0] == ';' || name[0] == '#') {
        return false;
    }
    for (char c : name) {
        if (c == '=' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return false;
        }
    }
    return true;
}

bool SplitType(const std::string& raw, std::string& type, std::string& payload) {
    const auto colon = raw.find(':');
    if (colon == std::string::npos) {
        return false;
    }
    type = Trim(raw.substr(0, colon));
    for (char& c : type) {
        c = Lower(c);
    }
    payload = Trim(raw.substr(colon + 1));
    return true;
}

std::string Quote(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            // Kept off the line so that a newline in a value cannot end it; bytes above
            // 0x7F go through untouched, whatever encoding the path is in.
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

// Reads a payload that Quote wrote, or one typed by hand without quotes. An escape we do
// not know stays as it was typed; a missing closing quote ends the text at the line end.
std::string Unquote(const std::string& payload) {
    if (payload.empty() || payload[0] != '"') {
        return payload;
    }
    std::string out;
    for (std::size_t i = 1; i < payload.size(); ++i) {
        const char c = payload[i];
        if (c == '"') {
            break;
        }
        if (c != '\\' || i + 1 >= payload.size()) {
            out += c;
            continue;
        }
        const char next = payload[i + 1];
        if (next == '\\' || next == '"') {
            out += next;
            ++i;
        } else if (next == 'x' && i + 3 < payload.size() && HexDigit(payload[i + 2]) >= 0 &&
                   HexDigit(payload[i + 3]) >= 0) {
            out += static_cast<char>(HexDigit(payload[i + 2]) * 16 + HexDigit(payload[i + 3]));
            i += 3;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace kardo::ini
