// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Settings.h"

#include <charconv>
#include <limits>
#include <type_traits>

#include "link/Connection.h"

namespace kardo {
namespace {

constexpr const char* kRootDirError = " RootDir Registry Error";
constexpr const char* kCannotOpen = " Can't open program serial key.";

// A run of writes that stops at the first failure, as a registry write that fails ends
// the routine; the text is the store's.
class Writes {
  public:
    explicit Writes(SettingsStore& store) : store_(store) {}
    Writes& Bool(const char* name, bool value) {
        if (error.empty()) {
            error = store_.WriteBool(name, value);
        }
        return *this;
    }
    Writes& Integer(const char* name, int64_t value) {
        if (error.empty()) {
            error = store_.WriteInteger(name, value);
        }
        return *this;
    }
    Writes& String(const char* name, const std::string& value) {
        if (error.empty()) {
            error = store_.WriteString(name, value);
        }
        return *this;
    }
    std::string error;

  private:
    SettingsStore& store_;
};

void Report(const std::string& error, const InformFn& inform) {
    if (!error.empty()) {
        inform(error);
    }
}

// A key that did not open: the store's own reason when it has one to give (a file that is
// there but refused, named), else the routine's message.
void Unopened(SettingsStore& store, const char* message, const InformFn& inform) {
    const std::string why = store.TakeOpenProblem();
    inform(why.empty() ? std::string(message) : why);
}

// Ends a routine: closing is where a file store saves, so its failure is shown too.
void Close(SettingsStore& store, const InformFn& inform) {
    Report(store.CloseKey(), inform);
}

// Takes one read value, or shows why it could not be read and says to stop.
template <typename T, typename Into>
bool Take(const SettingsValue<T>& read, Into& into, const InformFn& inform) {
    if (!read.ok()) {
        inform(read.error);
        return false;
    }
    into = static_cast<Into>(read.value);
    return true;
}

// The list positions are ints in memory; a stored number beyond that range can only be a
// hand edit, and is refused rather than wrapped into some other position.
bool TakeIndex(const SettingsStore& store, const char* name, int& into, const InformFn& inform) {
    const auto read = store.ReadInteger(name);
    if (read.ok() && (read.value < std::numeric_limits<int>::min() ||
                      read.value > std::numeric_limits<int>::max())) {
        inform(std::string("Value out of range for '") + name + "'");
        return false;
    }
    return Take(read, into, inform);
}

// The values that come after the validity check, in their order; false at the first one
// that cannot be read.
bool ReadValues(const SettingsStore& store, AppState& state, const InformFn& inform) {
    if (!(Take(store.ReadBool("SoundON"), state.SoundON, inform) &&
          Take(store.ReadBool("Id_flag"), state.options.Id_flag, inform) &&
          Take(store.ReadBool("Test_flag"), state.options.Test_flag, inform) &&
          Take(store.ReadBool("MaxMin_flag"), state.options.MaxMin_flag, inform))) {
        return false;
    }
    int64_t progBits = 0;
    if (!Take(store.ReadInteger("ProgBits"), progBits, inform)) {
        return false;
    }
    state.ProgBits = static_cast<uint8_t>(progBits & 0xFF);  // only the low 8 bits mean steps
    std::string pathLoadSave;
    std::string defaultDir;
    if (!(TakeIndex(store, "Manuf_index", state.selection.Manuf_index, inform) &&
          TakeIndex(store, "Device_index", state.selection.Device_index, inform) &&
          Take(store.ReadString("Filename"), state.selection.Filename, inform) &&
          Take(store.ReadString("PathLoadSave"), pathLoadSave, inform))) {
        return false;
    }
    state.PathLoadSave = pathLoadSave;
    if (!Take(store.ReadString("DefaultDir"), defaultDir, inform)) {
        return false;
    }
    if (!defaultDir.empty()) {
        state.DefaultDir = defaultDir;
    }
    return true;
}

// The option switches and the step mask, which both the defaults and a save begin with.
Writes& WriteOptions(Writes& writes, const AppState& state) {
    return writes.Bool("SoundON", state.SoundON)
        .Bool("Id_flag", state.options.Id_flag)
        .Bool("Test_flag", state.options.Test_flag)
        .Bool("MaxMin_flag", state.options.MaxMin_flag)
        .Integer("ProgBits", state.ProgBits);
}

}  // namespace

// Serial numbers came after the other values: a store without them is simply older, and
// one with an unusable value gets a good one at the next close. Either way the numbers
// in memory stay, and there is nothing the user could do about a message.
void ReadSerialValues(const SettingsStore& store, SerialNumberSettings& serial) {
    const auto flag = [&](const char* name, bool& into) {
        if (const auto read = store.ReadBool(name); read.ok()) {
            into = read.value;
        }
    };
    const auto number = [&](const char* name, int64_t low, int64_t high, auto& into) {
        if (const auto read = store.ReadInteger(name);
            read.ok() && read.value >= low && read.value <= high) {
            into = static_cast<std::remove_reference_t<decltype(into)>>(read.value);
        }
    };
    flag("SerialOn", serial.enabled);
    if (const auto read = store.ReadInteger("SerialDigits");
        read.ok() && read.value >= 2 && read.value <= 16 && read.value % 2 == 0) {
        serial.digits = static_cast<uint8_t>(read.value);
    }
    number("SerialIncrement", 0, std::numeric_limits<uint32_t>::max(), serial.increment);
    if (const auto read = store.ReadString("SerialNext"); read.ok() && !read.value.empty()) {
        // Decimal digits only: from_chars alone would also take a sign or stop early.
        uint64_t next = 0;
        const char* end = read.value.data() + read.value.size();
        const auto [at, error] = std::from_chars(read.value.data(), end, next);
        if (read.value.front() != '-' && read.value.front() != '+' && error == std::errc() &&
            at == end) {
            serial.next = next;
        }
    }
    number("SerialAddress", 0, std::numeric_limits<uint32_t>::max(), serial.address);
    flag("SerialHex", serial.hex);
    flag("SerialMsdFirst", serial.msdFirst);
}

void WriteDefaultSettings(SettingsStore& store, const AppState& state,
                          const std::filesystem::path& workingDir, const InformFn& inform) {
    if (!store.OpenKey()) {
        Unopened(store, kRootDirError, inform);
        return;
    }
    if (!store.HasValue("RevNo")) {
        Writes writes(store);
        WriteOptions(writes, state)
            .Integer("RevNo", kDefaultsRevision)
            .Integer("Manuf_index", 0)
            .Integer("Device_index", 0)
            .String("Filename", kDefaultDatabaseFile)
            .String("PathLoadSave", workingDir.string())
            .String("DefaultDir", workingDir.string());
        Report(writes.error, inform);
    }
    Close(store, inform);
}

void LoadSettings(SettingsStore& store, AppState& state, const std::filesystem::path& workingDir,
                  const InformFn& inform) {
    if (!store.OpenKey()) {
        Unopened(store, kCannotOpen, inform);
        return;
    }
    std::string storedDir;
    int64_t revision = 0;
    const bool read = Take(store.ReadString("DefaultDir"), storedDir, inform);
    if (read) {
        state.DefaultDir = workingDir;
    }
    if (!read || !Take(store.ReadInteger("RevNo"), revision, inform)) {
        Close(store, inform);
        return;
    }
    // Settings written by another revision, or for a copy of the program in another
    // directory, do not fit this one: start over from the defaults.
    if (revision != kSoftwareRevision || storedDir != workingDir.string()) {
        Close(store, inform);
        // Only our own values go: in a file store, whatever else the file holds stays.
        if (const std::string error = store.ResetKey(); !error.empty()) {
            inform(error);
            return;
        }
        WriteDefaultSettings(store, state, workingDir, inform);
        if (!store.OpenKey()) {
            Unopened(store, kCannotOpen, inform);
            return;
        }
    }
    if (ReadValues(store, state, inform)) {
        ReadSerialValues(store, state.serial);
        // Set by hand (or by a deployment), never written by the program: where the
        // production log goes, as kardo-cli's --log.
        if (const auto log = store.ReadString("ProductionLog"); log.ok()) {
            state.ProductionLog = log.value;
        }
        // Written since devices were first added in the middle of a database's lists;
        // settings from before have only the indexes.
        if (const auto name = store.ReadString("Device_name"); name.ok()) {
            state.selection.Device_name = name.value;
        }
    }
    Close(store, inform);
}

void SaveSettings(SettingsStore& store, const AppState& state, const InformFn& inform) {
    if (!store.OpenKey()) {
        Unopened(store, kCannotOpen, inform);
        return;
    }
    const SerialNumberSettings& serial = state.serial;
    Writes writes(store);
    WriteOptions(writes, state)
        .Integer("RevNo", kSoftwareRevision)
        .Integer("Manuf_index", state.selection.Manuf_index)
        .Integer("Device_index", state.selection.Device_index)
        .String("Device_name", state.selection.Device_name)
        .String("Filename", state.selection.Filename)
        .String("PathLoadSave", state.PathLoadSave.string())
        .String("DefaultDir", state.DefaultDir.string())
        .Bool("SerialOn", serial.enabled)
        .Integer("SerialDigits", serial.digits)
        .Integer("SerialIncrement", serial.increment)
        .String("SerialNext", std::to_string(serial.next))
        .Integer("SerialAddress", serial.address)
        .Bool("SerialHex", serial.hex)
        .Bool("SerialMsdFirst", serial.msdFirst);
    Report(writes.error, inform);
    Close(store, inform);
}

}  // namespace kardo
