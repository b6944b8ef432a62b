// SPDX-License-Identifier: GPL-3.0-or-later
#include "DatabaseSource.h"

#include <toml++/toml.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <set>

#include "SourceParts.h"
#include "devicedb/DeviceRecord.h"

namespace kardo::dbsource {
namespace {

// The smallest magnitude that rounds to infinity as a float: halfway between the largest
// float and 2^128.
constexpr double kFloatOverflow = 0x1.ffffffp+127;

std::string Where(const toml::node& node) {
    return "line " + std::to_string(node.source().begin.line);
}

// ---- hex text, used for bytes that have no field of their own ----

std::vector<uint8_t> FromHex(std::string_view text, const std::string& what) {
    auto digit = [&](char c) -> uint8_t {
        if (c >= '0' && c <= '9')
            return static_cast<uint8_t>(c - '0');
        if (c >= 'A' && c <= 'F')
            return static_cast<uint8_t>(c - 'A' + 10);
        if (c >= 'a' && c <= 'f')
            return static_cast<uint8_t>(c - 'a' + 10);
        Fail(what + ": '" + std::string(1, c) + "' is not a hex digit");
    };
    if (text.size() % 2 != 0) {
        Fail(what + ": hex text needs two digits per byte");
    }
    std::vector<uint8_t> bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        bytes.push_back(static_cast<uint8_t>(digit(text[i]) * 16 + digit(text[i + 1])));
    }
    return bytes;
}

// ---- reading TOML values with range checks ----

int64_t Integer(const toml::node& node, int64_t low, int64_t high, const std::string& what) {
    const auto value = node.value_exact<int64_t>();
    if (!value) {
        Fail(what + " (" + Where(node) + "): expected an integer");
    }
    if (*value < low || *value > high) {
        Fail(what + " (" + Where(node) + "): " + std::to_string(*value) + " is outside " +
             std::to_string(low) + ".." + std::to_string(high));
    }
    return *value;
}

std::string Text(const toml::node& node, std::size_t maxLength, const std::string& what) {
    const auto value = node.value_exact<std::string>();
    if (!value) {
        Fail(what + " (" + Where(node) + "): expected a string");
    }
    if (value->size() > maxLength) {
        Fail(what + " (" + Where(node) + "): \"" + *value + "\" is longer than " +
             std::to_string(maxLength) + " bytes");
    }
    return *value;
}

const toml::array& ArrayOf(const toml::node& node, const std::string& what) {
    const auto* array = node.as_array();
    if (array == nullptr) {
        Fail(what + " (" + Where(node) + "): expected an array");
    }
    return *array;
}

const toml::table& TableOf(const toml::node& node, const std::string& what) {
    const auto* table = node.as_table();
    if (table == nullptr) {
        Fail(what + " (" + Where(node) + "): expected a table");
    }
    return *table;
}

void RejectUnknownKeys(const toml::table& table, const std::set<std::string>& known,
                       const std::string& what) {
    for (const auto& [key, node] : table) {
        if (!known.contains(std::string(key.str()))) {
            Fail(what + " (" + Where(node) + "): unknown key '" + std::string(key.str()) + "'");
        }
    }
}

// ---- device records ----

void SetField(DeviceRecord& record, const RecordField& f, const toml::node& node,
              const std::string& what) {
    const std::string name = what + "." + std::string(f.name);
    switch (f.kind) {
        case FieldKind::U8:
            record.SetU8(f, static_cast<uint8_t>(Integer(node, 0, 0xFF, name)));
            break;
        case FieldKind::U16:
            record.SetU16(f, static_cast<uint16_t>(Integer(node, 0, 0xFFFF, name)));
            break;
        case FieldKind::I32:
            record.SetI32(f,
                          static_cast<int32_t>(Integer(node, std::numeric_limits<int32_t>::min(),
                                                       std::numeric_limits<int32_t>::max(), name)));
            break;
        case FieldKind::Char: {
            const std::string letter = Text(node, 1, name);
            record.SetU8(f, letter.empty() ? uint8_t{0} : static_cast<uint8_t>(letter[0]));
            break;
        }
        case FieldKind::Text:
            record.SetText(f, Text(node, f.length, name));
            break;
        case FieldKind::F32: {
            const auto value = node.value<double>();  // integers are taken as well
            if (!value) {
                Fail(name + " (" + Where(node) + "): expected a number");
            }
            // A finite number beyond what a float holds would come out as infinity (and
            // the conversion is undefined); inf and nan themselves are taken as written.
            if (std::isfinite(*value) && std::fabs(*value) >= kFloatOverflow) {
                Fail(name + " (" + Where(node) + "): " + std::to_string(*value) +
                     " is outside the range of a float");
            }
            record.SetF32(f, static_cast<float>(*value));
            break;
        }
        case FieldKind::Bytes: {
            const auto& array = ArrayOf(node, name);
            if (array.size() > f.length) {
                Fail(name + " (" + Where(node) + "): more than " + std::to_string(f.length) +
                     " bytes");
            }
            for (std::size_t i = 0; i < array.size(); ++i) {
                record.bytes()[f.offset + i] =
                    static_cast<uint8_t>(Integer(array[i], 0, 0xFF, name));
            }
            break;
        }
    }
}

// A raw key is a byte offset into the record, in decimal or 0x-hex and nothing else: no
// sign, no spaces, no exponent. Anything beyond the record is given as kRecordSize + 1, so
// that a long run of digits can neither wrap nor be mistaken for a small offset.
std::optional<std::size_t> RawOffset(std::string_view key) {
    unsigned base = 10;
    if (key.size() > 2 && key[0] == '0' && (key[1] == 'x' || key[1] == 'X')) {
        base = 16;
        key.remove_prefix(2);
    }
    if (key.empty()) {
        return std::nullopt;
    }
    std::size_t offset = 0;
    for (const char c : key) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        offset = std::min(offset * base + digit, kRecordSize + 1);
    }
    return offset;
}

// Bytes the fields do not describe: { offset = "hex bytes" }.
void ApplyRaw(DeviceRecord& record, const toml::table& raw, const std::string& what) {
    for (const auto& [key, node] : raw) {
        const std::string where = what + ".raw." + std::string(key.str());
        const auto offset = RawOffset(key.str());
        if (!offset) {
            Fail(where + ": the key must be a byte offset, in decimal or 0x-hex");
        }
        const auto bytes = FromHex(Text(node, 2 * kRecordSize, where), where);
        if (*offset > kRecordSize || bytes.size() > kRecordSize - *offset) {
            Fail(where + ": runs past the end of the " + std::to_string(kRecordSize) +
                 "-byte record");
        }
        std::copy(bytes.begin(), bytes.end(), record.bytes().begin() + static_cast<long>(*offset));
    }
}

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void AppendHexOrText(std::vector<uint8_t>& out, const toml::table& table, const char* textKey,
                     const char* hexKey, std::size_t length, const std::string& what) {
    std::vector<uint8_t> bytes(length, 0);
    if (const auto* hex = table.get(hexKey)) {
        const auto given = FromHex(Text(*hex, 2 * length, what + "." + hexKey), what);
        if (given.size() != length) {
            Fail(what + "." + hexKey + ": needs exactly " + std::to_string(length) + " bytes");
        }
        bytes = given;
    } else if (const auto* text = table.get(textKey)) {
        const std::string s = Text(*text, length, what + "." + textKey);
        std::copy(s.begin(), s.end(), bytes.begin());
    }
    out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace

std::string ToHex(const uint8_t* bytes, std::size_t n) {
    std::string text;
    char digits[3];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(digits, sizeof digits, "%02X", bytes[i]);
        text += digits;
    }
    return text;
}

DeviceRecord RecordFrom(const toml::table& device, const std::string& what) {
    std::set<std::string> known{"raw", "aliases"};
    for (const auto& f : kRecordFields) {
        known.insert(std::string(f.name));
    }
    RejectUnknownKeys(device, known, what);
    DeviceRecord record;
    for (const auto& f : kRecordFields) {
        if (const auto* node = device.get(f.name)) {
            SetField(record, f, *node, what);
        }
    }
    if (const auto* raw = device.get("raw")) {
        ApplyRaw(record, TableOf(*raw, what + ".raw"), what);
    }
    return record;
}

std::vector<DeviceRecord> RecordsFrom(const toml::table& device, const std::string& what) {
    std::vector<DeviceRecord> records{RecordFrom(device, what)};
    const auto* aliases = device.get("aliases");
    if (aliases == nullptr) {
        return records;
    }
    std::set<std::string> names{records.front().Name()};
    for (const auto& node : ArrayOf(*aliases, what + ".aliases")) {
        const std::string name = Text(node, field::Name.length, what + ".aliases");
        if (name.empty() || name.find('\0') != std::string::npos) {
            Fail(what + ".aliases (" + Where(node) + "): an alias needs a name");
        }
        if (!names.insert(name).second) {
            Fail(what + ".aliases (" + Where(node) + "): \"" + name + "\" is named twice");
        }
        DeviceRecord alias = records.front();
        alias.SetText(field::Name, name);
        records.push_back(alias);
    }
    return records;
}

std::vector<uint8_t> Build(std::string_view tomlText) {
    toml::table source;
    try {
        source = toml::parse(tomlText);
    } catch (const toml::parse_error& e) {
        Fail("line " + std::to_string(e.source().begin.line) + ": " + std::string(e.description()));
    }
    RejectUnknownKeys(source, {"header", "header_hex", "spare", "manufacturer", "trailing_hex"},
                      "file");
    const toml::array empty;
    const toml::array& manufacturers =
        source.get("manufacturer") ? ArrayOf(*source.get("manufacturer"), "manufacturer") : empty;
    if (manufacturers.size() > 255) {
        Fail("more than 255 manufacturers");
    }

    std::vector<uint8_t> out;
    AppendHexOrText(out, source, "header", "header_hex", kHeaderLength, "file");
    out.push_back(static_cast<uint8_t>(manufacturers.size()));
    PutU16(out, source.get("spare")
                    ? static_cast<uint16_t>(Integer(*source.get("spare"), 0, 0xFFFF, "spare"))
                    : uint16_t{0});

    std::vector<std::vector<uint8_t>> blocks;
    for (std::size_t m = 0; m < manufacturers.size(); ++m) {
        const std::string what = "manufacturer " + std::to_string(m + 1);
        const auto& maker = TableOf(manufacturers[m], what);
        RejectUnknownKeys(maker, {"name", "tag", "entry_hex", "block_word", "device"}, what);
        if (maker.get("entry_hex")) {
            AppendHexOrText(out, maker, "", "entry_hex", kEntryLength, what);
        } else {
            out.push_back(maker.get("tag") ? static_cast<uint8_t>(
                                                 Integer(*maker.get("tag"), 0, 0xFF, what + ".tag"))
                                           : uint8_t{0});
            AppendHexOrText(out, maker, "name", "", kManufacturerNameLength, what);
        }

        const std::string makerName = maker.get("name") ? Text(*maker.get("name"), 15, what) : "";
        const toml::array& devices =
            maker.get("device") ? ArrayOf(*maker.get("device"), what + ".device") : empty;
        std::vector<uint8_t> records;
        std::size_t count = 0;
        for (std::size_t k = 0; k < devices.size(); ++k) {
            const std::string deviceWhat = makerName + " device " + std::to_string(k + 1);
            for (const auto& record : RecordsFrom(TableOf(devices[k], deviceWhat), deviceWhat)) {
                if (++count > 0xFFFF) {
                    Fail(what + ": more than 65535 devices");
                }
                records.insert(records.end(), record.bytes().begin(), record.bytes().end());
            }
        }
        std::vector<uint8_t> block;
        PutU16(block, maker.get("block_word") ? static_cast<uint16_t>(Integer(
                                                    *maker.get("block_word"), 0, 0xFFFF, what))
                                              : uint16_t{0});
        PutU16(block, static_cast<uint16_t>(count));
        block.insert(block.end(), records.begin(), records.end());
        blocks.push_back(std::move(block));
    }
    for (const auto& block : blocks) {
        out.insert(out.end(), block.begin(), block.end());
    }
    if (const auto* trailing = source.get("trailing_hex")) {
        const auto bytes =
            FromHex(Text(*trailing, std::string::npos / 4, "trailing_hex"), "trailing_hex");
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

}  // namespace kardo::dbsource
