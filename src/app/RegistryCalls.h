// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kardo {

// The few registry calls the settings key needs, in the registry's own terms, so that the
// store above them runs and is tested where there is no registry. The real calls exist
// only on Windows; every path is below HKEY_LOCAL_MACHINE, the machine-wide hive the
// settings have always lived in.
class RegistryCalls {
  public:
    using Key = void*;       // an open key as the registry hands it out
    using Status = int32_t;  // the registry's result: 0, or a system error code

    // The codes and value types the store tells apart, with the registry's own numbers.
    static constexpr Status kSuccess = 0;
    static constexpr Status kFileNotFound = 2;
    static constexpr Status kAccessDenied = 5;
    static constexpr Status kMoreData = 234;
    static constexpr uint32_t kString = 1;
    static constexpr uint32_t kExpandString = 2;
    static constexpr uint32_t kDword = 4;
    static constexpr uint32_t kQword = 11;

    enum class Access { Read, ReadWrite };

    virtual ~RegistryCalls() = default;

    // Opens a key that exists; never creates one.
    virtual Status OpenKey(const std::string& path, Access access, Key& key) = 0;
    // Makes the key exist (one that exists is opened as it is) and opens it for writing.
    virtual Status CreateKey(const std::string& path, Key& key) = 0;
    // Removes a key that has no subkeys, with its values.
    virtual Status DeleteKey(const std::string& path) = 0;
    virtual Status CloseKey(Key key) = 0;
    // A value query as the registry answers it: with `data` null, only the type and the
    // size; otherwise `size` is the room in `data` on the way in and the value's size on
    // the way out, kMoreData meaning it did not fit.
    virtual Status QueryValue(Key key, const std::string& name, uint32_t& type, uint8_t* data,
                              uint32_t& size) = 0;
    virtual Status SetValue(Key key, const std::string& name, uint32_t type, const uint8_t* data,
                            uint32_t size) = 0;
    // The system's own text for a status, to show to the user.
    virtual std::string ErrorText(Status status) = 0;
};

// The registry of this Windows system.
std::unique_ptr<RegistryCalls> MakeWindowsRegistry();

}  // namespace kardo
