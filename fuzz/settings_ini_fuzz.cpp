// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file as anybody may have edited it: opening it (or refusing it), reading
// every value the program reads, saving it again and resetting it must never crash, and
// what is written must read back as written, whatever else the file holds.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/IniSettingsStore.h"
#include "app/IniText.h"
#include "common/SafeWrite.h"

namespace {

const char* const kNames[] = {"RevNo",       "SoundON",      "Id_flag",  "Test_flag",
                              "MaxMin_flag", "ProgBits",     "Manuf_index", "Device_index",
                              "Filename",    "PathLoadSave", "DefaultDir",  "SerialNext"};

const std::filesystem::path& File() {
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("settings-" + std::to_string(getpid()) + ".ini");
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (kardo::ini::Unquote(kardo::ini::Quote(text)) != text) {
        std::abort();  // a string value must come back byte for byte
    }
    if (!kardo::WriteFileSafely(File(), data, size).empty()) {
        return 0;
    }
    kardo::IniSettingsStore store(File());
    if (!store.OpenKey()) {
        return 0;
    }
    for (const char* name : kNames) {
        (void)store.HasValue(name);
        (void)store.ReadBool(name);
        (void)store.ReadInteger(name);
        (void)store.ReadString(name);
    }
    if (!store.WriteString("PathLoadSave", text).empty() ||
        !store.WriteInteger("ProgBits", 0x17).empty() || !store.CloseKey().empty()) {
        return 0;
    }
    kardo::IniSettingsStore again(File());
    if (!again.OpenKey() || again.ReadString("PathLoadSave").value != text ||
        again.ReadInteger("ProgBits").value != 0x17) {
        std::abort();
    }
    again.CloseKey();
    // A reset takes our values out and leaves a file that still opens.
    if (!again.ResetKey().empty()) {
        return 0;
    }
    kardo::IniSettingsStore reset(File());
    if (!reset.OpenKey() || reset.HasValue("ProgBits") || reset.HasValue("PathLoadSave")) {
        std::abort();
    }
    return 0;
}
