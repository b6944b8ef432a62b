// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RegistrySettingsStore.h"

#include <limits>

namespace kardo {
namespace {

using Calls = RegistryCalls;

constexpr const char* kNotOpen = "The settings key is not open";
constexpr const char* kHive = "HKEY_LOCAL_MACHINE\\";
// A number's value never needs more than a QWORD; anything larger is not a number.
constexpr uint32_t kLongestNumber = 8;
// The value may change between the question for its size and the read; after this many
// tries it is reported as it stands.
constexpr int kReadAttempts = 3;

std::string InvalidType(const std::string& name) {
    return "Invalid data type for '" + name + "'";
}

std::string NotFound(const std::string& name) {
    return "No value '" + name + "' in the settings";
}

// Registry numbers are little-endian whatever the machine reading them.
uint64_t LittleEndian(const std::vector<uint8_t>& bytes) {
    uint64_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        value = value << 8 | bytes[i];
    }
    return value;
}

std::vector<uint8_t> LittleEndianBytes(uint64_t value, std::size_t count) {
    std::vector<uint8_t> bytes(count);
    for (uint8_t& byte : bytes) {
        byte = static_cast<uint8_t>(value & 0xFF);
        value >>= 8;
    }
    return bytes;
}

}  // namespace

RegistrySettingsStore::RegistrySettingsStore(std::unique_ptr<RegistryCalls> calls, std::string path)
    : calls_(std::move(calls)), path_(std::move(path)) {}

RegistrySettingsStore::~RegistrySettingsStore() {
    CloseKey();
}

std::string RegistrySettingsStore::Failed(const std::string& what,
                                          RegistryCalls::Status status) const {
    return what + ": " + calls_->ErrorText(status);
}

bool RegistrySettingsStore::OpenKey() {
    if (open_) {
        return true;
    }
    Calls::Status status = calls_->OpenKey(path_, Calls::Access::ReadWrite, key_);
    if (status == Calls::kAccessDenied) {
        status = calls_->OpenKey(path_, Calls::Access::Read, key_);
    }
    open_ = status == Calls::kSuccess;
    if (!open_) {
        key_ = nullptr;
    }
    return open_;
}

std::string RegistrySettingsStore::CreateKey() {
    Calls::Key created = nullptr;
    const Calls::Status status = calls_->CreateKey(path_, created);
    if (status != Calls::kSuccess) {
        return Failed("Can't create the settings key " + std::string(kHive) + path_, status);
    }
    calls_->CloseKey(created);
    return {};
}

std::string RegistrySettingsStore::ResetKey() {
    if (std::string error = DeleteKey(); !error.empty()) {
        return error;
    }
    return CreateKey();
}

std::string RegistrySettingsStore::DeleteKey() {
    CloseKey();  // a handle that failed to close is of no further use either way
    const Calls::Status status = calls_->DeleteKey(path_);
    if (status != Calls::kSuccess && status != Calls::kFileNotFound) {
        return Failed("Can't delete the settings key " + std::string(kHive) + path_, status);
    }
    return {};
}

std::string RegistrySettingsStore::CloseKey() {
    if (!open_) {
        return {};
    }
    open_ = false;
    const Calls::Status status = calls_->CloseKey(key_);
    key_ = nullptr;
    if (status != Calls::kSuccess) {
        return Failed("Can't close the settings key", status);
    }
    return {};
}

RegistrySettingsStore::Fetched RegistrySettingsStore::Fetch(const std::string& name,
                                                            uint32_t longest) const {
    Fetched value;
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        uint32_t size = 0;
        Calls::Status status = calls_->QueryValue(key_, name, value.type, nullptr, size);
        if (status == Calls::kSuccess) {
            if (size > longest) {
                value.error = "The value '" + name + "' is too long for a setting";
                return value;
            }
            value.bytes.assign(size, 0);
            uint8_t none = 0;  // a buffer to point at for an empty value
            uint32_t got = size;
            status = calls_->QueryValue(key_, name, value.type,
                                        size > 0 ? value.bytes.data() : &none, got);
            if (status == Calls::kSuccess) {
                // Never more than there is room for, whatever the count says.
                value.bytes.resize(got < size ? got : size);
                return value;
            }
        }
        if (status == Calls::kFileNotFound) {
            value.missing = true;
            return value;
        }
        if (status != Calls::kMoreData) {
            value.error = Failed("Can't read '" + name + "' from the settings", status);
            return value;
        }
    }
    value.error = "The value '" + name + "' kept changing while it was read";
    return value;
}

bool RegistrySettingsStore::AsNumber(const Fetched& value, int64_t& number) {
    if (value.type == Calls::kDword && value.bytes.size() == 4) {
        number = static_cast<int32_t>(static_cast<uint32_t>(LittleEndian(value.bytes)));
        return true;
    }
    if (value.type == Calls::kQword && value.bytes.size() == 8) {
        number = static_cast<int64_t>(LittleEndian(value.bytes));
        return true;
    }
    return false;
}

bool RegistrySettingsStore::HasValue(const std::string& name) const {
    if (!open_) {
        return false;
    }
    uint32_t type = 0;
    uint32_t size = 0;
    const Calls::Status status = calls_->QueryValue(key_, name, type, nullptr, size);
    return status == Calls::kSuccess || status == Calls::kMoreData;
}

SettingsValue<bool> RegistrySettingsStore::ReadBool(const std::string& name) const {
    if (!open_) {
        return {false, kNotOpen};
    }
    const Fetched value = Fetch(name, kLongestNumber);
    if (value.missing) {
        return {false, NotFound(name)};
    }
    if (!value.error.empty()) {
        return {false, value.error};
    }
    int64_t number = 0;
    if (!AsNumber(value, number)) {
        return {false, InvalidType(name)};
    }
    return {number != 0, {}};
}

SettingsValue<int64_t> RegistrySettingsStore::ReadInteger(const std::string& name) const {
    if (!open_) {
        return {0, kNotOpen};
    }
    const Fetched value = Fetch(name, kLongestNumber);
    if (value.missing) {
        return {0, NotFound(name)};
    }
    if (!value.error.empty()) {
        return {0, value.error};
    }
    int64_t number = 0;
    if (!AsNumber(value, number)) {
        return {0, InvalidType(name)};
    }
    return {number, {}};
}

SettingsValue<std::string> RegistrySettingsStore::ReadString(const std::string& name) const {
    if (!open_) {
        return {{}, kNotOpen};
    }
    const Fetched value = Fetch(name, kLongestString);
    if (value.missing) {
        return {};
    }
    if (!value.error.empty()) {
        return {{}, value.error};
    }
    if (value.type != Calls::kString && value.type != Calls::kExpandString) {
        return {{}, InvalidType(name)};
    }
    // The registry does not promise the terminating zero; the text ends at the first one.
    std::string text(value.bytes.begin(), value.bytes.end());
    if (const auto zero = text.find('\0'); zero != std::string::npos) {
        text.erase(zero);
    }
    return {text, {}};
}

std::string RegistrySettingsStore::Set(const std::string& name, uint32_t type,
                                       const std::vector<uint8_t>& bytes) {
    if (!open_) {
        return kNotOpen;
    }
    const Calls::Status status =
        calls_->SetValue(key_, name, type, bytes.data(), static_cast<uint32_t>(bytes.size()));
    if (status != Calls::kSuccess) {
        return Failed("Can't write '" + name + "' to the settings", status);
    }
    return {};
}

std::string RegistrySettingsStore::WriteBool(const std::string& name, bool value) {
    return Set(name, Calls::kDword, LittleEndianBytes(value ? 1 : 0, 4));
}

std::string RegistrySettingsStore::WriteInteger(const std::string& name, int64_t value) {
    if (value >= std::numeric_limits<int32_t>::min() &&
        value <= std::numeric_limits<int32_t>::max()) {
        return Set(name, Calls::kDword, LittleEndianBytes(static_cast<uint64_t>(value), 4));
    }
    return Set(name, Calls::kQword, LittleEndianBytes(static_cast<uint64_t>(value), 8));
}

std::string RegistrySettingsStore::WriteString(const std::string& name, const std::string& value) {
    // A string value ends at its first zero: one inside would cut the text short unseen.
    if (value.find('\0') != std::string::npos) {
        return "The text for '" + name + "' holds a zero byte, which the registry cannot keep";
    }
    if (value.size() >= kLongestString) {
        return "The text for '" + name + "' is too long for a setting";
    }
    std::vector<uint8_t> bytes(value.begin(), value.end());
    bytes.push_back(0);
    return Set(name, Calls::kString, bytes);
}

}  // namespace kardo
