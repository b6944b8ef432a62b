// SPDX-License-Identifier: GPL-3.0-or-later
// The programmer locks on Windows: LockFileEx on a file per programmer in this user's
// temporary directory. Like flock() it belongs to the open handle, and the system drops
// it when the process ends.
#include <windows.h>

#include <string>

#include "link/ProgrammerLock.h"

namespace kardo {

std::filesystem::path ProgrammerLockDirectory() {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) {
        return {};
    }
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::path(temp) / "kardo";
    std::filesystem::create_directories(directory, error);
    return std::filesystem::is_directory(directory, error) ? directory : std::filesystem::path();
}

ProgrammerLock ProgrammerLock::Take(const std::filesystem::path& directory,
                                    const std::string& name) {
    ProgrammerLock lock;
    if (directory.empty() || name.empty()) {
        return lock;
    }
    const std::filesystem::path file = directory / ProgrammerLockFileName(name);
    HANDLE handle =
        CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return lock;
    }
    OVERLAPPED at{};
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        CloseHandle(handle);
        lock.state_ = State::Held;
        return lock;
    }
    lock.handle_ = reinterpret_cast<intptr_t>(handle);
    lock.state_ = State::Taken;
    return lock;
}

void ProgrammerLock::Release() {
    if (handle_ != -1) {
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
    }
    handle_ = -1;
    state_ = State::Unlocked;
}

}  // namespace kardo
