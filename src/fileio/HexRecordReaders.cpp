// SPDX-License-Identifier: GPL-3.0-or-later
// Intel HEX and Motorola S-records: byte-addressed data for every family but the PICs.
#include "fileio/RecordReaders.h"

namespace kardo {

// ":" LL AAAA TT data CC. Extended segment (02) and linear (04) records set the address
// base; the end record (01) ends the load; a start address (03) is passed over and 05
// is read and ignored.
uint8_t ReadIntelHex(LoadSession& s, int64_t offset) {
    constexpr uint8_t kLongestRecord = 0x40;
    int64_t base = 0;
    for (uint8_t result = load::Ok;;) {
        if (!s.NextRecord(':', load::NotIntelHex, result))
            return result;
        uint8_t length = 0, type = 0;
        uint16_t address = 0;
        if (!s.Byte(length))
            return s.Failure();
        if (length > kLongestRecord)
            return load::NotIntelHex;
        if (!s.Word(address) || !s.Byte(type))
            return s.Failure();
        int64_t at = base + address + offset;
        switch (type) {
            case 0x00:
                for (unsigned i = 0; i < length; ++i) {
                    uint8_t data = 0;
                    if (!s.Byte(data) || !s.Store(at++, data))
                        return s.Failure();
                }
                s.ShowProgress(at);
                break;
            case 0x01:
                return load::Ok;
            case 0x02:
            case 0x04: {
                uint16_t value = 0;
                if (!s.Word(value))
                    return s.Failure();
                base = int64_t{value} * (type == 0x02 ? 16 : 0x10000);
                break;
            }
            case 0x03:
                continue;  // the scanner passes over the rest, checksum and all
            case 0x05:
                for (int i = 0; i < 4; ++i) {
                    uint8_t ignored = 0;
                    if (!s.Byte(ignored))
                        return s.Failure();
                }
                break;
            default:
                return load::NotIntelHex;
        }
        if (!s.CheckRecord(0, result))
            return result;
    }
}

// "S" t CC address data SS. S1, S2 and S3 carry data at 2-, 3- and 4-byte addresses; S7,
// S8 and S9 end the load; every other record (the S0 header, S5 counts) is passed over.
// The termination record is optional: srec_cat writes none unless it was given a start
// address, so a file that ends after its data records is complete. A file that held no
// data record at all is not taken for one.
uint8_t ReadMotorola(LoadSession& s, int64_t offset) {
    bool heldData = false;
    for (uint8_t result = load::Ok;;) {
        if (!s.NextRecord('S', load::NotMotorola, result))
            return result == load::NotMotorola && heldData ? load::Ok : result;
        char type = 0;
        if (!s.Character(type))
            return s.Failure();
        if (type == '7' || type == '8' || type == '9')
            return load::Ok;
        if (type != '1' && type != '2' && type != '3')
            continue;
        const int addressBytes = type - '0' + 1;
        s.StartRecord();
        uint8_t count = 0;
        if (!s.Byte(count))
            return s.Failure();
        int64_t address = 0;
        for (int i = 0; i < addressBytes; ++i) {
            uint8_t b = 0;
            if (!s.Byte(b))
                return s.Failure();
            address = address << 8 | b;
        }
        int64_t at = address + offset;
        const int dataBytes = count - addressBytes - 1;  // the count takes in address and SS
        for (int i = 0; i < dataBytes; ++i) {
            uint8_t data = 0;
            if (!s.Byte(data) || !s.Store(at++, data))
                return s.Failure();
        }
        if (!s.CheckRecord(0xFF, result))
            return result;  // the ones' complement of the sum
        heldData = true;
        s.ShowProgress(at);
    }
}

}  // namespace kardo
