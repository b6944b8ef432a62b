// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSoundEffect>
#include <array>
#include <memory>

#include "app/Sounds.h"

namespace kardo {

// Result sounds through Qt Multimedia: one player per sound, each started without
// waiting for it to end.
// A file that turns out not to be playable once loaded is reported as a late failure.
class QtSoundBackend : public SoundBackend {
  public:
    // `needsOutputDevice` false lets the tests load and check files on a machine
    // without sound hardware.
    explicit QtSoundBackend(bool needsOutputDevice = true);
    ~QtSoundBackend() override;
    bool Play(Sound sound, const std::filesystem::path& file) override;
    void SetLateFailureHandler(std::function<void()> handler) override {
        lateFailure_ = std::move(handler);
    }

  private:
    QSoundEffect& Player(Sound sound);

    bool needsOutputDevice_;
    std::array<std::unique_ptr<QSoundEffect>, 3> players_;
    std::function<void()> lateFailure_;
};

}  // namespace kardo
