// kardo-db: compiles the device database sources into the files the program reads,
// and turns such a file back into source.
//
//   kardo-db build SOURCE.toml OUT.usb
//   kardo-db dump FILE.usb
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "DatabaseSource.h"

namespace {

bool ReadFile(const char* path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    out = text.str();
    return true;
}

int Usage() {
    std::cerr << "usage: kardo-db build SOURCE.toml OUT.usb\n"
                 "       kardo-db dump FILE.usb\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kardo::dbsource;
    if (argc < 3) {
        return Usage();
    }
    const std::string verb = argv[1];
    std::string input;
    if ((verb == "build" && argc != 4) || (verb == "dump" && argc != 3) ||
        (verb != "build" && verb != "dump")) {
        return Usage();
    }
    if (!ReadFile(argv[2], input)) {
        std::cerr << "kardo-db: cannot read " << argv[2] << "\n";
        return 1;
    }
    try {
        if (verb == "build") {
            const auto bytes = Build(input);
            std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
            if (!out) {
                std::cerr << "kardo-db: cannot write " << argv[3] << "\n";
                return 1;
            }
        } else {
            std::cout << Dump(std::vector<uint8_t>(input.begin(), input.end()));
        }
    } catch (const SourceError& e) {
        std::cerr << "kardo-db: " << argv[2] << ": " << e.message << "\n";
        return 1;
    }
    return 0;
}
