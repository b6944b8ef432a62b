// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kardo {

// A JSON string: quotes, backslashes and control characters escaped. Bytes that are not
// UTF-8 become U+FFFD, so that what we write always parses.
std::string JsonString(std::string_view text);

// One JSON object on one line, its members in the order they are added.
class JsonObject {
  public:
    JsonObject& Add(std::string_view name, std::string_view value);
    JsonObject& Add(std::string_view name, const char* value) {
        return Add(name, std::string_view(value));
    }
    JsonObject& Add(std::string_view name, const std::string& value) {
        return Add(name, std::string_view(value));
    }
    JsonObject& Add(std::string_view name, int64_t value);
    JsonObject& Add(std::string_view name, bool value);
    JsonObject& Add(std::string_view name, const std::vector<std::string>& values);
    // A value that is JSON already (an object, null).
    JsonObject& AddJson(std::string_view name, std::string_view json);
    std::string Text() const { return text_ + "}"; }

  private:
    void Name(std::string_view name);
    std::string text_ = "{";
};

}  // namespace kardo
