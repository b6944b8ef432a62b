// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Sounds.h"

namespace kardo {

const char* SoundFile(Sound sound) {
    switch (sound) {
        case Sound::Chimes:
            return "chimes.wav";
        case Sound::Error:
            return "error.wav";
        case Sound::Notify:
            return "notify.wav";
    }
    return "";
}

void PlaySound(Sound sound, SoundSwitch soundSwitch, const std::filesystem::path& directory,
               SoundBackend& backend, LogSink& log) {
    if (soundSwitch.on && !soundSwitch.deviceFailed &&
        !backend.Play(sound, directory / SoundFile(sound))) {
        SoundDeviceFailed(soundSwitch.deviceFailed, log);
    }
}

void SoundDeviceFailed(bool& deviceFailed, LogSink& log) {
    if (!deviceFailed) {
        deviceFailed = true;
        log.AppendLine(" Sound could not be played: no more sounds until the next start");
    }
}

}  // namespace kardo
