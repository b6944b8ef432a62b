// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "devicedb/DeviceRecord.h"

namespace kardo {

// A text in double quotes, with \\ and \" escaped and other unprintable bytes as '?'.
std::string QuotedText(const std::string& text);

// One field of a record as the database source writes it: counts in decimal, codes and
// masks in hex, texts quoted, floats so that they read back to the same bits, mask bytes
// as a list up to the last one that is not zero.
std::string RecordFieldText(const DeviceRecord& record, const RecordField& f);

}  // namespace kardo
