// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "devicedb/DeviceRecord.h"
#include "link/ProgrammerLink.h"

namespace kardo {

// The command bytes the host sends and the replies it compares.
namespace cmd {
inline constexpr uint8_t Firmware = 'F';
inline constexpr uint8_t Parameters = 'V';
inline constexpr uint8_t EepromMode = 'E';
inline constexpr uint8_t PicMode = 'P';
inline constexpr uint8_t IspMode = 'M';
inline constexpr uint8_t Read = 'R';
inline constexpr uint8_t Write = 'W';
inline constexpr uint8_t Erase = 'E';  // in PIC and ISP mode: the chip erase
inline constexpr uint8_t Stop = 'S';
inline constexpr uint8_t SelfTest = 'T';
}  // namespace cmd

// How many times the version query asks for queued bytes before it reads anyway.
inline constexpr int kFirmwareQueuePolls = 8000;

// Sends bytes as one write. The status is the link's; most of the protocol ignores it.
LinkStatus SendBytes(ProgrammerLink& link, std::initializer_list<uint8_t> bytes);
LinkStatus SendBytes(ProgrammerLink& link, const uint8_t* data, std::size_t n);

// Asks the programmer for its firmware version: 1000/1000 ms timeouts, 'F', poll the
// receive queue until something is queued or the poll bound is reached, then read one
// byte. 0 when nothing arrives.
uint32_t QueryFirmware(ProgrammerLink& link);

// Uploads the selected device's parameters with 'V' and reads the two-byte reply.
// True when the programmer answered "OK".
bool SendParameters(ProgrammerLink& link, const DeviceRecord& record);

// Opens the EEPROM ('E') or PIC ('P') mode: one byte out, two bytes back, "Go" expected.
bool Handshake(ProgrammerLink& link, uint8_t mode);

}  // namespace kardo
