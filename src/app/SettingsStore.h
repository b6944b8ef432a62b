// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace kardo {

// One value read from the store, or the store's own text for why it could not be.
template <typename T>
struct SettingsValue {
    T value{};
    std::string error;  // empty when the value was read
    bool ok() const { return error.empty(); }
};

// The one key the program keeps its settings in, shaped like a registry key: it exists or
// it does not, it is opened without being created, and it holds named values that each
// have a type. Failures come back as texts that the settings routines show to the user as
// they are; nothing here throws.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // Opens the key without creating it: false when it does not exist or cannot be read.
    virtual bool OpenKey() = 0;
    // Why the last OpenKey failed, when that is something the user should hear (the key
    // is there but refused), naming it; empty otherwise. A problem is given once, and
    // again only once the key has opened in between or the problem has changed, so that
    // the routines that each open the key do not repeat it.
    virtual std::string TakeOpenProblem() { return {}; }
    // Makes the key exist (an existing key is kept as it is); it is not left open.
    // Return the reason of a failure, empty on success.
    virtual std::string CreateKey() = 0;
    // Empties the key of every value, and makes it when it is missing; a key that is open
    // is closed first, without saving. Nothing outside the key changes.
    virtual std::string ResetKey() = 0;
    // Ends the use of the open key; what was written is kept from here on.
    virtual std::string CloseKey() = 0;

    // True when the open key holds a value of that name, whatever its type.
    virtual bool HasValue(const std::string& name) const = 0;

    // A missing value, or one of another type, is an error.
    virtual SettingsValue<bool> ReadBool(const std::string& name) const = 0;
    virtual SettingsValue<int64_t> ReadInteger(const std::string& name) const = 0;
    // A missing string reads as the empty text; one of another type is an error.
    virtual SettingsValue<std::string> ReadString(const std::string& name) const = 0;

    virtual std::string WriteBool(const std::string& name, bool value) = 0;
    virtual std::string WriteInteger(const std::string& name, int64_t value) = 0;
    virtual std::string WriteString(const std::string& name, const std::string& value) = 0;
};

}  // namespace kardo
