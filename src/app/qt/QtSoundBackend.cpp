#include "app/qt/QtSoundBackend.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QUrl>
#include <system_error>

namespace kardo {

QtSoundBackend::QtSoundBackend() = default;
QtSoundBackend::~QtSoundBackend() = default;

bool QtSoundBackend::Play(Sound sound, const std::filesystem::path& file) {
    std::error_code error;
    if (QMediaDevices::audioOutputs().isEmpty() || !std::filesystem::is_regular_file(file, error)) {
        return false;
    }
    auto& player = players_[static_cast<std::size_t>(sound)];
    if (!player) {
        player = std::make_unique<QSoundEffect>();
    }
    const QUrl source = QUrl::fromLocalFile(QString::fromStdString(file.string()));
    if (player->source() != source) {
        player->setSource(source);
    }
    if (player->status() == QSoundEffect::Error) {
        return false;
    }
    player->play();
    return true;
}

}  // namespace kardo
