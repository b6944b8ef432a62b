// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/WindowsErrorText.h"

#include <windows.h>

namespace kardo {

std::string WindowsErrorText(uint32_t code) {
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, text, sizeof text, nullptr);
    std::string said(text, length < sizeof text ? length : 0);
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r' || said.back() == ' ')) {
        said.pop_back();
    }
    return said.empty() ? "system error " + std::to_string(code) : said;
}

}  // namespace kardo
