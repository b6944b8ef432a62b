// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of the command line, their arguments, options and help texts.
#include <iterator>

#include "cli/Commands.h"
#include "cli/FileOptions.h"
#include "cli/OperationOptions.h"

namespace kardo::cli {
namespace {

constexpr std::string_view kGlobalHelp =
    "  --db-dir DIR       where KARDO_e.usb and KARDO_m.usb are (default: the current\n"
    "                     directory, then the directory of kardo-cli, then the\n"
    "                     share/kardo directory of its installation)\n"
    "  --link ftdi|sim    the programmer on USB, or the virtual programmer (default:\n"
    "                     $KARDO_LINK, else ftdi)\n"
    "  --programmer NAME  the programmer of that name, when several are attached\n"
    "                     (default: $KARDO_PROGRAMMER, else the first found); see\n"
    "                     'kardo-cli programmers'\n";

constexpr std::string_view kLoadHelp =
    "  --in-format F      ihex, srec, bin, inh8m, inx16, jedec or elf (default: from the\n"
    "                     file's first bytes: Intel HEX, S-records, ELF or JEDEC, else\n"
    "                     binary; Intel HEX is INH8M for a PIC)\n"
    "  --fill F           none, default, 00 or ff: what the buffer holds where the file\n"
    "                     has no data (default: default, the device's erased pattern)\n"
    "  --offset [-]HEX    added to (or with '-' subtracted from) every file address\n";

constexpr std::string_view kProductionHelp =
    "  --log FILE         append a line for the operation to FILE (JSON Lines: time,\n"
    "                     host, programmer, device, file and its SHA-256, checksum,\n"
    "                     serial number, result, errors, duration); default: the\n"
    "                     ProductionLog setting\n"
    "  --repeat           program: one chip after another, each after Enter ('q' and\n"
    "                     Enter ends), then a summary; needs a terminal\n"
    "  --all              on every programmer attached at once, each line headed by the\n"
    "                     programmer's name, then a table; a read writes FILE with\n"
    "                     -NAME before its extension; --serial numbers the chips in\n"
    "                     the programmers' order\n";

constexpr std::string_view kOperationHelp =
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

constexpr std::string_view kJson[] = {"--json"};
constexpr std::string_view kDevicesOptions[] = {"--type", "--family"};
constexpr std::string_view kSaveOptions[] = {"--out-format", "--range"};
constexpr std::string_view kProductionOptions[] = {"--log", "--repeat", "--all"};

constexpr std::string_view kJsonHelp =
    "  --json             one JSON object per result on standard output, and nothing else\n";

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
        {"  PATTERN              a part of the name, or a pattern with * and ?, in any case\n"
         "  --type eeprom|micro  only the devices of one database file\n"
         "  --family LETTERS     only the devices of these algorithm families (C, E, M ...)\n"
         "A part listed under several names shows, after each further name, \"= \" and the\n"
         "name it is counted under.\n",
         kJsonHelp, kGlobalHelp});
    static const std::string infoHelp = Concat({kJsonHelp, kGlobalHelp});
    static const std::string convertHelp = Concat({kLoadHelp, saveHelp, kGlobalHelp});
    static const std::string loadHelp = Concat({kLoadHelp, kGlobalHelp});
    static const std::string checksumHelp = Concat({kLoadHelp, kJsonHelp, kGlobalHelp});
    static const std::string operationHelp =
        Concat({kLoadHelp, kOperationHelp, kProductionHelp, saveHelp, kJsonHelp, kGlobalHelp});

    const auto loadOptions = Join({kLoadOptionNames, kGlobalOptions});
    const auto operationOptions = Join({kLoadOptionNames, kOperationOptionNames, kProductionOptions,
                                        kSaveOptions, kJson, kGlobalOptions});
    const auto operation = [&](std::string_view name, std::string_view synopsis,
                               std::string_view summary, std::size_t minArguments,
                               std::size_t maxArguments) {
        return CommandEntry{name,          synopsis,          summary,
                            operationHelp, operationOptions,  minArguments,
                            maxArguments,  RunDeviceOperation};
    };
    static const std::vector<CommandEntry> commands{
        {"devices", "[PATTERN]", "list the devices of the database, one a line", devicesHelp,
         Join({kDevicesOptions, kJson, kGlobalOptions}), 0, 1, RunDevices},
        {"info", "DEVICE", "show a device's record and the texts of the window's panels", infoHelp,
         Join({kJson, kGlobalOptions}), 1, 1, RunInfo},
        {"convert", "DEVICE IN OUT", "load a file for a device and write it in another format",
         convertHelp, Join({kLoadOptionNames, kSaveOptions, kGlobalOptions}), 3, 3, RunConvert},
        {"dump", "DEVICE IN RAW", "load a file and write the whole device buffer as raw bytes",
         loadHelp, loadOptions, 3, 3, RunDump},
        {"checksum", "DEVICE [IN]", "the checksum the window shows, of the erased or loaded buffer",
         checksumHelp, Join({kLoadOptionNames, kJson, kGlobalOptions}), 1, 2, RunChecksum},
        operation("blank", "DEVICE", "blank-check the chip", 1, 1),
        operation("read", "DEVICE [FILE]", "read the chip, and write what was read to FILE", 1, 2),
        operation("program", "DEVICE FILE", "program the chip with FILE, and verify it", 2, 2),
        operation("verify", "DEVICE FILE", "compare the chip with FILE", 2, 2),
        operation("erase", "DEVICE", "erase the chip", 1, 1),
        {"programmers", "", "list the programmers attached: name, model, firmware, in use",
         Concat({kJsonHelp, kGlobalHelp}), Join({kJson, kGlobalOptions}), 0, 0, RunProgrammers},
    };
    return commands;
}

}  // namespace kardo::cli
