// SPDX-License-Identifier: GPL-3.0-or-later
#include "AvrLibcCheck.h"

#include <toml++/toml.h>
#include <algorithm>
#include <cstdio>
#include <map>

#include "DatabaseSource.h"
#include "SourceParts.h"
#include "ToolchainCheck.h"
#include "config/ConfigDeviceRules.h"
#include "config/ConfigSheetTable.h"
#include "config/FactoryFuses.h"

namespace kardo::dbsource {
namespace {

const char* const kByteNames[] = {"low fuse", "high fuse", "extended fuse"};

std::string Hex(int64_t v) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%02llX", static_cast<unsigned long long>(v));
    return text;
}

// Captions that describe a bit rather than name it, and the name avr-libc gives it.
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// An avr-libc bit name: an upper-case letter, then upper-case letters, digits and '_'.
bool IsBitName(const std::string& s) {
    return !s.empty() && s[0] >= 'A' && s[0] <= 'Z' && std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || IsDigit(c) || c == '_';
    });
}

const std::map<std::string, std::string> kDescribedBits{
    {"SPI Enabled", "SPIEN"},         {"WDT always on", "WDTON"},
    {"BOD Enabled", "BODEN"},         {"CKOUT Enabled", "CKOUT"},
    {"Divided Clock by 8", "CKDIV8"}, {"debugWIRE Enabled", "DWEN"},
    {"SELFPRG Enabled", "SELFPRGEN"},
};

std::string Trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') {
        s.pop_back();
    }
    while (!s.empty() && s.front() == ' ') {
        s.erase(s.begin());
    }
    return s;
}

// The bit names a caption gives, highest bit first: "SPIEN", "CKSEL0 = 1" (the value
// shown is not part of the name), "SUT1..0", "BODLEVEL[2..0]", "CKSEL[3:0]". Empty when
// the caption names no bit.
std::vector<std::string> NamesOf(const std::string& caption) {
    std::string text = Trimmed(caption);
    if (const auto it = kDescribedBits.find(text); it != kDescribedBits.end()) {
        return {it->second};
    }
    text = Trimmed(text.substr(0, text.find(" = ")));
    // A range of bits: NAME1..0, NAME[2..0] or NAME[3:0].
    const std::size_t dots = text.find("..");
    const std::size_t separator = dots != std::string::npos ? dots : text.find(':');
    const std::size_t width = dots != std::string::npos ? 2 : 1;
    if (separator != std::string::npos && separator >= 2) {
        const bool bracket = text[separator - 2] == '[';
        const std::string name = text.substr(0, separator - (bracket ? 2 : 1));
        const std::string tail = text.substr(separator + width);
        const char high = text[separator - 1];
        if (IsBitName(name) && IsDigit(high) && !tail.empty() && IsDigit(tail[0]) &&
            tail.substr(1) == (bracket ? "]" : "")) {
            std::vector<std::string> names;
            for (int i = high - '0'; i >= tail[0] - '0'; --i) {
                names.push_back(name + std::to_string(i));
            }
            return names;
        }
    }
    return IsBitName(text) ? std::vector<std::string>{text} : std::vector<std::string>{};
}

// The newer headers name the six clock bits of the low fuse as one field, SUT_CKSEL5..0:
// its four low bits are CKSEL3..0 and its two high bits SUT1..0. The ATtiny13's header
// calls its self-programming enable SPMEN, the ATtiny13A's (same part, same signature)
// SELFPRGEN, as every other header does.
std::string UsualName(const std::string& avrLibcName) {
    if (avrLibcName == "SPMEN") {
        return "SELFPRGEN";
    }
    const std::string field = "SUT_CKSEL";
    if (avrLibcName.rfind(field, 0) == 0 && avrLibcName.size() == field.size() + 1) {
        const int n = avrLibcName.back() - '0';
        return n < 4 ? "CKSEL" + std::to_string(n) : "SUT" + std::to_string(n - 4);
    }
    return avrLibcName;
}

// Factory bytes where avr-libc's header disagrees with the part's datasheet, which the
// program follows. Each entry holds the header's value: a header that changes makes the
// entry a problem, to be looked at again, instead of hiding a new difference.
struct DatasheetWins {
    const char* part;
    int byte;
    uint8_t avrLibc;
    const char* why;
};
constexpr DatasheetWins kDatasheetWins[] = {
    {"ATmega8535", 0, 0xC1,
     "shipped with SUT1..0 = 10 (0xE1) like the ATmega8515; the header programs SUT1 too"},
    {"ATmega16A", 0, 0xC1,
     "shipped with SUT1..0 = 10 (0xE1) like the ATmega16; the header programs SUT1 too"},
    {"ATtiny2313A", 0, 0x62,
     "shipped with CKSEL = 0100, the 8 MHz oscillator (0x64) like the ATtiny2313; the "
     "header gives CKSEL = 0010"},
    {"ATtiny4313", 0, 0x62,
     "shipped with CKSEL = 0100, the 8 MHz oscillator (0x64) like the ATtiny2313; the "
     "header gives CKSEL = 0010"},
    {"AT90S2323", 0, 0xFF,
     "the header's 0xFF states no default; the part is shipped with SPIEN programmed and "
     "FSTRT not (0xDF)"},
    {"AT90S2343", 0, 0xFF,
     "the header's 0xFF states no default; the part is shipped with SPIEN and RCEN "
     "programmed (0xDE)"},
};

const DatasheetWins* DatasheetValue(const DeviceRecord& r, int byte) {
    for (const DatasheetWins& d : kDatasheetWins) {
        if (d.part == r.Name() && d.byte == byte) {
            return &d;
        }
    }
    return nullptr;
}

int ByteOf(ConfigValue value) {
    return value == ConfigValue::FuseLow ? 0 : value == ConfigValue::FuseHigh ? 1 : 2;
}

using BitMap = std::map<std::pair<int, int>, std::string>;  // (byte, bit) -> name

// The fuse bits the part's sheets show, after its device rules; a control whose bits
// cannot be named is a problem.
BitMap SheetBits(const DeviceRecord& record, std::vector<std::string>& problems) {
    std::vector<ConfigPage> pages;
    for (const ConfigPage& page : ConfigPages()) {
        for (uint8_t code : page.codes) {
            if (code == record.ConfigCode()) {
                pages.push_back(page);
            }
        }
    }
    ApplyDeviceRules(pages, record);
    BitMap bits;
    for (const ConfigPage& page : pages) {
        for (const ConfigControl& c : page.controls) {
            const bool fuse = c.value == ConfigValue::FuseLow || c.value == ConfigValue::FuseHigh ||
                              c.value == ConfigValue::FuseExt;
            if (!fuse || !c.visible) {
                continue;
            }
            const int byte = ByteOf(c.value);
            const uint8_t written =
                c.kind == ControlKind::CheckBox ? c.bit : static_cast<uint8_t>(~c.andMask);
            const std::string caption = c.caption.empty() ? c.groupCaption : c.caption;
            const auto names = NamesOf(caption);
            std::vector<int> positions;
            for (int bit = 7; bit >= 0; --bit) {
                if ((written & (1 << bit)) != 0) {
                    positions.push_back(bit);
                }
            }
            if (names.empty() || names.size() != positions.size()) {
                problems.push_back("control " + c.name + " (\"" + caption + "\") writes " +
                                   std::to_string(positions.size()) + " bit(s) of the " +
                                   kByteNames[byte] + " but its caption names " +
                                   std::to_string(names.size()));
                continue;
            }
            for (std::size_t i = 0; i < names.size(); ++i) {
                bits[{byte, positions[i]}] = names[i];
            }
        }
    }
    return bits;
}

void CompareValue(std::vector<std::string>& problems, const char* what, int64_t ours,
                  const std::optional<int64_t>& theirs, const char* macro) {
    if (!theirs) {
        problems.push_back(std::string(what) + " " + Hex(ours) + ": avr-libc has no " + macro);
    } else if (ours != *theirs) {
        problems.push_back(std::string(what) + " " + Hex(ours) + ", avr-libc " + macro + " " +
                           Hex(*theirs));
    }
}

}  // namespace

bool IsAvrRecord(const DeviceRecord& record) {
    return record.Family() == 'M' && (record.Variant() == 30 || record.Variant() == 32);
}

std::vector<std::string> CompareWithAvrLibc(const DeviceRecord& r, const AvrLibcPart& part) {
    std::vector<std::string> problems;
    const int64_t ours[] = {r.ManufId(), r.DeviceId(), r.DeviceId2()};
    const char* const signatureNames[] = {"ManufId", "DeviceId", "DeviceId2"};
    const char* const signatureMacros[] = {"SIGNATURE_0", "SIGNATURE_1", "SIGNATURE_2"};
    for (std::size_t i = 0; i < 3; ++i) {
        CompareValue(problems, signatureNames[i], ours[i], part.signature[i], signatureMacros[i]);
    }
    CompareValue(problems, "LastAddress", r.LastAddress(), part.flashEnd, "FLASHEND");
    // EepromSize counts bytes; E2END is the last address, absent without an EEPROM.
    if (part.eepromEnd || r.EepromSize() != 0) {
        CompareValue(problems, "EepromSize - 1", int64_t{r.EepromSize()} - 1, part.eepromEnd,
                     "E2END");
    }
    // The program loop sends 128-byte blocks; a page must not straddle two of them.
    if (part.pageSize && (*part.pageSize <= 0 || 128 % *part.pageSize != 0)) {
        problems.push_back("SPM_PAGESIZE " + std::to_string(*part.pageSize) +
                           " does not divide the 128-byte program block");
    }

    // The factory bytes selection loads; a byte the part lacks is 0xFF there.
    const auto factory = FactoryFuses(r);
    if (!factory) {
        problems.push_back("no factory fuse entry for its signature");
    } else {
        const uint8_t loaded[] = {factory->FuseLow, factory->FuseHigh, factory->FuseExt};
        const char* const macros[] = {"LFUSE_DEFAULT", "HFUSE_DEFAULT", "EFUSE_DEFAULT"};
        for (std::size_t i = 0; i < 3; ++i) {
            const int64_t theirs = part.fuseDefault[i].value_or(0xFF);
            if (const auto* d = DatasheetValue(r, static_cast<int>(i))) {
                if (theirs != d->avrLibc) {
                    problems.push_back(std::string("avr-libc ") + macros[i] + " is now " +
                                       Hex(theirs) + ", not the " + Hex(d->avrLibc) +
                                       " the datasheet was preferred to: look at it again");
                }
            } else if (loaded[i] != theirs) {
                problems.push_back(std::string("factory ") + kByteNames[i] + " " + Hex(loaded[i]) +
                                   ", avr-libc " + macros[i] + " " + Hex(theirs));
            }
        }
    }

    // Every bit the sheet shows is avr-libc's bit of that name at that place, and every
    // bit avr-libc knows has a control.
    BitMap libc;
    for (const AvrFuseBit& b : part.fuseBits) {
        const auto [it, fresh] = libc.emplace(std::pair{b.byte, b.bit}, UsualName(b.name));
        if (!fresh) {
            problems.push_back(std::string("avr-libc names ") + kByteNames[b.byte] + " bit " +
                               std::to_string(b.bit) + " both " + it->second + " and " +
                               UsualName(b.name));
        }
    }
    const BitMap sheet = SheetBits(r, problems);
    for (const auto& [where, name] : sheet) {
        const std::string place =
            std::string(kByteNames[where.first]) + " bit " + std::to_string(where.second);
        const auto it = libc.find(where);
        if (it == libc.end()) {
            problems.push_back("the sheet shows " + name + " at " + place +
                               ", where avr-libc has no fuse bit");
        } else if (it->second != name) {
            problems.push_back("the sheet shows " + name + " at " + place + ", avr-libc FUSE_" +
                               it->second);
        }
    }
    for (const auto& [where, name] : libc) {
        if (!sheet.contains(where)) {
            problems.push_back("avr-libc FUSE_" + name + " (" + kByteNames[where.first] + " bit " +
                               std::to_string(where.second) + ") has no control on the sheet");
        }
    }
    return problems;
}

ToolchainCheckReport CheckAvrRecords(const std::vector<uint8_t>& databaseFile) {
    ToolchainCheckReport report;
    const std::vector<DeviceRecord> records = RecordsOf(databaseFile, report);
    for (const DeviceRecord& r : records) {
        if (!IsAvrRecord(r)) {
            continue;
        }
        std::string error;
        const AvrLibcPart part = ReadAvrLibc(r.Name(), error);
        if (!error.empty()) {
            report.problems.push_back(r.Name() + ": " + error);
            continue;
        }
        ++report.checked;
        for (const std::string& problem : CompareWithAvrLibc(r, part)) {
            report.problems.push_back(r.Name() + ": " + problem);
        }
    }
    return report;
}

}  // namespace kardo::dbsource
