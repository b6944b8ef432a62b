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

void PlaySound(Sound sound, bool& soundOn, const std::filesystem::path& directory,
               SoundBackend& backend) {
    if (soundOn && !backend.Play(sound, directory / SoundFile(sound))) {
        soundOn = false;
    }
}

}  // namespace kardo
