// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/JsonText.h"

#include <cstdio>

namespace kardo {
namespace {

// The length of the UTF-8 sequence that starts at `at`, or 0 when it is not one.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t n = lead < 0x80         ? 1
                          : (lead >> 5) == 6  ? 2
                          : (lead >> 4) == 14 ? 3
                          : (lead >> 3) == 30 ? 4
                                              : 0;
    if (n == 0 || at + n > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < n; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) >> 6) != 2) {
            return 0;
        }
    }
    return n;
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const std::size_t n = Utf8Length(text, i);
        if (n == 0) {
            out += "\\ufffd";
            ++i;
            continue;
        }
        if (n > 1) {
            out.append(text, i, n);
            i += n;
            continue;
        }
        ++i;
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x",
                                  unsigned{static_cast<unsigned char>(c)});
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

void JsonObject::Name(std::string_view name) {
    if (text_.size() > 1) {
        text_ += ", ";
    }
    text_ += JsonString(name) + ": ";
}

JsonObject& JsonObject::Add(std::string_view name, std::string_view value) {
    Name(name);
    text_ += JsonString(value);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view name, int64_t value) {
    Name(name);
    text_ += std::to_string(value);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view name, bool value) {
    Name(name);
    text_ += value ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::Add(std::string_view name, const std::vector<std::string>& values) {
    Name(name);
    text_ += '[';
    for (std::size_t i = 0; i < values.size(); ++i) {
        text_ += (i == 0 ? "" : ", ") + JsonString(values[i]);
    }
    text_ += ']';
    return *this;
}

JsonObject& JsonObject::AddJson(std::string_view name, std::string_view json) {
    Name(name);
    text_ += json;
    return *this;
}

}  // namespace kardo
