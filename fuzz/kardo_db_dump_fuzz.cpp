// SPDX-License-Identifier: GPL-3.0-or-later
// The database dumper on arbitrary file contents: it either refuses the file with a
// SourceError or renders source that builds back to exactly the same bytes.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "DatabaseSource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kardo::dbsource;
    const std::vector<uint8_t> file(data, data + size);
    std::string source;
    try {
        source = Dump(file);
    } catch (const SourceError&) {
        return 0;
    }
    std::vector<uint8_t> again;
    try {
        again = Build(source);
    } catch (const SourceError& e) {
        std::fprintf(stderr, "the dump does not build: %s\n%s\n", e.message.c_str(),
                     source.c_str());
        __builtin_trap();
    }
    if (again != file) {
        std::fprintf(stderr, "the dump builds to other bytes:\n%s\n", source.c_str());
        __builtin_trap();
    }
    return 0;
}
