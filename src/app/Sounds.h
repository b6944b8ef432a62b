// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>

#include "common/LogSink.h"

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

// The user's sound switch (`SoundON`, saved with the settings) and whether the sound
// device has failed in this run. The failure is never saved: a machine that has no
// sound server today must not leave the user's choice off for every later start.
struct SoundSwitch {
    const bool& on;
    bool& deviceFailed;
};

// Plays `sound` while sound is on and the device has not failed in this run. The first
// failure is logged, once; the run stays silent after it.
void PlaySound(Sound sound, SoundSwitch soundSwitch, const std::filesystem::path& directory,
               SoundBackend& backend, LogSink& log);
// A failure the backend reports only after Play has returned: the same as one at once.
void SoundDeviceFailed(bool& deviceFailed, LogSink& log);

}  // namespace kardo
