// shot_audio_test.cpp -- the game's own sound, rendered by
// `searchlight-headless shot --audio` in step with the virtual clock.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "sound/synthesis.h"
#include "sound_analysis.h"

namespace {

const std::string work = std::string(SEARCHLIGHT_BINARY_DIR) + "/sound_test_files";

// Dismiss the title, hover while the camera settles behind the helicopter,
// then fly forward from 4 s; "x" at 5 s.
const char* script =
    "0 press space\n"
    "4 down w\n"
    "5 press x\n";
constexpr double runSeconds = 8;

// alsoftConf: the OpenAL Soft configuration the run reads (none if empty).
bool shot(const std::string& wav, const std::string& alsoftConf = "") {
    std::filesystem::create_directories(work);
    { std::ofstream(work + "/script.txt") << script; }
    const std::string command =
        "ALSOFT_CONF=" + (alsoftConf.empty() ? std::string("/dev/null") : alsoftConf) + " " +
        std::string(SEARCHLIGHT_BINARY_DIR) +
        "/tools/headless/searchlight-headless shot --seed 11 --size 160x120 --seconds 8" + " --data " +
        SEARCHLIGHT_DATA_DIR + " --script " + work + "/script.txt --out " + work + "/shot.ppm --audio " +
        wav + " > /dev/null 2> " + work + "/stderr.txt";
    return std::system(command.c_str()) == 0;
}

// The power of the siren's two tones (allowing for doppler) in a span.
float sirenTones(const WavSound& w, double from, double to) {
    std::vector<float> s = w.channel(0, from, to);
    const std::vector<float> r = w.channel(1, from, to);
    for (size_t i = 0; i < s.size(); ++i) s[i] += r[i];
    float high = 0, low = 0;
    for (float f = sirenHighHz * 0.9f; f <= sirenHighHz * 1.1f; f += 2)
        high = std::max(high, toneAmplitude(s, f, w.rate));
    for (float f = sirenLowHz * 0.9f; f <= sirenLowHz * 1.1f; f += 2)
        low = std::max(low, toneAmplitude(s, f, w.rate));
    return std::min(high, low);  // both tones, not just one
}

}  // namespace

TEST(ShotAudio, TheRunsSoundIsAsLongAsTheRunAndRepeats) {
    const std::string a = work + "/a.wav", b = work + "/b.wav";
    ASSERT_TRUE(shot(a));
    // A user's configuration choosing another resampler changes nothing.
    { std::ofstream(work + "/alsoft.conf") << "[general]\nresampler = cubic\n"; }
    ASSERT_TRUE(shot(b, work + "/alsoft.conf"));
    WavSound w;
    std::string error;
    ASSERT_TRUE(readWav(a, w, error)) << error;
    EXPECT_EQ(w.channels, 2);
    EXPECT_EQ(w.rate, soundSampleRate);
    EXPECT_NEAR(static_cast<double>(w.frames()), runSeconds * soundSampleRate, soundSampleRate / 60.0);

    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    const std::string bytesA((std::istreambuf_iterator<char>(fa)), std::istreambuf_iterator<char>());
    const std::string bytesB((std::istreambuf_iterator<char>(fb)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(bytesA == bytesB) << "two runs of the same script sound different";

    // The rotor's blade slap.
    const float hoverRate = envelopeRhythm(w.channel(0, 3, 4), 14, 35, w.rate);
    std::printf("in the game: rotor %.2f slaps/s hovering\n", hoverRate);
    EXPECT_NEAR(hoverRate, rotorBladePassHz, 1.0f);

    // The siren's two tones after "x", not before.
    const float before = sirenTones(w, 3, 5), after = sirenTones(w, 6, 8);
    std::printf("in the game: siren tones %.5f before x, %.5f after\n", before, after);
    EXPECT_GT(after, 3 * before);

    // Nothing clips.
    EXPECT_LE(decibels(peakOf(w.samples)), -1.0f);
}
