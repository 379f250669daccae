// measure_test.cpp -- the sound as a player hears it, measured: the rotor's
// rate, where the engines' energy lies, the mix under a passing siren, the
// lock-on envelope, a voice changing cars, the street's reverb after the
// stinger, and the level of a minute of play. Each prints its figure ("measure: ...") and holds it
// to what the game must sound like.
//
// The minute of play is rendered by `searchlight-headless shot --audio`;
// SEARCHLIGHT_MEASURE_HEADLESS and SEARCHLIGHT_MEASURE_DATA point it at
// another build, to measure that one instead.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "loopback_render.h"
#include "sound/sound_output.h"
#include "sound/synthesis.h"
#include "sound_analysis.h"

namespace {

std::string setting(const char* variable, const std::string& otherwise) {
    const char* v = std::getenv(variable);
    return v && *v ? v : otherwise;
}

// Hover, fly at full speed, hold the fugitive in the beam (police are sent
// as the badge fills, and by "x"), until the capture or the end.
const char* minuteScript =
    "0 press space\n"
    "9 down w\n"
    "17 up w\n"
    "19 aim\n"
    "30 press x\n"
    "36 press x\n"
    "42 press x\n";
constexpr double minuteSeconds = 68;

}  // namespace

TEST(SoundMeasure, AMinuteOfPlay) {
    const std::string work = std::string(SEARCHLIGHT_BINARY_DIR) + "/sound_measure_files";
    std::filesystem::create_directories(work);
    { std::ofstream(work + "/minute.txt") << minuteScript; }
    const std::string headless =
        setting("SEARCHLIGHT_MEASURE_HEADLESS",
                std::string(SEARCHLIGHT_BINARY_DIR) + "/tools/headless/searchlight-headless");
    const std::string data = setting("SEARCHLIGHT_MEASURE_DATA", SEARCHLIGHT_DATA_DIR);
    const std::string command = headless + " shot --seed 11 --size 160x120 --seconds " +
                                std::to_string(minuteSeconds) + " --data " + data + " --script " + work +
                                "/minute.txt --out " + work + "/minute.ppm --audio " + work +
                                "/minute.wav > /dev/null 2> " + work + "/stderr.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    WavSound w;
    std::string error;
    ASSERT_TRUE(readWav(work + "/minute.wav", w, error)) << error;

    const float hover = envelopeRhythm(w.channel(0, 3, 8.5), 14, 35, w.rate);
    const float flying = envelopeRhythm(w.channel(0, 11, 17), 14, 35, w.rate);
    const std::vector<float> play(w.samples.begin() + 2 * 5 * w.rate, w.samples.begin() + 2 * 65 * w.rate);
    const float peak = decibels(peakOf(play)), mean = decibels(rmsOf(play));
    std::printf("measure: rotor slaps %.2f/s hovering, %.2f/s at full speed (%+.1f %%)\n", hover, flying,
                100 * (flying / hover - 1));
    std::printf("measure: a minute of play peaks at %.2f dBFS, mean %.1f dBFS rms\n", peak, mean);
    EXPECT_NEAR(flying / hover, 1, 0.03);
    EXPECT_LE(peak, -1.0f);
    EXPECT_GT(mean, -30.0f);
}

// Traffic and the fugitive near the listener: the share of their energy
// (the mix less the same street without them) between 100 Hz and 2 kHz.
TEST(SoundMeasure, EnginesAreHeardOnSmallSpeakers) {
    auto street = [](bool cars) {
        return [cars](double) {
            SoundScene s = quietStreet();
            if (!cars) return s;
            for (int i = 0; i < 4; ++i)
                s.traffic.push_back(carAt(i, Vector3(-6.0f + 4 * i, 0, 4), Vector3(0, 0, 3.0f + i)));
            s.hasFugitive = true;
            s.fugitive = carAt(-1, Vector3(2, 0, 6), Vector3(8, 0, 0));
            return s;
        };
    };
    size_t n = 0;
    const std::vector<double> with = powerSpectrum(bothChannels(renderLoopback(street(true), 2), 0.5, 2), n);
    const std::vector<double> without =
        powerSpectrum(bothChannels(renderLoopback(street(false), 2), 0.5, 2), n);
    const int rate = soundSampleRate;
    const double band = bandEnergy(with, n, 100, 2000, rate) - bandEnergy(without, n, 100, 2000, rate);
    const double all = bandEnergy(with, n, 0, rate / 2, rate) - bandEnergy(without, n, 0, rate / 2, rate);
    std::printf("measure: engines' energy between 100 Hz and 2 kHz: %.0f %%\n", 100 * band / all);
    EXPECT_GT(band / all, 0.6);
}

// A siren driving past 6 units away does not push the rotor down: the
// rotor's band (below 150 Hz, where the siren has nothing) is measured
// while the car is nearest, with and without it.
TEST(SoundMeasure, ASirenPassingLeavesTheRotorAlone) {
    auto rotor = [](bool siren) {
        return [siren](double t) {
            SoundScene s = quietStreet();
            s.helicopterPosition = Vector3(0, 4, 4);
            s.helicopterSpeed = 0.5f;
            if (siren)
                s.police.push_back(
                    carAt(0, Vector3(6, 0, static_cast<float>(-18 + 9 * t)), Vector3(0, 0, 9)));
            return s;
        };
    };
    const float alone =
        lowBandRms(bothChannels(renderLoopback(rotor(false), 2.6), 1.6, 2.4), soundSampleRate);
    const float passed =
        lowBandRms(bothChannels(renderLoopback(rotor(true), 2.6), 1.6, 2.4), soundSampleRate);
    std::printf("measure: the rotor under a siren passing at 6 units: %+.1f dB\n", decibels(passed / alone));
    EXPECT_NEAR(decibels(passed / alone), 0, 1);
}

// The badge fills in steps on frames, not on every tick (here every other
// tick): the lock-on voice's level holds steady while it rises, and falls
// away once it stops.
TEST(SoundMeasure, LockOnNeverGatesWhileTheFillRises) {
    Soundscape scape;
    SoundScene s = quietStreet();
    s.helicopterPosition = Vector3(0, 4, 4);
    float fill = 0, highest = 0, lowest = 1e9f;
    const float dt = static_cast<float>(loopbackTick);
    for (int tick = 0; tick < 240; ++tick) {
        if (tick % 2 == 0) fill += 0.004f;
        s.badgeFill = fill;
        const float gain = scape.update(s, dt).voices[voiceSearchlight].gain;
        if (tick >= 30) {
            highest = std::max(highest, gain);
            lowest = std::min(lowest, gain);
        }
    }
    std::printf("measure: lock-on envelope's deepest dip while the fill rises: %.1f dB\n",
                decibels(lowest / highest));
    EXPECT_GT(highest, 0);
    EXPECT_GT(decibels(lowest / highest), -1.0f);
    for (int tick = 0; tick < 120; ++tick) scape.update(s, dt);
    EXPECT_EQ(scape.mix().voices[voiceSearchlight].gain, 0);
}

// Five cars for four traffic voices: one drives in as another leaves, and
// a voice changes cars. The largest step between samples around that
// moment against the 99.9th percentile step of the two seconds about it.
TEST(SoundMeasure, AHandOffDoesNotClick) {
    double handOff = -1;
    int owners[trafficVoices] = {-1, -1, -1, -1};
    const WavSound w = renderLoopback(
        [](double t) {
            SoundScene s = quietStreet();
            const float k = static_cast<float>(std::clamp((t - 0.5) / 2, 0.0, 1.0));
            s.traffic.push_back(carAt(0, Vector3(5, 0, 2), Vector3(0, 0, 4)));
            s.traffic.push_back(carAt(1, Vector3(-5, 0, 2), Vector3(0, 0, 4)));
            s.traffic.push_back(carAt(2, Vector3(0, 0, 6), Vector3(0, 0, 4)));
            s.traffic.push_back(carAt(3, Vector3(3, 0, 5 + 32 * k), Vector3(0, 0, 16)));
            s.traffic.push_back(carAt(4, Vector3(-3, 0, 40 - 37 * k), Vector3(0, 0, -18)));
            return s;
        },
        4.5,
        [&](const Soundscape& scape, double t) {
            for (int i = 0; i < trafficVoices; ++i) {
                const int o = scape.trafficOwner(i);
                if (t > 0.2 && owners[i] != o && handOff < 0) handOff = t;
                owners[i] = o;
            }
        });
    ASSERT_GT(handOff, 0) << "no voice changed cars";
    float worst = 0;
    for (int c = 0; c < 2; ++c) {
        const std::vector<float> section = w.channel(c, handOff - 1, handOff + 1);
        const std::vector<float> around = w.channel(c, handOff - 0.01, handOff + 0.03);
        worst = std::max(worst, largestStep(around) / stepQuantile(section, 0.999));
    }
    std::printf("measure: hand-off at %.2f s: largest step %.2f x the 99.9th percentile step\n", handOff,
                worst);
    EXPECT_LT(worst, 1.5f);
}

// The stinger alone, and the street's reverb ringing on after it: the time
// the tail takes to fall 60 dB, from its fall between 5 and 25 dB below
// the level where the stinger ends.
TEST(SoundMeasure, TheStreetRingsOnAfterTheStinger) {
    SoundOutput output;
    ASSERT_TRUE(output.openLoopback(loopbackClips()));
    ASSERT_TRUE(output.hasReverb()) << "no EFX on the loopback device";
    SoundMix mix = Soundscape().mix();  // every voice silent
    mix.voices[voiceStinger].gain = 0.5f;
    mix.voices[voiceStinger].restart = true;
    constexpr int framesPerTick = soundSampleRate / 60;
    WavSound w;
    w.channels = 2;
    w.rate = soundSampleRate;
    for (int tick = 0; tick < 5 * 60; ++tick) {
        output.play(mix);
        mix.voices[voiceStinger].restart = false;
        output.render(framesPerTick, w.samples);
    }
    // Schroeder's backward integration over 10 ms windows from where the
    // stinger's clip ends: the energy still to come, in dB.
    std::vector<double> energy;
    for (double t = stingerSeconds; t < 5 - 0.01; t += 0.01) {
        const float r = rmsOf(bothChannels(w, t, t + 0.01));
        energy.push_back(static_cast<double>(r) * r);
    }
    std::vector<double> remaining(energy.size() + 1, 0.0);
    for (size_t i = energy.size(); i-- > 0;) remaining[i] = remaining[i + 1] + energy[i];
    auto fallen = [&](double dB) {
        for (size_t i = 0; i < energy.size(); ++i)
            if (10 * std::log10(remaining[i] / remaining[0]) < -dB) return 0.01 * static_cast<double>(i);
        return 1e9;
    };
    const double decay = 3 * (fallen(25) - fallen(5));
    const float stingerLevel = rmsOf(bothChannels(w, 0.2, stingerSeconds));
    const float tailLevel = rmsOf(bothChannels(w, stingerSeconds + 0.02, stingerSeconds + 0.12));
    std::printf(
        "measure: the street after the stinger: RT60 %.2f s, its first 0.1 s %.1f dB under the chord\n",
        decay, decibels(stingerLevel / tailLevel));
    EXPECT_LT(decibels(stingerLevel / tailLevel), 24) << "the reverb is buried";
    EXPECT_GT(decay, 0.8);
    EXPECT_LT(decay, 3.0);
}
