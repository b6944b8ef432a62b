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
// Why a line (without its line end) cannot be a line of an INI file, or nullptr when it
// can. A line of an INI file is blank, a comment (';' or '#' first), a section ("[name]")
// or a value ("name=value", the name not empty), with white space allowed around each;
// and it holds no control character but the tab. Anything else means the file is not a
// settings file (a binary file, a text in UTF-16, some document named by mistake), and
// writing our values into it would spoil it.
const char* LineProblem(const std::string& line);
// Splits "type:payload"; the type comes back in lower case, the payload trimmed. False
// when there is no ':'.
bool SplitType(const std::string& raw, std::string& type, std::string& payload);
// The text in double quotes, with \\, \" and control characters (\xHH) escaped.
std::string Quote(const std::string& text);
// Reads what Quote wrote, or a text typed by hand without quotes.
std::string Unquote(const std::string& payload);

}  // namespace kardo::ini
