// kardo-db: compiles the device database sources into the files the program reads,
// and turns such a file back into source.
//
//   kardo-db build SOURCE.toml OUT.usb
//   kardo-db dump FILE.usb
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "DatabaseSource.h"

namespace {

// Reads the whole file, or says why not. A folder opens like a file on some systems and
// then reads as nothing: it is refused here rather than compiled into an empty database.
bool ReadFile(const char* path, std::string& out, std::string& why) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        why = "it is a folder";
        return false;
    }
    std::FILE* in = std::fopen(path, "rb");
    if (in == nullptr) {
        why = std::strerror(errno);
        return false;
    }
    out.clear();
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
        out.append(chunk, got);
    }
    const bool failed = std::ferror(in) != 0;
    const int error = errno;
    std::fclose(in);
    if (failed) {
        why = std::strerror(error);
        return false;
    }
    return true;
}

// Writes beside the output and renames it into place, so that a failed write never leaves
// a partial file under the output's name for the build to take as done.
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& why) {
    const std::string partial = path + ".partial";
    std::FILE* out = std::fopen(partial.c_str(), "wb");
    if (out == nullptr) {
        why = std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    const int writeError = errno;
    const bool closed = std::fclose(out) == 0;
    const int closeError = errno;
    if (!written || !closed) {
        why = std::strerror(!written ? writeError : closeError);
        std::remove(partial.c_str());
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(partial, path, ec);
    if (ec) {
        why = ec.message();
        std::remove(partial.c_str());
        return false;
    }
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
    if ((verb == "build" && argc != 4) || (verb == "dump" && argc != 3) ||
        (verb != "build" && verb != "dump")) {
        return Usage();
    }
    std::string input;
    std::string why;
    if (!ReadFile(argv[2], input, why)) {
        std::cerr << "kardo-db: cannot read " << argv[2] << ": " << why << "\n";
        return 1;
    }
    try {
        if (verb == "build") {
            if (!WriteFile(argv[3], Build(input), why)) {
                std::cerr << "kardo-db: cannot write " << argv[3] << ": " << why << "\n";
                return 1;
            }
        } else {
            std::cout << Dump(std::vector<uint8_t>(input.begin(), input.end()));
            std::cout.flush();
            if (!std::cout) {
                std::cerr << "kardo-db: cannot write the dump to standard output\n";
                return 1;
            }
        }
    } catch (const SourceError& e) {
        std::cerr << "kardo-db: " << argv[2] << ": " << e.message << "\n";
        return 1;
    }
    return 0;
}
