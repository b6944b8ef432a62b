// SPDX-License-Identifier: GPL-3.0-or-later
// The registry settings key over a registry held in memory: what Windows would answer,
// including the answers a program rarely sees (a key it may only read, a value of the
// wrong type or size, one that changes while it is read, a write refused).
#include "app/RegistrySettingsStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <set>

#include "app/Settings.h"
#include "link/Connection.h"

namespace kardo {
namespace {

using Calls = RegistryCalls;
constexpr Calls::Status kKeyDeleted = 1018;  // what a handle to a deleted key gets

std::string Folded(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The hive as the test arranges it; outlives the fake, which the store owns.
struct Hive {
    struct Value {
        uint32_t type = 0;
        std::vector<uint8_t> bytes;
    };
    // Keys by path and values by name, both without regard to case, as the registry has it.
    std::map<std::string, std::map<std::string, Value>> keys;

    bool writeProtected = false;  // this user may read the key, not write it
    Calls::Status setRefused = 0;
    Calls::Status deleteRefused = 0;
    Calls::Status createRefused = 0;
    std::string failingValue;  // every query of this value fails with failingStatus
    Calls::Status failingStatus = 0;
    std::string growingValue;  // gains a byte each time it is read
    int growths = 0;           // ... this many times

    int creates = 0;
    std::set<const void*> openHandles;

    void Put(const std::string& name, uint32_t type, std::vector<uint8_t> bytes) {
        keys[Folded(RegistrySettingsStore::kKeyPath)][Folded(name)] = {type, std::move(bytes)};
    }
    void PutText(const std::string& name, const std::string& text, uint32_t type = Calls::kString) {
        std::vector<uint8_t> bytes(text.begin(), text.end());
        bytes.push_back(0);
        Put(name, type, bytes);
    }
    const Value* Find(const std::string& name) const {
        const auto key = keys.find(Folded(RegistrySettingsStore::kKeyPath));
        if (key == keys.end()) {
            return nullptr;
        }
        const auto value = key->second.find(Folded(name));
        return value == key->second.end() ? nullptr : &value->second;
    }
    bool HasKey() const { return keys.count(Folded(RegistrySettingsStore::kKeyPath)) != 0; }
};

class FakeRegistry : public RegistryCalls {
  public:
    explicit FakeRegistry(Hive& hive) : hive_(hive) {}

    Status OpenKey(const std::string& path, Access access, Key& key) override {
        key = nullptr;
        if (hive_.keys.count(Folded(path)) == 0) {
            return kFileNotFound;
        }
        if (access == Access::ReadWrite && hive_.writeProtected) {
            return kAccessDenied;
        }
        key = NewHandle(path, access == Access::ReadWrite);
        return kSuccess;
    }
    Status CreateKey(const std::string& path, Key& key) override {
        key = nullptr;
        if (hive_.createRefused != 0) {
            return hive_.createRefused;
        }
        ++hive_.creates;
        hive_.keys[Folded(path)];
        key = NewHandle(path, true);
        return kSuccess;
    }
    Status DeleteKey(const std::string& path) override {
        if (hive_.deleteRefused != 0) {
            return hive_.deleteRefused;
        }
        return hive_.keys.erase(Folded(path)) != 0 ? kSuccess : kFileNotFound;
    }
    Status CloseKey(Key key) override {
        EXPECT_EQ(hive_.openHandles.erase(key), 1u) << "closing a key that is not open";
        return kSuccess;
    }
    Status QueryValue(Key key, const std::string& name, uint32_t& type, uint8_t* data,
                      uint32_t& size) override {
        const Handle* handle = Open(key);
        if (handle == nullptr) {
            return 6;  // an invalid handle
        }
        const auto found = hive_.keys.find(Folded(handle->path));
        if (found == hive_.keys.end()) {
            return kKeyDeleted;
        }
        if (!hive_.failingValue.empty() && Folded(name) == Folded(hive_.failingValue)) {
            return hive_.failingStatus;
        }
        const auto value = found->second.find(Folded(name));
        if (value == found->second.end()) {
            return kFileNotFound;
        }
        if (data != nullptr && Folded(name) == Folded(hive_.growingValue) && hive_.growths > 0) {
            --hive_.growths;
            value->second.bytes.insert(value->second.bytes.begin(), 'x');
        }
        type = value->second.type;
        const auto stored = static_cast<uint32_t>(value->second.bytes.size());
        if (data != nullptr && size < stored) {
            size = stored;
            return kMoreData;
        }
        if (data != nullptr) {
            std::copy(value->second.bytes.begin(), value->second.bytes.end(), data);
        }
        size = stored;
        return kSuccess;
    }
    Status SetValue(Key key, const std::string& name, uint32_t type, const uint8_t* data,
                    uint32_t size) override {
        const Handle* handle = Open(key);
        if (handle == nullptr) {
            return 6;
        }
        if (!handle->write) {
            return kAccessDenied;
        }
        if (hive_.setRefused != 0) {
            return hive_.setRefused;
        }
        const auto found = hive_.keys.find(Folded(handle->path));
        if (found == hive_.keys.end()) {
            return kKeyDeleted;
        }
        found->second[Folded(name)] = {type, std::vector<uint8_t>(data, data + size)};
        return kSuccess;
    }
    std::string ErrorText(Status status) override {
        return status == kAccessDenied ? "Access is denied." : "error " + std::to_string(status);
    }

  private:
    struct Handle {
        std::string path;
        bool write = false;
    };
    Key NewHandle(const std::string& path, bool write) {
        handles_.push_back(std::make_unique<Handle>(Handle{path, write}));
        hive_.openHandles.insert(handles_.back().get());
        return handles_.back().get();
    }
    const Handle* Open(Key key) const {
        EXPECT_EQ(hive_.openHandles.count(key), 1u) << "a key used that is not open";
        return hive_.openHandles.count(key) != 0 ? static_cast<const Handle*>(key) : nullptr;
    }

    Hive& hive_;
    std::vector<std::unique_ptr<Handle>> handles_;
};

struct RegistryTest : ::testing::Test {
    Hive hive;
    RegistrySettingsStore store{std::make_unique<FakeRegistry>(hive)};

    RegistryTest() { hive.keys[Folded(RegistrySettingsStore::kKeyPath)]; }  // as installed
};

TEST_F(RegistryTest, TheKeyIsOpenedWithoutBeingCreated) {
    hive.keys.clear();
    EXPECT_FALSE(store.OpenKey());
    EXPECT_FALSE(hive.HasKey());
    EXPECT_EQ(hive.creates, 0);
    EXPECT_FALSE(store.HasValue("RevNo"));
    EXPECT_EQ(store.ReadBool("SoundON").error, "The settings key is not open");
    EXPECT_EQ(store.ReadString("Filename").error, "The settings key is not open");
    EXPECT_EQ(store.WriteInteger("RevNo", 1006), "The settings key is not open");
    EXPECT_EQ(store.CloseKey(), "");

    // Only the reset creates it, and leaves it closed.
    EXPECT_EQ(store.CreateKey(), "");
    EXPECT_TRUE(hive.HasKey());
    EXPECT_TRUE(hive.openHandles.empty());
    ASSERT_TRUE(store.OpenKey());
    EXPECT_EQ(store.WriteInteger("RevNo", 1002), "");
    EXPECT_EQ(store.CreateKey(), "");  // an existing key keeps its values
    EXPECT_TRUE(store.HasValue("RevNo"));

    // Deleting closes the open key first; a key that is already gone is no failure.
    EXPECT_EQ(store.DeleteKey(), "");
    EXPECT_FALSE(hive.HasKey());
    EXPECT_TRUE(hive.openHandles.empty());
    EXPECT_EQ(store.DeleteKey(), "");
}

TEST_F(RegistryTest, ValuesKeepTheRegistrysTypesAndComeBackAsWritten) {
    ASSERT_TRUE(store.OpenKey());
    EXPECT_EQ(store.WriteBool("SoundON", true), "");
    EXPECT_EQ(store.WriteBool("Id_flag", false), "");
    EXPECT_EQ(store.WriteInteger("RevNo", 1006), "");
    EXPECT_EQ(store.WriteInteger("Manuf_index", -1), "");
    EXPECT_EQ(store.WriteInteger("SerialIncrement", 4294967295), "");
    EXPECT_EQ(store.WriteInteger("Lowest", INT64_MIN), "");
    EXPECT_EQ(store.WriteString("DefaultDir", "C:\\Program Files\\KARDO \xE9"), "");
    EXPECT_EQ(store.WriteString("PathLoadSave", ""), "");
    EXPECT_EQ(store.CloseKey(), "");
    EXPECT_TRUE(hive.openHandles.empty());

    // What another program reading the key finds.
    EXPECT_EQ(hive.Find("SoundON")->type, Calls::kDword);
    EXPECT_EQ(hive.Find("SoundON")->bytes, (std::vector<uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(hive.Find("RevNo")->bytes, (std::vector<uint8_t>{0xEE, 0x03, 0, 0}));
    EXPECT_EQ(hive.Find("Manuf_index")->type, Calls::kDword);
    EXPECT_EQ(hive.Find("Manuf_index")->bytes, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(hive.Find("SerialIncrement")->type, Calls::kQword);
    EXPECT_EQ(hive.Find("DefaultDir")->type, Calls::kString);
    EXPECT_EQ(hive.Find("DefaultDir")->bytes.back(), 0);
    EXPECT_EQ(hive.Find("PathLoadSave")->bytes, (std::vector<uint8_t>{0}));

    ASSERT_TRUE(store.OpenKey());
    EXPECT_TRUE(store.ReadBool("soundon").value);  // names without regard to case
    EXPECT_TRUE(store.ReadBool("SoundON").ok());
    EXPECT_FALSE(store.ReadBool("Id_flag").value);
    EXPECT_EQ(store.ReadInteger("RevNo").value, 1006);
    EXPECT_EQ(store.ReadInteger("Manuf_index").value, -1);
    EXPECT_EQ(store.ReadInteger("SerialIncrement").value, 4294967295);
    EXPECT_EQ(store.ReadInteger("Lowest").value, INT64_MIN);
    EXPECT_EQ(store.ReadString("DefaultDir").value, "C:\\Program Files\\KARDO \xE9");
    const auto empty = store.ReadString("PathLoadSave");
    EXPECT_TRUE(empty.ok());
    EXPECT_EQ(empty.value, "");

    // Written over, a value takes its new type.
    EXPECT_EQ(store.WriteInteger("SerialIncrement", 1), "");
    EXPECT_EQ(hive.Find("SerialIncrement")->type, Calls::kDword);
    EXPECT_EQ(store.ReadInteger("SerialIncrement").value, 1);
}

TEST_F(RegistryTest, AValueOfAnotherTypeOrSizeIsAnErrorAndAMissingOneDependsOnItsType) {
    hive.PutText("SoundON", "true");
    hive.Put("RevNo", Calls::kDword, {0xEE, 0x03});         // cut short
    hive.Put("ProgBits", 3 /* binary */, {0x17, 0, 0, 0});  // the right bytes, the wrong type
    hive.Put("Filename", Calls::kDword, {1, 0, 0, 0});
    hive.Put("Test_flag", Calls::kDword, {2, 0, 0, 0});  // any non-zero number is true
    hive.Put("MaxMin_flag", Calls::kQword, {0, 0, 0, 0, 0, 0, 0, 0});
    hive.PutText("PathLoadSave", "%USERPROFILE%\\hex", Calls::kExpandString);
    hive.Put("DefaultDir", Calls::kString, {'C', ':', '\\', 'k'});  // no terminating zero
    hive.Put("Extra", Calls::kString, {'a', 'b', 0, 'c', 0});
    ASSERT_TRUE(store.OpenKey());

    EXPECT_EQ(store.ReadBool("SoundON").error, "Invalid data type for 'SoundON'");
    EXPECT_EQ(store.ReadInteger("RevNo").error, "Invalid data type for 'RevNo'");
    EXPECT_EQ(store.ReadInteger("ProgBits").error, "Invalid data type for 'ProgBits'");
    EXPECT_EQ(store.ReadString("Filename").error, "Invalid data type for 'Filename'");
    EXPECT_TRUE(store.ReadBool("Test_flag").value);
    const auto maxMin = store.ReadBool("MaxMin_flag");
    EXPECT_TRUE(maxMin.ok());
    EXPECT_FALSE(maxMin.value);
    EXPECT_EQ(store.ReadString("PathLoadSave").value, "%USERPROFILE%\\hex");  // not expanded
    EXPECT_EQ(store.ReadString("DefaultDir").value, "C:\\k");
    EXPECT_EQ(store.ReadString("Extra").value, "ab");

    EXPECT_TRUE(store.HasValue("Filename"));
    EXPECT_FALSE(store.HasValue("Id_flag"));
    EXPECT_EQ(store.ReadBool("Id_flag").error, "No value 'Id_flag' in the settings");
    EXPECT_EQ(store.ReadInteger("Device_index").error, "No value 'Device_index' in the settings");
    const auto missing = store.ReadString("Missing");
    EXPECT_TRUE(missing.ok());
    EXPECT_EQ(missing.value, "");
}

TEST_F(RegistryTest, AValueTooLongOrChangingUnderTheReadIsNeverReadPastItsEnd) {
    hive.PutText("DefaultDir", std::string(RegistrySettingsStore::kLongestString + 1, 'a'));
    hive.Put("RevNo", Calls::kDword, std::vector<uint8_t>(4096, 0));
    hive.PutText("PathLoadSave", "C:\\hex");
    hive.growingValue = "PathLoadSave";
    hive.growths = 1;  // another program writes it once, between our size question and the read
    ASSERT_TRUE(store.OpenKey());

    EXPECT_EQ(store.ReadString("DefaultDir").error,
              "The value 'DefaultDir' is too long for a setting");
    EXPECT_EQ(store.ReadInteger("RevNo").error, "The value 'RevNo' is too long for a setting");
    EXPECT_EQ(store.ReadString("PathLoadSave").value, "xC:\\hex");

    hive.growths = 100;
    EXPECT_EQ(store.ReadString("PathLoadSave").error,
              "The value 'PathLoadSave' kept changing while it was read");

    // And what the registry could not give back as it was is not written.
    EXPECT_EQ(store.WriteString("Filename", std::string("KARDO\0e.usb", 11)),
              "The text for 'Filename' holds a zero byte, which the registry cannot keep");
    EXPECT_EQ(
        store.WriteString("Filename", std::string(RegistrySettingsStore::kLongestString, 'a')),
        "The text for 'Filename' is too long for a setting");
    EXPECT_EQ(hive.Find("Filename"), nullptr);
}

TEST_F(RegistryTest, FailuresCarryTheSystemsOwnText) {
    ASSERT_TRUE(store.OpenKey());
    hive.setRefused = 1021;
    EXPECT_EQ(store.WriteBool("SoundON", true),
              "Can't write 'SoundON' to the settings: error 1021");
    hive.failingValue = "RevNo";
    hive.failingStatus = 1009;
    EXPECT_EQ(store.ReadInteger("RevNo").error, "Can't read 'RevNo' from the settings: error 1009");
    EXPECT_FALSE(store.HasValue("RevNo"));

    hive.deleteRefused = Calls::kAccessDenied;
    EXPECT_EQ(store.DeleteKey(),
              "Can't delete the settings key HKEY_LOCAL_MACHINE\\SOFTWARE\\Orrinsys\\KARDO: "
              "Access is denied.");
    hive.createRefused = Calls::kAccessDenied;
    EXPECT_EQ(store.CreateKey(),
              "Can't create the settings key HKEY_LOCAL_MACHINE\\SOFTWARE\\Orrinsys\\KARDO: "
              "Access is denied.");

    // A key deleted under an open handle: reads fail, never crash.
    hive.failingValue.clear();
    ASSERT_TRUE(store.OpenKey());
    hive.keys.clear();
    EXPECT_EQ(store.ReadString("Filename").error,
              "Can't read 'Filename' from the settings: error 1018");
    EXPECT_EQ(store.CloseKey(), "");
    EXPECT_TRUE(hive.openHandles.empty());
}

TEST_F(RegistryTest, AKeyThisUserMayOnlyReadStillLoadsAndASaveSaysWhyItFailed) {
    hive.PutText("Filename", "KARDO_m.usb");
    hive.writeProtected = true;
    ASSERT_TRUE(store.OpenKey());
    EXPECT_EQ(store.ReadString("Filename").value, "KARDO_m.usb");
    EXPECT_EQ(store.WriteString("Filename", "KARDO_e.usb"),
              "Can't write 'Filename' to the settings: Access is denied.");
    EXPECT_EQ(store.ReadString("Filename").value, "KARDO_m.usb");
}

// The settings routines of the program on this store, as at a first start on Windows.
struct Messages {
    std::vector<std::string> shown;
    InformFn inform() {
        return [this](const std::string& text) { shown.push_back(text); };
    }
};

struct RegistrySettingsTest : RegistryTest {
    Messages messages;
    std::filesystem::path home = "C:\\KARDO";

    void Start(AppState& state) {
        state.DefaultDir = home;
        WriteDefaultSettings(store, state, home, messages.inform());
        LoadSettings(store, state, home, messages.inform());
    }
    int64_t Stored(const std::string& name) {
        EXPECT_TRUE(store.OpenKey());
        const int64_t value = store.ReadInteger(name).value;
        store.CloseKey();
        return value;
    }
};

TEST_F(RegistrySettingsTest, AFirstStartResetsTheInstalledKeyAndASaveIsKept) {
    hive.Put("Leftover", Calls::kDword, {1, 0, 0, 0});
    AppState state;
    Start(state);
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front();
    EXPECT_EQ(hive.creates, 1);  // the reset deleted the key and made it again
    EXPECT_EQ(hive.Find("Leftover"), nullptr);
    EXPECT_EQ(Stored("RevNo"), kDefaultsRevision);
    EXPECT_EQ(state.selection.Filename, "KARDO_e.usb");
    EXPECT_EQ(state.DefaultDir, home);
    EXPECT_TRUE(hive.openHandles.empty());

    state.ProgBits = 0x17;
    state.selection = {"KARDO_m.usb", 3, 5, ""};
    state.serial.increment = 4000000000u;
    SaveSettings(store, state, messages.inform());
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front();
    EXPECT_EQ(Stored("RevNo"), kSoftwareRevision);

    AppState next;
    Start(next);
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front();
    EXPECT_EQ(hive.creates, 1);
    EXPECT_EQ(next.ProgBits, 0x17);
    EXPECT_EQ(next.selection.Filename, "KARDO_m.usb");
    EXPECT_EQ(next.selection.Device_index, 5);
    EXPECT_EQ(next.serial.increment, 4000000000u);
    EXPECT_TRUE(hive.openHandles.empty());
}

TEST_F(RegistrySettingsTest, AMissingKeyOrARefusedWriteIsToldAndNothingIsCreated) {
    hive.keys.clear();
    AppState state;
    Start(state);
    SaveSettings(store, state, messages.inform());
    EXPECT_EQ(messages.shown, (std::vector<std::string>{" RootDir Registry Error",
                                                        " Can't open program serial key.",
                                                        " Can't open program serial key."}));
    EXPECT_FALSE(hive.HasKey());
    EXPECT_EQ(hive.creates, 0);

    // Installed, but this user may not write below HKEY_LOCAL_MACHINE: the defaults
    // cannot be written, and the load says which value it then lacks.
    messages.shown.clear();
    hive.keys[Folded(RegistrySettingsStore::kKeyPath)];
    hive.writeProtected = true;
    Start(state);
    EXPECT_EQ(messages.shown,
              (std::vector<std::string>{"Can't write 'SoundON' to the settings: Access is denied.",
                                        "No value 'RevNo' in the settings"}));

    // Settings an administrator left from an older revision: the reset cannot delete them.
    messages.shown.clear();
    hive.Put("RevNo", Calls::kDword, {0xEA, 0x03, 0, 0});
    hive.deleteRefused = Calls::kAccessDenied;
    Start(state);
    EXPECT_EQ(messages.shown,
              (std::vector<std::string>{
                  "Can't delete the settings key HKEY_LOCAL_MACHINE\\SOFTWARE\\Orrinsys\\KARDO: "
                  "Access is denied."}));
    EXPECT_TRUE(hive.HasKey());
    EXPECT_TRUE(hive.openHandles.empty());
}

}  // namespace
}  // namespace kardo
