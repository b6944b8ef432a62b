// SPDX-License-Identifier: GPL-3.0-or-later
// The dumper: a database file back to source that builds into the same bytes.
#include <toml++/toml.h>
#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>

#include "DatabaseSource.h"
#include "SourceParts.h"
#include "devicedb/DeviceRecord.h"
#include "devicedb/PartNames.h"
#include "devicedb/RecordFieldText.h"

namespace kardo::dbsource {
namespace {

bool Printable(const uint8_t* bytes, std::size_t n) {
    return std::all_of(bytes, bytes + n, [](uint8_t c) { return c >= 0x20 && c < 0x7F; });
}

// A NUL-padded text field is printable when it is text, then only NULs.
bool CleanText(const uint8_t* bytes, std::size_t n) {
    const auto* end = std::find(bytes, bytes + n, uint8_t{0});
    return Printable(bytes, static_cast<std::size_t>(end - bytes)) &&
           std::all_of(end, bytes + n, [](uint8_t c) { return c == 0; });
}

// Renders a record as fields, then adds as raw bytes whatever the fields do not bring back
// (reserved bytes, bytes after a name's NUL, odd float encodings).
std::string DumpRecord(const DeviceRecord& record) {
    std::ostringstream fields;
    for (const auto& f : kRecordFields) {
        fields << f.name << " = " << RecordFieldText(record, f) << "\n";
    }
    const auto rebuilt = RecordFrom(toml::parse(fields.str()), "dump");
    std::ostringstream raw;
    const auto& want = record.bytes();
    const auto& got = rebuilt.bytes();
    for (std::size_t i = 0; i < kRecordSize;) {
        if (want[i] == got[i]) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < kRecordSize && want[end] != got[end]) {
            ++end;
        }
        raw << (raw.tellp() > 0 ? ", " : "") << i << " = \"" << ToHex(&want[i], end - i) << "\"";
        i = end;
    }
    std::string text = fields.str();
    if (raw.tellp() > 0) {
        text += "raw = { " + raw.str() + " }\n";
    }
    return text;
}

DeviceRecord RecordAt(const std::vector<uint8_t>& file, std::size_t at) {
    DeviceRecord::Bytes bytes;
    std::copy_n(file.begin() + static_cast<long>(at), kRecordSize, bytes.begin());
    return DeviceRecord(bytes);
}

}  // namespace

std::string Dump(const std::vector<uint8_t>& file) {
    if (file.size() < kFirstEntry) {
        Fail("shorter than the 16-byte file header");
    }
    std::ostringstream out;  // top-level keys; they must come before the first table
    std::ostringstream tables;
    out << "# Device database source, rendered from a database file.\n";
    if (CleanText(file.data(), kHeaderLength)) {
        out << "header = " << QuotedText(TextUpToNul(file.data(), kHeaderLength)) << "\n";
    } else {
        out << "header_hex = \"" << ToHex(file.data(), kHeaderLength) << "\"\n";
    }
    const unsigned manufacturers = file[13];
    out << "spare = " << (file[14] | (file[15] << 8)) << "\n";

    std::size_t at = kFirstEntry + kEntryLength * manufacturers;
    if (file.size() < at) {
        Fail("the manufacturer list runs past the end of the file");
    }
    for (unsigned m = 0; m < manufacturers; ++m) {
        const uint8_t* entry = file.data() + kFirstEntry + kEntryLength * m;
        tables << "\n[[manufacturer]]\n";
        tables << "name = " << QuotedText(TextUpToNul(entry + 1, kManufacturerNameLength)) << "\n";
        if (!CleanText(entry + 1, kManufacturerNameLength)) {
            tables << "entry_hex = \"" << ToHex(entry, kEntryLength) << "\"\n";
        } else if (entry[0] != 0) {
            tables << "tag = " << unsigned{entry[0]} << "\n";
        }
        if (file.size() < at + 4) {
            Fail("the block of manufacturer " + std::to_string(m + 1) +
                 " runs past the end of the file");
        }
        const unsigned word = file[at] | (file[at + 1] << 8);
        const unsigned count = file[at + 2] | (file[at + 3] << 8);
        if (word != 0) {
            tables << "block_word = " << word << "\n";
        }
        at += 4;
        if (file.size() < at + std::size_t{kRecordSize} * count) {
            Fail("the devices of manufacturer " + std::to_string(m + 1) +
                 " run past the end of the file");
        }
        // A record that is the part before it under another name is written as an alias
        // of it, as the source has it.
        for (unsigned k = 0; k < count;) {
            const DeviceRecord record = RecordAt(file, at);
            at += kRecordSize;
            ++k;
            std::vector<std::string> aliases;
            for (; k < count; ++k, at += kRecordSize) {
                const DeviceRecord next = RecordAt(file, at);
                const std::string name = next.Name();
                if (!SamePartUnderAnotherName(record, next) || name.empty() ||
                    !Printable(reinterpret_cast<const uint8_t*>(name.data()), name.size()) ||
                    std::find(aliases.begin(), aliases.end(), name) != aliases.end()) {
                    break;
                }
                aliases.push_back(next.Name());
            }
            tables << "\n[[manufacturer.device]]\n" << DumpRecord(record);
            if (!aliases.empty()) {
                tables << "aliases = [";
                for (std::size_t i = 0; i < aliases.size(); ++i) {
                    tables << (i == 0 ? "" : ", ") << QuotedText(aliases[i]);
                }
                tables << "]\n";
            }
        }
    }
    if (at < file.size()) {
        out << "# bytes after the last manufacturer\ntrailing_hex = \""
            << ToHex(file.data() + at, file.size() - at) << "\"\n";
    }
    return out.str() + tables.str();
}

}  // namespace kardo::dbsource
