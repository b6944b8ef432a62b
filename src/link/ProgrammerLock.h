// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace kardo {

// One programmer held by this process, so that no other program of ours talks to it at
// the same time: an advisory lock on a file of its own in the user's runtime directory.
// The system lets go of the lock when the process ends, however it ends, so a crashed
// run never leaves a programmer locked.
class ProgrammerLock {
  public:
    enum class State {
        Taken,     // ours until this object goes
        Held,      // another process holds it
        Unlocked,  // no lock could be made (no usable directory): we go on without one
    };

    // Tries once, without waiting, to take the lock of the programmer called `name`.
    static ProgrammerLock Take(const std::filesystem::path& directory, const std::string& name);

    ProgrammerLock() = default;
    ProgrammerLock(ProgrammerLock&& other) noexcept;
    ProgrammerLock& operator=(ProgrammerLock&& other) noexcept;
    ProgrammerLock(const ProgrammerLock&) = delete;
    ProgrammerLock& operator=(const ProgrammerLock&) = delete;
    ~ProgrammerLock() { Release(); }

    State state() const { return state_; }
    // For Held: the process that holds it ("process 1234"), when it could be told.
    const std::string& holder() const { return holder_; }
    void Release();

  private:
    State state_ = State::Unlocked;
    intptr_t handle_ = -1;  // the open lock file: a descriptor, or a Windows handle
    std::string holder_;
};

// Where the locks are kept: $XDG_RUNTIME_DIR/kardo, else a directory of this user's own
// in the temporary directory. Empty when there is none we can trust.
std::filesystem::path ProgrammerLockDirectory();

// The lock file's name for a programmer: characters a file name cannot carry become '_'.
std::string ProgrammerLockFileName(const std::string& name);

}  // namespace kardo
