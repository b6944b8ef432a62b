// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of the command line, their arguments, options and help texts.
#include <iterator>

#include "cli/Commands.h"
#include "cli/FileOptions.h"
#include "cli/OperationOptions.h"

namespace kardo::cli {
namespace {

constexpr std::string_view kDbDirHelp =
    "  --db-dir DIR       where KARDO_e.usb and KARDO_m.usb are (default: the current\n"
    "                     directory, then the directory of kardo-cli, then the\n"
    "                     share/kardo directory of its installation)\n";

constexpr std::string_view kLoadHelp =
    "  --in-format F      ihex, srec, bin, inh8m, inx16, jedec or elf (default: from the\n"
    "                     file's extension, else as the window loads for the device)\n"
    "  --fill F           none, default, 00 or ff: what the buffer holds where the file\n"
    "                     has no data (default: default, the device's erased pattern)\n"
    "  --offset [-]HEX    added to (or with '-' subtracted from) every file address\n";

constexpr std::string_view kOperationHelp =
    "  --link ftdi|sim    the programmer on USB, or the virtual programmer (default:\n"
    "                     $KARDO_LINK, else ftdi)\n"
    "  --steps HEX        the programming steps (ProgBits), as the options dialog sets\n"
    "                     them (default: as a new selection of the device sets them)\n"
    "  --id-check on|off  compare the chip's signature first (default: the device's)\n"
    "  --fuses L:H:E:LOCK the fuse and lock bytes the fuse step writes, in hex\n"
    "  --serial N         write serial number N (decimal, or 0x-hex) before programming,\n"
    "                     laid out as the window's settings say\n"
    "  --allow-truncate   program and verify only the part of the file that the device\n"
    "                     takes (without it, data outside the device, or in an area no\n"
    "                     step programs, is refused)\n";

std::vector<std::string_view> Join(std::initializer_list<std::span<const std::string_view>> parts) {
    std::vector<std::string_view> all;
    for (const auto part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

constexpr std::string_view kDbDir[] = {"--db-dir"};
constexpr std::string_view kDevicesOptions[] = {"--db-dir", "--type", "--family"};
constexpr std::string_view kSaveOptions[] = {"--out-format", "--range"};

std::string Concat(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const auto part : parts) {
        text += part;
    }
    return text;
}

}  // namespace

const std::vector<CommandEntry>& Commands() {
    static const std::string saveHelp =
        "  --out-format F     ihex, srec, bin, inh8m, inx16 or jedec (default: from the\n"
        "                     file's extension, else as the window saves for the device)\n"
        "  --range START:STOP the buffer positions to write, in hex (default: the device,\n"
        "                     as the save dialog offers it)\n";
    static const std::string devicesHelp = Concat(
        {"  --type eeprom|micro  only the devices of one database file\n"
         "  --family LETTERS     only the devices of these algorithm families (C, E, M ...)\n",
         kDbDirHelp});
    static const std::string infoHelp = std::string(kDbDirHelp);
    static const std::string convertHelp = Concat({kLoadHelp, saveHelp, kDbDirHelp});
    static const std::string loadHelp = Concat({kLoadHelp, kDbDirHelp});
    static const std::string operationHelp =
        Concat({kLoadHelp, kOperationHelp, saveHelp, kDbDirHelp});

    const auto loadOptions = Join({kLoadOptionNames, kDbDir});
    const auto operationOptions =
        Join({kLoadOptionNames, kOperationOptionNames, kSaveOptions, kDbDir});
    const auto operation = [&](std::string_view name, std::string_view synopsis,
                               std::string_view summary, std::size_t minArguments,
                               std::size_t maxArguments) {
        return CommandEntry{name,          synopsis,          summary,
                            operationHelp, operationOptions,  minArguments,
                            maxArguments,  RunDeviceOperation};
    };
    static const std::vector<CommandEntry> commands{
        {"devices", "", "list the devices of the database, one a line", devicesHelp,
         Join({kDevicesOptions}), 0, 0, RunDevices},
        {"info", "DEVICE", "show a device's record and the texts of the window's panels", infoHelp,
         Join({kDbDir}), 1, 1, RunInfo},
        {"convert", "DEVICE IN OUT", "load a file for a device and write it in another format",
         convertHelp, Join({kLoadOptionNames, kSaveOptions, kDbDir}), 3, 3, RunConvert},
        {"dump", "DEVICE IN RAW", "load a file and write the whole device buffer as raw bytes",
         loadHelp, loadOptions, 3, 3, RunDump},
        {"checksum", "DEVICE [IN]", "the checksum the window shows, of the erased or loaded buffer",
         loadHelp, loadOptions, 1, 2, RunChecksum},
        operation("blank", "DEVICE", "blank-check the chip", 1, 1),
        operation("read", "DEVICE [FILE]", "read the chip, and write what was read to FILE", 1, 2),
        operation("program", "DEVICE FILE", "program the chip with FILE, and verify it", 2, 2),
        operation("verify", "DEVICE FILE", "compare the chip with FILE", 2, 2),
        operation("erase", "DEVICE", "erase the chip", 1, 1),
    };
    return commands;
}

}  // namespace kardo::cli
