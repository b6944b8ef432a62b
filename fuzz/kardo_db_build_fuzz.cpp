// SPDX-License-Identifier: GPL-3.0-or-later
// The database compiler on arbitrary source text: it either refuses the text with a
// SourceError or builds a file, and the dump of that file builds back to the same bytes.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "DatabaseSource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kardo::dbsource;
    std::vector<uint8_t> file;
    try {
        file = Build(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const SourceError&) {
        return 0;
    }
    std::string source;
    std::vector<uint8_t> again;
    try {
        source = Dump(file);
        again = Build(source);
    } catch (const SourceError& e) {
        std::fprintf(stderr, "a built file does not dump and build again: %s\n", e.message.c_str());
        __builtin_trap();
    }
    if (again != file) {
        std::fprintf(stderr, "the dump builds to other bytes:\n%s\n", source.c_str());
        __builtin_trap();
    }
    return 0;
}
