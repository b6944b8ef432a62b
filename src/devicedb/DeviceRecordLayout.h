// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace kardo {

// The byte layout of a 192-byte device record, as the database files store it
// (little-endian, packed). This table is the one place the offsets are written down:
// the record's accessors and the database compiler both read it.
enum class FieldKind { U8, Char, Text, F32, I32, U16, Bytes };

struct RecordField {
    std::string_view name;
    std::size_t offset;
    FieldKind kind;
    std::size_t length;  // bytes taken in the record
};

inline constexpr std::size_t kRecordSize = 192;

namespace field {
inline constexpr RecordField Variant{"Variant", 0, FieldKind::U8, 1};
inline constexpr RecordField Family{"Family", 1, FieldKind::Char, 1};
inline constexpr RecordField Name{"Name", 2, FieldKind::Text, 20};
inline constexpr RecordField Vcc{"Vcc", 22, FieldKind::F32, 4};
inline constexpr RecordField VccMax{"VccMax", 26, FieldKind::F32, 4};
inline constexpr RecordField Vpp{"Vpp", 34, FieldKind::F32, 4};
inline constexpr RecordField LastAddress{"LastAddress", 38, FieldKind::I32, 4};
inline constexpr RecordField DataWidth{"DataWidth", 43, FieldKind::U16, 2};
inline constexpr RecordField PinCount{"PinCount", 106, FieldKind::U8, 1};
inline constexpr RecordField ManufId{"ManufId", 107, FieldKind::U8, 1};
inline constexpr RecordField DeviceId{"DeviceId", 108, FieldKind::U8, 1};
inline constexpr RecordField DeviceId2{"DeviceId2", 109, FieldKind::U8, 1};
inline constexpr RecordField ConfigCode{"ConfigCode", 110, FieldKind::U8, 1};
inline constexpr RecordField ProgParam{"ProgParam", 111, FieldKind::U8, 1};
inline constexpr RecordField BlankValue{"BlankValue", 120, FieldKind::U8, 1};
inline constexpr RecordField EncryptCode{"EncryptCode", 121, FieldKind::U8, 1};
inline constexpr RecordField EepromSize{"EepromSize", 122, FieldKind::U16, 2};
inline constexpr RecordField ConfigCount{"ConfigCount", 151, FieldKind::U8, 1};
inline constexpr RecordField ConfigMask{"ConfigMask", 152, FieldKind::Bytes, 32};
inline constexpr RecordField DefaultOptions{"DefaultOptions", 184, FieldKind::U8, 1};
inline constexpr RecordField OptionMask{"OptionMask", 186, FieldKind::U8, 1};
inline constexpr RecordField ButtonMask{"ButtonMask", 188, FieldKind::U8, 1};
inline constexpr RecordField ButtonMask2{"ButtonMask2", 189, FieldKind::U8, 1};
inline constexpr RecordField ProgStepMask{"ProgStepMask", 190, FieldKind::U8, 1};
inline constexpr RecordField AdapterCode{"AdapterCode", 191, FieldKind::U8, 1};
}  // namespace field

// Every field the program reads, in record order.
inline constexpr std::array kRecordFields{
    field::Variant,     field::Family,       field::Name,          field::Vcc,
    field::VccMax,      field::Vpp,          field::LastAddress,   field::DataWidth,
    field::PinCount,    field::ManufId,      field::DeviceId,      field::DeviceId2,
    field::ConfigCode,  field::ProgParam,    field::BlankValue,    field::EncryptCode,
    field::EepromSize,  field::ConfigCount,  field::ConfigMask,    field::DefaultOptions,
    field::OptionMask,  field::ButtonMask,   field::ButtonMask2,   field::ProgStepMask,
    field::AdapterCode,
};

}  // namespace kardo
