#pragma once

#include <QSoundEffect>
#include <array>
#include <memory>

#include "app/Sounds.h"

namespace kardo {

// Result sounds through Qt Multimedia: one player per sound, each started without
// waiting for it to end.
class QtSoundBackend : public SoundBackend {
public:
    QtSoundBackend();
    ~QtSoundBackend() override;
    bool Play(Sound sound, const std::filesystem::path& file) override;

private:
    std::array<std::unique_ptr<QSoundEffect>, 3> players_;
};

}  // namespace kardo
