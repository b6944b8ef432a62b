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

// The position a data record starting at `address` begins at: a record that starts
// exactly at the ID or configuration address, or one inside the EEPROM range, is moved.
int64_t Inh8mPosition(uint16_t address, const PicPlacement& p, const Inh8mState& state,
                      uint8_t& missing) {
    int64_t at = state.base + address;
    if (!p.bytes || p.bytes->byExtendedAddress) {
        return at;
    }
    const PicAreaMap& map = *p.bytes;
    const int64_t fileAddress = state.base + address;
    if (fileAddress == map.idFile) {
        at = map.idBuffer;
        missing &= static_cast<uint8_t>(~area::Id);
    }
    if (fileAddress == map.configFile) {
        at = map.configBuffer;
        missing &= static_cast<uint8_t>(~area::Config);
    }
    if (map.InEepromRange(static_cast<uint64_t>(fileAddress))) {
        at = map.eepromBuffer + (address & 0xFFF);
        missing &= static_cast<uint8_t>(~area::Data);
    }
    return at;
}

}  // namespace

uint8_t ReadInh8m(LoadSession& s, const PicPlacement& p, uint8_t& missing) {
    Inh8mState state;
    const bool pic18Config = p.bytes && p.bytes->byExtendedAddress;
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
        int64_t at = Inh8mPosition(address, p, state, missing);
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
        if (pic18Config && state.base == p.bytes->configBuffer) {
            // Configuration bytes go to the other byte of their word: address XOR 1.
            for (unsigned i = 0; i < length; ++i) {
                uint8_t data = 0;
                if (!s.Byte(data) || !s.Store(state.base + ((address + i) ^ 1u), data)) {
                    return s.Failure();
                }
            }
        } else {
            for (unsigned i = 0; i < length; i += 2) {
                uint8_t first = 0, second = 0;
                if (!s.Byte(first))
                    return s.Failure();
                if (i + 1 == length) {  // a last single byte
                    if (!s.Store(state.swap ? at + 1 : at, first))
                        return s.Failure();
                    break;
                }
                if (!s.Byte(second))
                    return s.Failure();
                if (!s.Store(state.swap ? at + 1 : at, first) ||
                    !s.Store(state.swap ? at : at + 1, second)) {
                    return s.Failure();
                }
                at += 2;
            }
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
        if ((p.variant == 2 && address == 0x2100) || (p.variant == 18 && address == 0x4200)) {
            missing &= static_cast<uint8_t>(~area::Data);
        }
        int64_t at = 2 * int64_t{address};
        if (p.words && p.bytes) {
            if (address == p.words->idWord) {
                at = p.bytes->idBuffer;
                missing &= static_cast<uint8_t>(~area::Id);
            }
            if (address == p.words->configWord) {
                at = p.bytes->configBuffer;
                missing &= static_cast<uint8_t>(~area::Config);
            }
            if (address >= p.words->eepromWord && address < p.words->eepromWordEnd) {
                at = p.bytes->eepromBuffer + 2 * int64_t{address - p.words->eepromWord};
            }
        }
        if (!s.Byte(type))
            return s.Failure();
        if (type == 0x01)
            return load::Ok;
        for (unsigned i = 0; i < 2u * words; ++i) {
            uint8_t data = 0;
            if (!s.Byte(data) || !s.Store(at++, data))
                return s.Failure();
        }
        if (!s.CheckRecord(0, result))
            return result;
        s.ShowProgress(at);
    }
}

}  // namespace kardo
