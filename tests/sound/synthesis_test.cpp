// synthesis_test.cpp -- the clips as made, before any device mixes them.
#include "sound/synthesis.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sound_analysis.h"

namespace {

std::vector<float> asFloats(const SoundClip& clip) {
    std::vector<float> s;
    for (auto v : clip.samples) s.push_back(v / 32768.0f);
    return s;
}

}  // namespace

// Every clip has sound in it, stays under full scale, and is the same on
// every run (the offscreen render must repeat byte for byte).
TEST(Synthesis, EveryClipIsAudibleBelowFullScaleAndRepeatable) {
    const auto clips = synthesizeAllSounds();
    ASSERT_EQ(clips.size(), static_cast<size_t>(soundCount));
    for (int i = 0; i < soundCount; ++i) {
        const std::vector<float> s = asFloats(clips[i]);
        ASSERT_GT(s.size(), 1000u) << "clip " << i;
        EXPECT_LE(peakOf(s), 0.9f + 1e-4f) << "clip " << i;
        EXPECT_GT(rmsOf(s), 0.05f) << "clip " << i;
        EXPECT_EQ(synthesizeSound(static_cast<SoundId>(i)).samples, clips[i].samples) << "clip " << i;
    }
    EXPECT_FALSE(clips[static_cast<int>(SoundId::radioChirp)].loops);
    EXPECT_FALSE(clips[static_cast<int>(SoundId::stinger)].loops);
    EXPECT_TRUE(clips[static_cast<int>(SoundId::siren)].loops);
}

// A loop's end runs on into its start: the jump across the seam is no
// bigger than the steps inside the clip.
TEST(Synthesis, LoopsJoinWithoutAClick) {
    for (int i = 0; i < soundCount; ++i) {
        const SoundClip clip = synthesizeSound(static_cast<SoundId>(i));
        if (!clip.loops) continue;
        const auto& s = clip.samples;
        int largestStep = 0;
        for (size_t k = 1; k < s.size(); ++k) largestStep = std::max(largestStep, std::abs(s[k] - s[k - 1]));
        EXPECT_LE(std::abs(s.front() - s.back()), largestStep) << "clip " << i;
    }
}

// The rotor slaps rotorBladePassHz times a second; the siren holds its high
// tone, then its low one, each for half the cycle.
TEST(Synthesis, RotorRhythmAndSirenTones) {
    const std::vector<float> rotor = asFloats(synthesizeSound(SoundId::rotor));
    EXPECT_NEAR(envelopeRhythm(rotor, 16, 35, soundSampleRate), rotorBladePassHz, 0.3f);

    const std::vector<float> siren = asFloats(synthesizeSound(SoundId::siren));
    const size_t half = siren.size() / 2;
    const std::vector<float> first(siren.begin(), siren.begin() + half),
        second(siren.begin() + half, siren.end());
    EXPECT_NEAR(strongestTone(first, 500, 1000, 2, soundSampleRate), sirenHighHz, 2);
    EXPECT_NEAR(strongestTone(second, 500, 1000, 2, soundSampleRate), sirenLowHz, 2);
}
