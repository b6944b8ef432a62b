// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kardo {

// Where every part of the program reports to the user: one line of the message log
// at a time. The core never touches a widget; the main window implements this.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void AppendLine(const std::string& line) = 0;
};

}  // namespace kardo
