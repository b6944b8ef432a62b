// SPDX-License-Identifier: GPL-3.0-or-later
// The registry calls of the settings key, through advapi32.
#include <windows.h>

#include "app/RegistryCalls.h"
#include "common/WindowsErrorText.h"

namespace kardo {
namespace {

using Calls = RegistryCalls;

static_assert(Calls::kSuccess == ERROR_SUCCESS && Calls::kFileNotFound == ERROR_FILE_NOT_FOUND &&
              Calls::kAccessDenied == ERROR_ACCESS_DENIED && Calls::kMoreData == ERROR_MORE_DATA);
static_assert(Calls::kString == REG_SZ && Calls::kExpandString == REG_EXPAND_SZ &&
              Calls::kDword == REG_DWORD && Calls::kQword == REG_QWORD);

HKEY Handle(Calls::Key key) {
    return static_cast<HKEY>(key);
}

class WindowsRegistry : public RegistryCalls {
  public:
    Status OpenKey(const std::string& path, Access access, Key& key) override {
        HKEY opened = nullptr;
        const REGSAM rights = access == Access::Read ? KEY_READ : KEY_READ | KEY_SET_VALUE;
        const LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, rights, &opened);
        key = opened;
        return status;
    }
    Status CreateKey(const std::string& path, Key& key) override {
        HKEY created = nullptr;
        const LONG status =
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_READ | KEY_SET_VALUE, nullptr, &created, nullptr);
        key = created;
        return status;
    }
    Status DeleteKey(const std::string& path) override {
        return RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
    }
    Status CloseKey(Key key) override { return RegCloseKey(Handle(key)); }
    Status QueryValue(Key key, const std::string& name, uint32_t& type, uint8_t* data,
                      uint32_t& size) override {
        DWORD valueType = 0;
        DWORD valueSize = size;
        const LONG status =
            RegQueryValueExA(Handle(key), name.c_str(), nullptr, &valueType, data, &valueSize);
        type = valueType;
        size = valueSize;
        return status;
    }
    Status SetValue(Key key, const std::string& name, uint32_t type, const uint8_t* data,
                    uint32_t size) override {
        return RegSetValueExA(Handle(key), name.c_str(), 0, type, data, size);
    }
    std::string ErrorText(Status status) override {
        return WindowsErrorText(static_cast<uint32_t>(status));
    }
};

}  // namespace

std::unique_ptr<RegistryCalls> MakeWindowsRegistry() {
    return std::make_unique<WindowsRegistry>();
}

}  // namespace kardo
