// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicedb/RecordFieldText.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <set>

namespace kardo {

std::string QuotedText(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u >= 0x7F) {
            out += '?';  // the raw bytes of the record put the real byte back
        } else {
            out += c;
        }
    }
    return out + "\"";
}

namespace {

std::string FloatText(float v) {
    if (std::isnan(v))
        return "nan";
    if (std::isinf(v))
        return v > 0 ? "inf" : "-inf";
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(v));
    std::string s = text;
    if (s.find_first_of(".e") == std::string::npos) {
        s += ".0";
    }
    return s;
}

// Values that read best in decimal; the rest are codes and masks, shown in hex.
bool Decimal(const RecordField& f) {
    static const std::set<std::string_view> kDecimal{"Variant",    "DataWidth",   "PinCount",
                                                     "EepromSize", "ConfigCount", "AdapterCode"};
    return kDecimal.contains(f.name);
}

}  // namespace

std::string RecordFieldText(const DeviceRecord& record, const RecordField& f) {
    char text[32];
    switch (f.kind) {
        case FieldKind::U8:
            std::snprintf(text, sizeof text, Decimal(f) ? "%u" : "0x%02X", unsigned{record.U8(f)});
            return text;
        case FieldKind::U16:
            std::snprintf(text, sizeof text, Decimal(f) ? "%u" : "0x%04X", unsigned{record.U16(f)});
            return text;
        case FieldKind::I32: {
            const int32_t v = record.I32(f);
            if (v < 0) {
                std::snprintf(text, sizeof text, "%" PRId32, v);
            } else {
                std::snprintf(text, sizeof text, "0x%" PRIX32, static_cast<uint32_t>(v));
            }
            return text;
        }
        case FieldKind::Char: {
            const uint8_t c = record.U8(f);
            return QuotedText(c == 0 ? std::string() : std::string(1, static_cast<char>(c)));
        }
        case FieldKind::Text:
            return QuotedText(record.Text(f));
        case FieldKind::F32:
            return FloatText(record.F32(f));
        case FieldKind::Bytes: {
            std::size_t used = f.length;
            while (used > 0 && record.bytes()[f.offset + used - 1] == 0) {
                --used;
            }
            std::string s = "[";
            for (std::size_t i = 0; i < used; ++i) {
                std::snprintf(text, sizeof text, "%s0x%02X", i ? ", " : "",
                              unsigned{record.bytes()[f.offset + i]});
                s += text;
            }
            return s + "]";
        }
    }
    return {};
}

}  // namespace kardo
