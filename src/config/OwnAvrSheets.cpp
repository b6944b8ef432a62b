// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own AVR configuration sheets: fuse layouts that none of the original
// sheets describes bit for bit. Each is one line of data, the names avr-libc gives the
// fuse bits by byte and position, and one interpreter turns it into a sheet: a check box
// per bit captioned with its name (ticked = programmed, 0), the lock groups the part's
// lock byte has, and the hexadecimal value of each fuse byte.
#include <string>
#include <utility>

#include "config/ConfigSheetTable.h"

namespace kardo {
namespace {

// The lock bits a part has: LB1/LB2 only, or also the boot lock bits BLB01..BLB12.
enum class Locks : uint8_t { MemoryOnly, WithBootLoader };

struct OwnLayout {
    uint8_t code;
    // The fuse bits of the low, high and extended byte, bit 0 first; nullptr where the
    // byte has no bit. A sheet without extended bits has no extended fuse to program.
    const char* fuse[3][8];
    Locks locks;
    const char* parts;  // for the reader
};

// Newer avr-libc headers name the clock bits of the low fuse as one field, SUT_CKSELn;
// the sheets use the names of its parts, CKSEL3..0 for its four low bits and SUT1..0
// for the two above (the ATtiny1634 and ATtiny441/841 have a single start-up bit, SUT0).
// The ATtiny13's self-programming enable is SELFPRGEN, as the ATtiny13A's header names
// it (the ATtiny13's says SPMEN).
#define CLOCK8 {"CKSEL0", "CKSEL1", "CKSEL2", "CKSEL3", "SUT0", "SUT1", "CKOUT", "CKDIV8"}
#define BOOT_HIGH_JTAG \
    {"BOOTRST", "BOOTSZ0", "BOOTSZ1", "EESAVE", "WDTON", "SPIEN", "JTAGEN", "OCDEN"}
#define BOD_HIGH \
    {"BODLEVEL0", "BODLEVEL1", "BODLEVEL2", "EESAVE", "WDTON", "SPIEN", "DWEN", "RSTDISBL"}

constexpr OwnLayout kOwnLayouts[] = {
    {220,
     {{"CKSEL0", "CKSEL1", "SUT0", "SUT1", "CKDIV8", "WDTON", "EESAVE", "SPIEN"},
      {"RSTDISBL", "BODLEVEL0", "BODLEVEL1", "DWEN", "SELFPRGEN"},
      {}},
     Locks::MemoryOnly,
     "ATtiny13"},
    {221,
     {CLOCK8, BOOT_HIGH_JTAG, {"BODLEVEL0", "BODLEVEL1", "BODLEVEL2"}},
     Locks::WithBootLoader,
     "ATmega164P/164PA/324A/324P/324PA"},
    {222,
     {CLOCK8, BOOT_HIGH_JTAG, {nullptr, "BODLEVEL0", "BODLEVEL1", "BODLEVEL2"}},
     Locks::WithBootLoader,
     "ATmega165P/169P"},
    {223,
     {CLOCK8, BOOT_HIGH_JTAG, {"RSTDISBL", "BODLEVEL0", "BODLEVEL1"}},
     Locks::WithBootLoader,
     "ATmega325/3250/329/3290 and their P/PA parts"},
    {224,
     {CLOCK8, BOOT_HIGH_JTAG, {"BODLEVEL0", "BODLEVEL1", "BODLEVEL2", "HWBE"}},
     Locks::WithBootLoader,
     "ATmega16U4/32U4/32U6"},
    {225,
     {CLOCK8,
      {"BOOTRST", "BOOTSZ0", "BOOTSZ1", "EESAVE", "WDTON", "SPIEN", "RSTDISBL", "DWEN"},
      {"BODLEVEL0", "BODLEVEL1", "BODLEVEL2", "HWBE"}},
     Locks::WithBootLoader,
     "ATmega8U2/16U2/32U2"},
    {226,
     {CLOCK8,
      {"BOOTRST", "BOOTSZ0", "BOOTSZ1", "EESAVE", "WDTON", "SPIEN", "DWEN", "RSTDISBL"},
      {"BODLEVEL0", "BODLEVEL1", "BODLEVEL2", "PSCRVB", "PSCRVA", "PSCRB"}},
     Locks::WithBootLoader,
     "ATmega16M1/32M1/32C1"},
    {227,
     {CLOCK8, BOD_HIGH,
      {"BOOTRST", "BOOTSZ0", "BOOTSZ1", nullptr, "PSCRV", "PSC0RB", "PSC1RB", "PSC2RB"}},
     Locks::WithBootLoader,
     "AT90PWM3B/316"},
    {228,
     {CLOCK8,
      {"BOOTRST", "BOOTSZ0", "BOOTSZ1", "EESAVE", "WDTON", "SPIEN", "DWEN", "RSTDISBL"},
      {"BODLEVEL0", "BODLEVEL1", "BODLEVEL2", "PSCINRB", "PSCRV", "PSC0RB", "PSC2RBA",
       "PSC2RB"}},
     Locks::WithBootLoader,
     "AT90PWM81/161"},
    {229,
     {{"CKSEL0", "CKSEL1", "CKSEL2", "CKSEL3", "SUT0", nullptr, "CKOUT", "CKDIV8"},
      BOD_HIGH,
      {"SELFPRGEN", "BODACT0", "BODACT1", "BODPD0", "BODPD1"}},
     Locks::MemoryOnly,
     "ATtiny1634"},
    {230,
     {{"CKSEL0", "CKSEL1", "CKSEL2", "CKSEL3", "SUT0", nullptr, "CKOUT", "CKDIV8"},
      BOD_HIGH,
      {"SELFPRGEN", "BODACT0", "BODACT1", "BODPD0", "BODPD1", "ULPOSCSEL0", "ULPOSCSEL1",
       "ULPOSCSEL2"}},
     Locks::MemoryOnly,
     "ATtiny441/841"},
    {231,
     {{"CKSEL0", "CKSEL1", "CKSEL2", "CKSEL3", nullptr, nullptr, "BODEN", "BODLEVEL"},
      {"BOOTRST", "BOOTSZ0", "BOOTSZ1", "EESAVE", nullptr, "SPIEN", "JTAGEN", "OCDEN"},
      {}},
     Locks::WithBootLoader,
     "ATmega323"},
};

#undef CLOCK8
#undef BOOT_HIGH_JTAG
#undef BOD_HIGH

constexpr ConfigValue kFuseBytes[] = {ConfigValue::FuseLow, ConfigValue::FuseHigh,
                                      ConfigValue::FuseExt};
const char* const kByteNames[] = {"FuseLow", "FuseHigh", "FuseExt"};
const char* const kGroupCaptions[] = {" Low Fuse ", " High Fuse ", " Extended Fuse "};
const char* const kByteLetters[] = {"L", "H", "E"};
// The same displays as the original three-byte sheets, so that a user sees the same.
const char* const kDisplays[] = {"Label13", "Label14", "Label15"};

bool HasBits(const OwnLayout& layout, int byte) {
    for (const char* name : layout.fuse[byte]) {
        if (name != nullptr) {
            return true;
        }
    }
    return false;
}

ConfigControl FuseBox(const std::string& prefix, int byte, int bit, const char* name) {
    ConfigControl c;
    c.name = prefix + name;
    c.kind = ControlKind::CheckBox;
    c.caption = name;
    c.value = kFuseBytes[byte];
    c.bit = c.setBits = static_cast<uint8_t>(1 << bit);
    c.andMask = static_cast<uint8_t>(~c.bit);
    c.tickedIsOne = false;  // ticked = programmed
    c.group = prefix + kByteLetters[byte];
    c.groupCaption = kGroupCaptions[byte];
    return c;
}

// A radio group over a field of the lock byte; the opening shows the item whose value
// the field holds, and nothing for a combination the group does not offer.
ConfigControl LockGroup(std::string name, std::string caption, uint8_t field, int shift,
                        std::vector<std::string> items, std::vector<uint8_t> values) {
    ConfigControl c;
    c.name = std::move(name);
    c.kind = ControlKind::RadioGroup;
    c.caption = std::move(caption);
    c.value = ConfigValue::LockBits;
    c.andMask = static_cast<uint8_t>(~(field << shift));
    c.open.mode = OpenRule::Mode::Match;
    c.open.shift = static_cast<uint8_t>(shift);
    c.open.mask = field;
    for (uint8_t v : values) {
        c.open.matches.push_back(v >> shift);
    }
    c.items = std::move(items);
    c.itemValues = std::move(values);
    return c;
}

// "CB220_", "RG220_LB": built piece by piece, as a literal added to a string trips a
// false overlap warning of GCC 12 at -O3.
std::string Named(const char* head, uint8_t code, const char* tail) {
    std::string name = head;
    name += std::to_string(code);
    name += tail;
    return name;
}

ConfigPage OwnPage(const OwnLayout& layout) {
    ConfigPage p;
    const uint8_t code = layout.code;
    p.name = Named("Page", code, "");
    p.codes = {code};
    p.keepsDataEeprom = true;
    const std::string prefix = Named("CB", code, "_");
    for (int byte = 0; byte < 3; ++byte) {
        if (!HasBits(layout, byte)) {
            continue;
        }
        for (int bit = 0; bit < 8; ++bit) {
            if (const char* name = layout.fuse[byte][bit]) {
                p.controls.push_back(FuseBox(prefix, byte, bit, name));
            }
        }
        p.displays.push_back({kDisplays[byte], kByteNames[byte], kFuseBytes[byte], "%.2X"});
    }
    // LB2..1 = 11 no lock, 10 programming disabled, 00 verification disabled too.
    p.controls.push_back(LockGroup(Named("RG", code, "_LB"), " Memory Lock Bits ", 0x03, 0,
                                   {"LB1 + LB2 on", "LB1 on", "Lock Bits off"},
                                   {0x00, 0x02, 0x03}));
    if (layout.locks == Locks::WithBootLoader) {
        p.controls.push_back(LockGroup(Named("RG", code, "_Blb0"), " Boot Lock Bits 0 ", 0x03, 2,
                                       {"BLB01 + BLB02 on", "BLB02 on", "BLB01 on",
                                        "Lock Bits off"},
                                       {0x00, 0x04, 0x08, 0x0C}));
        p.controls.push_back(LockGroup(Named("RG", code, "_Blb1"), " Boot Lock Bits 1 ", 0x03, 4,
                                       {"BLB11 + BLB12 on", "BLB12 on", "BLB11 on",
                                        "Lock Bits off"},
                                       {0x00, 0x10, 0x20, 0x30}));
    }
    return p;
}

}  // namespace

std::vector<ConfigPage> OwnAvrPages() {
    std::vector<ConfigPage> pages;
    for (const OwnLayout& layout : kOwnLayouts) {
        pages.push_back(OwnPage(layout));
    }
    return pages;
}

}  // namespace kardo
