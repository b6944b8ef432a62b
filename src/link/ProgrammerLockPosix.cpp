// SPDX-License-Identifier: GPL-3.0-or-later
// The programmer locks on Linux: flock() on a file per programmer. The lock belongs to
// the open file, so the kernel drops it when the process ends; and two opens of the
// same file conflict even inside one process, as a gang's workers need.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "link/ProgrammerLock.h"

namespace kardo {
namespace {

// A directory only this user can write to: anyone else could put a lock file of theirs
// in our way, or a link to one of our files.
bool OurOwnDirectory(const std::filesystem::path& directory) {
    ::mkdir(directory.c_str(), 0700);
    struct stat info {};
    return ::lstat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 022) == 0;
}

}  // namespace

std::filesystem::path ProgrammerLockDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::filesystem::path directory;
    if (runtime != nullptr && *runtime == '/') {
        directory = std::filesystem::path(runtime) / "kardo";
    } else {
        const char* temp = std::getenv("TMPDIR");
        directory = std::filesystem::path(temp != nullptr && *temp == '/' ? temp : "/tmp") /
                    ("kardo-" + std::to_string(::getuid()));
    }
    return OurOwnDirectory(directory) ? directory : std::filesystem::path();
}

ProgrammerLock ProgrammerLock::Take(const std::filesystem::path& directory,
                                    const std::string& name) {
    ProgrammerLock lock;
    if (directory.empty() || name.empty()) {
        return lock;
    }
    const std::filesystem::path file = directory / ProgrammerLockFileName(name);
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return lock;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // Who holds it, as that process wrote it.
        char text[24] = {};
        const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
        const long pid = n > 0 ? std::strtol(text, nullptr, 10) : 0;
        lock.holder_ = pid > 0 ? "process " + std::to_string(pid) : std::string();
        ::close(fd);
        lock.state_ = State::Held;
        return lock;
    }
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::pwrite(fd, pid.data(), pid.size(), 0);
    }
    lock.handle_ = fd;
    lock.state_ = State::Taken;
    return lock;
}

void ProgrammerLock::Release() {
    if (handle_ >= 0) {
        // The file stays: removing it could let a third process lock a file of the same
        // name that a second one has just opened, and two would hold "the" lock.
        ::close(static_cast<int>(handle_));
    }
    handle_ = -1;
    state_ = State::Unlocked;
}

}  // namespace kardo
