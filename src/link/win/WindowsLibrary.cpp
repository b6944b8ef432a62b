// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include "common/WindowsErrorText.h"
#include "link/SharedLibrary.h"

namespace kardo {
namespace {

class WindowsLibrary : public SharedLibrary {
  public:
    explicit WindowsLibrary(HMODULE module) : module_(module) {}
    ~WindowsLibrary() override { FreeLibrary(module_); }
    WindowsLibrary(const WindowsLibrary&) = delete;
    WindowsLibrary& operator=(const WindowsLibrary&) = delete;

    LibraryFunction Find(const char* name) override {
        return reinterpret_cast<LibraryFunction>(GetProcAddress(module_, name));
    }

  private:
    HMODULE module_;
};

class WindowsLibraryLoader : public LibraryLoader {
  public:
    std::unique_ptr<SharedLibrary> Load(const char* name, std::string& error) override {
        // A library that is found but lacks one of its own dependencies must not stop the
        // program with a system box: the failure comes back as a status, told our way.
        DWORD oldMode = 0;
        SetThreadErrorMode(SEM_FAILCRITICALERRORS, &oldMode);
        const HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
        const DWORD reason = GetLastError();
        SetThreadErrorMode(oldMode, nullptr);
        if (module == nullptr) {
            error = WindowsErrorText(reason);
            return nullptr;
        }
        error.clear();
        return std::make_unique<WindowsLibrary>(module);
    }
};

}  // namespace

std::unique_ptr<LibraryLoader> MakeWindowsLibraryLoader() {
    return std::make_unique<WindowsLibraryLoader>();
}

}  // namespace kardo
