// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>

namespace kardo {

// The three result sounds and the files they play from the default directory.
enum class Sound { Chimes, Error, Notify };
const char* SoundFile(Sound sound);

// Plays a sound file without waiting for it to end. False when the sound device
// reports an error (no output device, a missing or unreadable file).
class SoundBackend {
  public:
    virtual ~SoundBackend() = default;
    virtual bool Play(Sound sound, const std::filesystem::path& file) = 0;
    // Some errors are only known after Play has returned, once the file has been
    // loaded (a corrupt file, say); a backend that can have them reports them here, on
    // the thread it was made on.
    virtual void SetLateFailureHandler(std::function<void()> handler) { (void)handler; }
};

// Plays `sound` if sound is on; a device error switches sound off silently.
void PlaySound(Sound sound, bool& soundOn, const std::filesystem::path& directory,
               SoundBackend& backend);

}  // namespace kardo
