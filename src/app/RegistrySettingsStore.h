// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/RegistryCalls.h"
#include "app/SettingsStore.h"

namespace kardo {

// The settings key in the registry: HKEY_LOCAL_MACHINE\SOFTWARE\Orrinsys\KARDO, made by
// the installation. Opening never creates it; only the reset of the settings routines
// does, after deleting it.
//
// Types as the registry keeps them: a boolean is a DWORD (any non-zero value is true), an
// integer a DWORD when it fits 32 signed bits and a QWORD otherwise, so every value comes
// back as it was written; a string is REG_SZ (REG_EXPAND_SZ is read too, unexpanded).
// Texts go through the system's ANSI code page, as every other narrow text of the
// program does there.
//
// A key that this user may read but not write (HKEY_LOCAL_MACHINE without administrator
// rights) is opened for reading: the settings still load, and a save says why it failed.
class RegistrySettingsStore : public SettingsStore {
  public:
    static constexpr const char* kKeyPath = "SOFTWARE\\Orrinsys\\KARDO";
    // Far beyond any setting of ours (paths are a few hundred bytes): a larger value is
    // not ours, and is refused rather than read whole.
    static constexpr uint32_t kLongestString = 32 * 1024;

    explicit RegistrySettingsStore(std::unique_ptr<RegistryCalls> calls,
                                   std::string path = kKeyPath);
    ~RegistrySettingsStore() override;
    RegistrySettingsStore(const RegistrySettingsStore&) = delete;
    RegistrySettingsStore& operator=(const RegistrySettingsStore&) = delete;

    bool OpenKey() override;
    std::string CreateKey() override;
    // Deletes the key and makes it again: a registry key holds nothing but its values.
    std::string ResetKey() override;
    // Removes the key and every value in it; a key that is open is closed first.
    std::string DeleteKey();
    std::string CloseKey() override;

    bool HasValue(const std::string& name) const override;
    SettingsValue<bool> ReadBool(const std::string& name) const override;
    SettingsValue<int64_t> ReadInteger(const std::string& name) const override;
    SettingsValue<std::string> ReadString(const std::string& name) const override;

    std::string WriteBool(const std::string& name, bool value) override;
    std::string WriteInteger(const std::string& name, int64_t value) override;
    std::string WriteString(const std::string& name, const std::string& value) override;

  private:
    struct Fetched {
        bool missing = false;
        uint32_t type = 0;
        std::vector<uint8_t> bytes;
        std::string error;  // set when the value is there but could not be read
    };

    Fetched Fetch(const std::string& name, uint32_t longest) const;
    // A DWORD or QWORD value as a signed number; false for any other type or size.
    static bool AsNumber(const Fetched& value, int64_t& number);
    std::string Set(const std::string& name, uint32_t type, const std::vector<uint8_t>& bytes);
    std::string Failed(const std::string& what, RegistryCalls::Status status) const;

    std::unique_ptr<RegistryCalls> calls_;
    std::string path_;
    RegistryCalls::Key key_ = nullptr;
    bool open_ = false;
};

}  // namespace kardo
