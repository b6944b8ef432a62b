// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/QtSoundBackend.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QUrl>

#include "common/FileBytes.h"

namespace kardo {

QtSoundBackend::QtSoundBackend(bool needsOutputDevice) : needsOutputDevice_(needsOutputDevice) {}
QtSoundBackend::~QtSoundBackend() = default;

QSoundEffect& QtSoundBackend::Player(Sound sound) {
    auto& player = players_[static_cast<std::size_t>(sound)];
    if (!player) {
        player = std::make_unique<QSoundEffect>();
        // A file loads after setSource has returned: whether it can be played is only
        // known then.
        QObject::connect(player.get(), &QSoundEffect::statusChanged, player.get(),
                         [this, p = player.get()] {
                             if (p->status() == QSoundEffect::Error && lateFailure_) {
                                 lateFailure_();
                             }
                         });
    }
    return *player;
}

bool QtSoundBackend::Play(Sound sound, const std::filesystem::path& file) {
    if ((needsOutputDevice_ && QMediaDevices::audioOutputs().isEmpty()) || !IsRegularFile(file)) {
        return false;
    }
    QSoundEffect& player = Player(sound);
    const QUrl source = QUrl::fromLocalFile(QString::fromStdString(file.string()));
    if (player.source() != source) {
        player.setSource(source);
    }
    if (player.status() == QSoundEffect::Error) {
        return false;
    }
    player.play();  // while still loading, it starts once loaded
    return true;
}

}  // namespace kardo
