// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The text rules of the settings file: how a line is cut into a name and a typed value,
// and how a string value is written so that any bytes come back as they were.
namespace kardo::ini {

// Without the ASCII white space at either end.
std::string Trim(const std::string& text);
char Lower(char c);
// Value names compare without regard to ASCII case, as a registry compares them.
bool SameName(const std::string& a, const std::string& b);
// A name that reads back as the same value line: not empty, no '=', no control
// characters, no white space at either end, and not starting like a section or comment.
bool ValidName(const std::string& name);
// Splits "type:payload"; the type comes back in lower case, the payload trimmed. False
// when there is no ':'.
bool SplitType(const std::string& raw, std::string& type, std::string& payload);
// The text in double quotes, with \\, \" and control characters (\xHH) escaped.
std::string Quote(const std::string& text);
// Reads what Quote wrote, or a text typed by hand without quotes.
std::string Unquote(const std::string& payload);

}  // namespace kardo::ini
