// SPDX-License-Identifier: GPL-3.0-or-later
// The PIC formats. The buffer keeps PIC words high byte first; the byte-addressed
// Inh8m files carry them low byte first, so their byte pairs are stored exchanged,
// while the word-addressed Inx16 files already carry them high byte first.
#include "fileio/RecordReaders.h"

namespace kardo {
namespace {

// A record of no length ends the load: the end record, or an empty record that nothing
// follows, as old tools end their files. An empty record with more records after it
// would leave the rest of the file unread: the load fails with `notThisFormat` instead of
// passing half the file for all of it.
uint8_t EndOnEmptyRecord(LoadSession& s, uint8_t notThisFormat) {
    uint8_t type = 0;
    if (!s.Byte(type)) {
        return s.Failure();
    }
    return type == 0x01 || !s.MoreRecords(':') ? load::Ok : notThisFormat;
}

// Inh8m: where an extended-address record moves the address base, and which area it opens.
struct Inh8mState {
    int64_t base = 0;
    bool swap = true;
};

void ApplyExtendedAddress(uint16_t value, const PicPlacement& p, Inh8mState& state,
                          uint8_t& missing) {
    state.base = int64_t{value} * 0x10000;
    if (value < 0x20) {
        state.swap = true;
    }
    if (!p.bytes) {
        return;
    }
    const PicAreaMap& map = *p.bytes;
    if (value == map.idFile) {
        state.base = map.idBuffer;
        missing &= static_cast<uint8_t>(~area::Id);
        state.swap = true;
    }
    if (value == map.configFile) {
        state.base = map.configBuffer;
        missing &= static_cast<uint8_t>(~area::Config);
        state.swap = true;
    }
    if (map.eepromFile && value == *map.eepromFile) {
        state.base = map.eepromBuffer;
        missing &= static_cast<uint8_t>(~area::Data);
        if (map.byExtendedAddress) {
            state.swap = false;  // PIC18 EEPROM bytes come one per address, in order
        }
    }
}

}  // namespace

uint8_t ReadInh8m(LoadSession& s, const PicPlacement& p, uint8_t& missing) {
    Inh8mState state;
    for (uint8_t result = load::Ok;;) {
        if (!s.NextRecord(':', load::NotInh8m, result))
            return result;
        uint8_t length = 0, type = 0;
        uint16_t address = 0;
        if (!s.Byte(length) || !s.Word(address))
            return s.Failure();
        if (length == 0) {
            return EndOnEmptyRecord(s, load::NotInh8m);
        }
        if (p.variant == 2 && address >= 0x4200 && address < 0x4360 &&
            (p.configCode < 46 || p.configCode > 48)) {
            missing &= static_cast<uint8_t>(~area::Data);
        }
        if (!s.Byte(type))
            return s.Failure();
        if (type == 0x01)
            return load::Ok;
        if (type == 0x02 || type == 0x04 || type == 0x05) {
            // Its checksum is tested like any record's: a wrong base would put the
            // records after it outside the device.
            // A type-05 record carries four bytes: the address is in the first two.
            uint16_t value = 0;
            uint8_t rest = 0;
            if (!s.Word(value))
                return s.Failure();
            for (unsigned i = 2; i < length; ++i) {
                if (!s.Byte(rest))
                    return s.Failure();
            }
            if (!s.CheckRecord(0, result))
                return result;
            ApplyExtendedAddress(value, p, state, missing);
            continue;
        }
        // Each byte goes where its own file address says: a word's low byte (even
        // address) to the second byte of its buffer pair, so that a record beginning at
        // an odd address loads as its neighbours do.
        const int64_t recordStart = state.base + address;
        int64_t at = recordStart;
        for (unsigned i = 0; i < length; ++i) {
            uint8_t data = 0;
            at = PicBytePosition(p.areas, recordStart, recordStart + i, missing);
            if (!s.Byte(data) || !s.Store(state.swap ? at ^ 1 : at, data))
                return s.Failure();
        }
        if (!s.CheckRecord(0, result))
            return result;
        s.ShowProgress(at);
    }
}

uint8_t ReadInx16(LoadSession& s, const PicPlacement& p, uint8_t& missing) {
    for (uint8_t result = load::Ok;;) {
        if (!s.NextRecord(':', load::NotInx16, result))
            return result;
        uint8_t words = 0, type = 0;
        uint16_t address = 0;
        if (!s.Byte(words) || !s.Word(address))
            return s.Failure();
        if (words == 0) {
            return EndOnEmptyRecord(s, load::NotInx16);
        }
        if (p.variant == 2 && address == 0x2100) {
            missing &= static_cast<uint8_t>(~area::Data);
        }
        if (!s.Byte(type))
            return s.Failure();
        if (type == 0x01)
            return load::Ok;
        const int64_t recordStart = 2 * int64_t{address};
        int64_t at = recordStart;
        for (unsigned i = 0; i < 2u * words; ++i) {
            uint8_t data = 0;
            at = PicBytePosition(p.areas, recordStart, recordStart + i, missing);
            if (!s.Byte(data) || !s.Store(at, data))
                return s.Failure();
        }
        if (!s.CheckRecord(0, result))
            return result;
        s.ShowProgress(at);
    }
}

}  // namespace kardo
