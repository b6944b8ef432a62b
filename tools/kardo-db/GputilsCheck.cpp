// SPDX-License-Identifier: GPL-3.0-or-later
#include "GputilsCheck.h"

#include <cctype>
#include <cstdio>
#include <sstream>

#include "DatabaseSource.h"
#include "devicedb/Pic18ErasedConfig.h"

namespace kardo::dbsource {
namespace {

uint32_t Number(const std::string& text) {
    return static_cast<uint32_t>(std::stoul(text, nullptr, 0));
}

// "0x2000 - 0x2003", or a single "0x2007".
GputilsPart::Range ParseRange(const std::string& text) {
    const auto dash = text.find(" - ");
    if (dash == std::string::npos) {
        return {Number(text), Number(text)};
    }
    return {Number(text.substr(0, dash)), Number(text.substr(dash + 3))};
}

std::string Hex(uint32_t value) {
    std::ostringstream out;
    out << "0x" << std::uppercase << std::hex << value;
    return out.str();
}

// The lines of `gpasm -s -p PART`: "Key : value", and the indented configuration words.
std::optional<GputilsPart> ParseProperties(const std::string& text) {
    GputilsPart part;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        std::string key = line.substr(0, colon);
        key.erase(key.find_last_not_of(' ') + 1);
        key.erase(0, key.find_first_not_of(' '));
        const std::string value = line.substr(line.find_first_not_of(' ', colon + 1));
        if (key == "Class") {
            part.core = value;
        } else if (key == "Program Size") {
            part.programSize = Number(value.substr(0, value.find(' ')));
        } else if (key == "Idlocs Range") {
            part.id = ParseRange(value);
        } else if (key == "Config" || key == "Config Range") {
            part.config = ParseRange(value);
        } else if (key == "EEPROM Range") {
            part.eeprom = ParseRange(value);
        } else if (key == "Config Word") {
            // "address = 0x2007, mask = 0x2FCF, default = 0xFFFF"
            GputilsPart::ConfigWord word;
            std::istringstream fields(value);
            std::string name, equals, number;
            while (fields >> name >> equals >> number) {
                if (!number.empty() && number.back() == ',') {
                    number.pop_back();
                }
                (name == "address" ? word.address
                 : name == "mask"  ? word.mask
                                   : word.erased) = Number(number);
            }
            part.words.push_back(word);
        }
    }
    if (part.core.empty() || part.programSize == 0) {
        return std::nullopt;
    }
    return part;
}

}  // namespace

std::string GputilsName(const DeviceRecord& record) {
    std::string name = record.Name();
    if (name.rfind("PIC", 0) == 0) {
        name.erase(0, 3);
    }
    for (char& c : name) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return PlainName(name) ? name : std::string();
}

GputilsLookup LookUpGputilsPart(const std::string& name) {
    if (!PlainName(name)) {
        return {std::nullopt, "not a part name gpasm could be given"};
    }
    std::string command = "gpasm -s -p p";
    command += name;
    command += " 2>&1";
    const auto said = CommandOutput(command);
    if (!said) {
        if (!CommandOutput("gpasm --version >/dev/null 2>&1")) {
            return {std::nullopt, "gpasm does not run: install gputils"};
        }
        return {std::nullopt, std::string("gpasm knows no part ") + name};
    }
    if (auto part = ParseProperties(*said)) {
        return {part, ""};
    }
    // gpasm lists some old parts but prints nothing about them.
    return {std::nullopt, ""};
}

std::vector<std::string> GputilsDisagreements(const DeviceRecord& r, const GputilsPart& g) {
    std::vector<std::string> out;
    const auto disagree = [&out](const std::string& what, const std::string& gputils,
                                 const std::string& record) {
        if (gputils != record) {
            out.push_back(what + ": gputils " + gputils + ", the record " + record);
        }
    };
    const bool pic18 = g.core == "PIC16E";
    const bool pic12 = g.core == "PIC12";
    if (!pic18 && !pic12 && g.core != "PIC14") {
        out.push_back(std::string("core ") + g.core + ": no Variant serves it");
        return out;
    }

    // Core and layout.
    const int v = r.Variant();
    const std::string variants = pic18 ? "18" : pic12 ? "0 or 6" : g.eeprom ? "2" : "1";
    const bool variantFits = pic18 ? v == 18 : pic12 ? v == 0 || v == 6 : v == (g.eeprom ? 2 : 1);
    if (!variantFits) {
        out.push_back(std::string("Variant: gputils has a ") + g.core + " part" +
                      (g.eeprom ? " with" : " without") + " data EEPROM (Variant " + variants +
                      "), the record " + std::to_string(v));
    }
    const uint32_t blank = pic18 ? 0xFF : pic12 ? 0x0F : 0x3F;  // high byte of an erased word
    disagree("BlankValue", Hex(blank), Hex(r.BlankValue()));

    // Memory sizes.
    const uint32_t programBytes = pic18 ? g.programSize : 2 * g.programSize;
    disagree(std::string("program memory ") + std::to_string(g.programSize) +
                 (pic18 ? " bytes" : " words") + ", LastAddress",
             Hex(programBytes - 1), Hex(static_cast<uint32_t>(r.LastAddress())));
    disagree("data EEPROM, EepromSize", std::to_string(g.eeprom ? g.eeprom->Count() - 1 : 0),
             std::to_string(r.EepromSize()));

    // ID locations: PIC12 right after the record's code memory, the others at their
    // fixed addresses.
    const uint32_t idAt = pic18 ? 0x200000 : pic12 ? static_cast<uint32_t>(r.Size() / 2) : 0x2000;
    const uint32_t idCount = pic18 ? 8 : 4;
    disagree("ID locations", g.id ? Hex(g.id->first) + "+" + std::to_string(g.id->Count()) : "none",
             Hex(idAt) + "+" + std::to_string(idCount));

    // Configuration: where the record's layout puts the words and how many bytes.
    const uint32_t configAt = pic18 ? 0x300000 : pic12 ? 0xFFF : 0x2007;
    const uint32_t configBytes =
        pic18 ? g.config ? g.config->Count() : 0 : 2 * (g.config ? g.config->Count() : 0);
    disagree("configuration address", g.config ? Hex(g.config->first) : "none", Hex(configAt));
    disagree("configuration bytes, ConfigCount", std::to_string(configBytes),
             std::to_string(r.ConfigCount()));
    const auto mask = r.ConfigMask();
    if (pic18) {
        const auto erased = Pic18ErasedConfig(r);
        for (uint32_t n = 0; n < 14; ++n) {
            GputilsPart::ConfigWord word{0x300000 + n, 0, 0};
            for (const auto& w : g.words) {
                if (w.address == word.address) {
                    word = w;
                }
            }
            const std::size_t at = n ^ 1;  // buffer order: high byte of each pair first
            disagree(std::string("implemented bits of ") + Hex(word.address) +
                         ", ConfigMask byte " + std::to_string(at),
                     Hex(word.mask), Hex(mask[at]));
            // Bits a part does not implement may read either way; gputils' default sets some.
            disagree(std::string("erased value of ") + Hex(word.address),
                     Hex(word.erased & word.mask), Hex(erased[at]));
        }
        return out;
    }
    for (const auto& w : g.words) {
        const std::size_t at = 2 * (w.address - configAt);
        const uint32_t recordMask =
            at + 1 < mask.size() ? (uint32_t{mask[at]} << 8) | mask[at + 1] : 0;
        disagree(std::string("implemented bits of configuration word ") + Hex(w.address) +
                     ", ConfigMask",
                 Hex(w.mask), Hex(recordMask));
    }
    return out;
}

ToolchainCheckReport CheckPicRecords(const std::vector<uint8_t>& databaseFile) {
    ToolchainCheckReport report;
    const std::vector<DeviceRecord> records = RecordsOf(databaseFile, report);
    for (const DeviceRecord& r : records) {
        if (r.Family() != 'C') {
            continue;
        }
        const GputilsLookup lookup = LookUpGputilsPart(GputilsName(r));
        if (!lookup.part) {
            if (lookup.problem.empty()) {
                report.unknown.push_back(r.Name());
            } else {
                report.problems.push_back(r.Name() + ": " + lookup.problem);
            }
            continue;
        }
        ++report.checked;
        for (const std::string& problem : GputilsDisagreements(r, *lookup.part)) {
            report.problems.push_back(r.Name() + ": " + problem);
        }
    }
    return report;
}

}  // namespace kardo::dbsource
