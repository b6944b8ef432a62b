// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/Protocol.h"

#include <vector>

namespace kardo {

LinkStatus SendBytes(ProgrammerLink& link, const uint8_t* data, std::size_t n) {
    std::size_t written = 0;
    return link.Write(data, n, written);
}

LinkStatus SendBytes(ProgrammerLink& link, std::initializer_list<uint8_t> bytes) {
    return SendBytes(link, bytes.begin(), bytes.size());
}

uint32_t QueryFirmware(ProgrammerLink& link) {
    link.SetTimeouts(1000, 1000);
    SendBytes(link, {cmd::Firmware});
    std::size_t queued = 0;
    for (int poll = 0; poll < kFirmwareQueuePolls && queued == 0; ++poll) {
        link.GetQueueStatus(queued);
    }
    uint8_t version = 0;
    std::size_t got = 0;
    link.Read(&version, 1, got);
    return got == 1 ? version : 0;
}

bool SendParameters(ProgrammerLink& link, const DeviceRecord& record) {
    // Only the low 16 bits of the size go out: a 128 KiB part sends 0x00, 0x00, and the
    // firmware knows the rest from the family and variant.
    const auto size = static_cast<uint32_t>(record.Size());
    std::vector<uint8_t> bytes{cmd::Parameters, static_cast<uint8_t>(size >> 8),
                               static_cast<uint8_t>(size), static_cast<uint8_t>(record.Family()),
                               record.Variant()};
    if (record.Family() == 'C') {
        // PIC18 parts keep one buffer byte per data-EEPROM byte; the others two.
        const uint32_t eeprom = record.EepromSize() + 1u;
        const uint32_t count = record.Variant() == 18 ? eeprom : eeprom * 2;
        bytes.insert(bytes.end(), {static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count),
                                   record.ProgParam(), record.ConfigCode()});
    }
    for (const uint8_t b : bytes) {
        SendBytes(link, &b, 1);
    }
    uint8_t reply[2] = {0, 0};
    std::size_t got = 0;
    link.Read(reply, 2, got);
    return got == 2 && reply[0] == 'O' && reply[1] == 'K';
}

bool Handshake(ProgrammerLink& link, uint8_t mode) {
    SendBytes(link, &mode, 1);
    uint8_t reply[2] = {0, 0};
    std::size_t got = 0;
    link.Read(reply, 2, got);
    return got == 2 && reply[0] == 'G' && reply[1] == 'o';
}

}  // namespace kardo
