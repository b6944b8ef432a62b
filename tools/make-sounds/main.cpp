// SPDX-License-Identifier: GPL-3.0-or-later
// make-sounds: writes the three result sounds as 16-bit mono PCM WAV files.
//
//   make-sounds DIRECTORY
//
// chimes.wav: three rising bell tones (success); error.wav: two low buzzes (failure,
// abort); notify.wav: one soft ping (a reminder after selecting a device).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;

struct Tone {
    double start, length, frequency, decay;  // seconds, seconds, Hz, 1/s
    bool square;
};

std::vector<int16_t> Render(const std::vector<Tone>& tones, double seconds) {
    std::vector<double> mix(static_cast<std::size_t>(seconds * kRate), 0.0);
    for (const Tone& t : tones) {
        const auto first = static_cast<std::size_t>(t.start * kRate);
        const auto count = static_cast<std::size_t>(t.length * kRate);
        for (std::size_t i = 0; i < count && first + i < mix.size(); ++i) {
            const double time = static_cast<double>(i) / kRate;
            const double phase = std::sin(2 * std::numbers::pi * t.frequency * time);
            const double wave = t.square ? (phase >= 0 ? 0.6 : -0.6) : phase;
            const double attack = std::min(1.0, time * 200);  // no click at the start
            mix[first + i] += 0.3 * wave * attack * std::exp(-t.decay * time);
        }
    }
    std::vector<int16_t> samples;
    for (double v : mix) {
        samples.push_back(static_cast<int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767)));
    }
    return samples;
}

void Put32(std::ofstream& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.put(static_cast<char>(v >> (8 * i)));
}
void Put16(std::ofstream& out, uint16_t v) {
    out.put(static_cast<char>(v));
    out.put(static_cast<char>(v >> 8));
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& samples) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const auto bytes = static_cast<uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    Put32(out, 36 + bytes);
    out.write("WAVEfmt ", 8);
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, kRate);
    Put32(out, kRate * 2);
    Put16(out, 2);
    Put16(out, 16);
    out.write("data", 4);
    Put32(out, bytes);
    for (int16_t s : samples) Put16(out, static_cast<uint16_t>(s));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make-sounds DIRECTORY\n";
        return 2;
    }
    const std::string dir = argv[1];
    const bool ok =
        WriteWav(dir + "/chimes.wav", Render({{0.00, 0.6, 784, 5, false},
                                              {0.15, 0.6, 988, 5, false},
                                              {0.30, 0.9, 1175, 4, false}}, 1.2)) &&
        WriteWav(dir + "/error.wav", Render({{0.00, 0.25, 180, 2, true},
                                             {0.35, 0.35, 150, 2, true}}, 0.75)) &&
        WriteWav(dir + "/notify.wav", Render({{0.00, 0.4, 1319, 8, false}}, 0.45));
    if (!ok) {
        std::cerr << "make-sounds: cannot write into " << dir << "\n";
        return 1;
    }
    return 0;
}
