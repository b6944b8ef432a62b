// SPDX-License-Identifier: GPL-3.0-or-later
// The result sounds: played only while sound is on; a device error turns sound off.
#include "app/Sounds.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/TempDir.h"
#include "support/TestPaths.h"

namespace kardo {
namespace {

struct FakeBackend : SoundBackend {
    bool works = true;
    std::vector<std::filesystem::path> played;
    bool Play(Sound, const std::filesystem::path& file) override {
        played.push_back(file);
        return works;
    }
};

struct Log : LogSink {
    std::vector<std::string> lines;
    void AppendLine(const std::string& line) override { lines.push_back(line); }
};

TEST(Sounds, ADeviceErrorIsLoggedOnceAndLeavesTheSwitchAlone) {
    FakeBackend backend;
    Log log;
    bool soundOn = true, failed = false;
    PlaySound(Sound::Chimes, {soundOn, failed}, "/opt/kardo", backend, log);
    ASSERT_EQ(backend.played.size(), 1u);
    EXPECT_EQ(backend.played[0], std::filesystem::path("/opt/kardo/chimes.wav"));
    EXPECT_TRUE(log.lines.empty());

    backend.works = false;
    PlaySound(Sound::Error, {soundOn, failed}, "/opt/kardo", backend, log);
    EXPECT_TRUE(soundOn);  // the user's choice, saved as it is
    EXPECT_TRUE(failed);
    PlaySound(Sound::Notify, {soundOn, failed}, "/opt/kardo", backend, log);
    SoundDeviceFailed(failed, log);
    EXPECT_EQ(backend.played.size(), 2u);  // failed: nothing more is tried
    EXPECT_EQ(log.lines,
              std::vector<std::string>{" Sound could not be played: no more sounds until the next start"});

    bool off = false, fine = false;
    PlaySound(Sound::Chimes, {off, fine}, "/opt/kardo", backend, log);
    EXPECT_EQ(backend.played.size(), 2u);  // switched off: never asked
    EXPECT_FALSE(fine);
}

// The generated files are plain PCM WAV files that any player takes.
TEST(Sounds, GeneratedFilesAreWellFormedWav) {
    for (Sound sound : {Sound::Chimes, Sound::Error, Sound::Notify}) {
        const auto file = kardo::test::BuiltDataDir() / SoundFile(sound);
        std::ifstream in(file, std::ios::binary);
        ASSERT_TRUE(in) << file;
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        ASSERT_GT(bytes.size(), 44u);
        EXPECT_EQ(bytes.substr(0, 4), "RIFF");
        EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
        EXPECT_EQ(bytes.substr(36, 4), "data");
        const auto u32 = [&](std::size_t at) {
            uint32_t v = 0;
            for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
            return v;
        };
        EXPECT_EQ(u32(4), bytes.size() - 8);
        EXPECT_EQ(u32(40), bytes.size() - 44);
        EXPECT_EQ(static_cast<uint8_t>(bytes[20]), 1);  // PCM
    }
}

}  // namespace
}  // namespace kardo
