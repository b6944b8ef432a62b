// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "devicedb/DeviceRecordLayout.h"

namespace kardo {

// The description of one device: the 192-byte record of the database file, kept as
// its byte image, with typed accessors named after the fields.
class DeviceRecord {
public:
    using Bytes = std::array<uint8_t, kRecordSize>;

    DeviceRecord() { bytes_.fill(0); }
    explicit DeviceRecord(const Bytes& bytes) : bytes_(bytes) {}

    const Bytes& bytes() const { return bytes_; }
    Bytes& bytes() { return bytes_; }

    uint8_t Variant() const { return U8(field::Variant); }
    char Family() const { return static_cast<char>(U8(field::Family)); }
    std::string Name() const { return Text(field::Name); }
    float Vcc() const { return F32(field::Vcc); }
    float VccMax() const { return F32(field::VccMax); }
    float Vpp() const { return F32(field::Vpp); }
    int32_t LastAddress() const { return I32(field::LastAddress); }
    uint16_t DataWidth() const { return U16(field::DataWidth); }
    uint8_t PinCount() const { return U8(field::PinCount); }
    uint8_t ManufId() const { return U8(field::ManufId); }
    uint8_t DeviceId() const { return U8(field::DeviceId); }
    uint8_t DeviceId2() const { return U8(field::DeviceId2); }
    uint8_t ConfigCode() const { return U8(field::ConfigCode); }
    uint8_t ProgParam() const { return U8(field::ProgParam); }
    uint8_t BlankValue() const { return U8(field::BlankValue); }
    uint8_t EncryptCode() const { return U8(field::EncryptCode); }
    uint16_t EepromSize() const { return U16(field::EepromSize); }
    uint8_t ConfigCount() const { return U8(field::ConfigCount); }
    std::span<const uint8_t, 32> ConfigMask() const {
        return std::span<const uint8_t, 32>(bytes_.data() + field::ConfigMask.offset, 32);
    }
    uint8_t DefaultOptions() const { return U8(field::DefaultOptions); }
    uint8_t OptionMask() const { return U8(field::OptionMask); }
    uint8_t ButtonMask() const { return U8(field::ButtonMask); }
    uint8_t ButtonMask2() const { return U8(field::ButtonMask2); }
    // Bit 0 of ButtonMask2: the device has a chip erase (and the Erase button).
    bool HasChipErase() const { return (ButtonMask2() & 0x01) != 0; }
    uint8_t ProgStepMask() const { return U8(field::ProgStepMask); }
    uint8_t AdapterCode() const { return U8(field::AdapterCode); }

    // Device size in bytes (LastAddress + 1), widened so a corrupt record cannot wrap.
    int64_t Size() const { return static_cast<int64_t>(LastAddress()) + 1; }

    // Field access by layout entry, for the database compiler and tests.
    uint8_t U8(const RecordField& f) const { return bytes_[f.offset]; }
    uint16_t U16(const RecordField& f) const;
    int32_t I32(const RecordField& f) const;
    float F32(const RecordField& f) const;
    std::string Text(const RecordField& f) const;

    void SetU8(const RecordField& f, uint8_t v) { bytes_[f.offset] = v; }
    void SetU16(const RecordField& f, uint16_t v);
    void SetI32(const RecordField& f, int32_t v);
    void SetF32(const RecordField& f, float v);
    // Stores up to the field's length; shorter text is NUL-padded.
    void SetText(const RecordField& f, const std::string& text);

private:
    Bytes bytes_;
};

// The text of a fixed-size name field: up to the first NUL byte within the field.
std::string TextUpToNul(const uint8_t* bytes, std::size_t length);

}  // namespace kardo
