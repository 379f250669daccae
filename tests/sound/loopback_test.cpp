// loopback_test.cpp -- the mix as OpenAL Soft's own mixer renders it,
// pulled through the loopback device and measured.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "sound/sound_output.h"
#include "sound/soundscape.h"
#include "sound/synthesis.h"
#include "sound_analysis.h"

namespace {

constexpr double tick = 1.0 / 60;
constexpr int framesPerTick = soundSampleRate / 60;

// Plays scene(t) through the soundscape, one tick at a time, and returns
// what the loopback device mixed.
WavSound render(const std::function<SoundScene(double)>& scene, double seconds) {
    static const std::vector<SoundClip> clips = synthesizeAllSounds();
    SoundOutput output;
    Soundscape scape;
    WavSound out;
    out.channels = 2;
    out.rate = soundSampleRate;
    if (!output.openLoopback(clips)) {
        ADD_FAILURE() << "OpenAL Soft gave no loopback device";
        return out;
    }
    for (double t = 0; t < seconds - 1e-9; t += tick) {
        output.play(scape.update(scene(t), static_cast<float>(tick)));
        output.render(framesPerTick, out.samples);
    }
    return out;
}

// The listener at the origin looking along +z; its left is +x.
SoundScene quietStreet() {
    SoundScene s;
    s.title = false;
    s.listenerEye = Vector3(0, 0, 0);
    s.listenerForward = Vector3(0, 0, 1);
    s.listenerUp = Vector3(0, 1, 0);
    s.helicopterPosition = Vector3(0, 0, 3000);  // out of earshot
    return s;
}

SoundCar policeAt(const Vector3& p, const Vector3& velocity) {
    SoundCar c;
    c.position = p;
    c.velocity = velocity;
    c.speed = velocity.length();
    return c;
}

std::vector<float> both(const WavSound& w, double from, double to) {
    std::vector<float> s = w.channel(0, from, to);
    const std::vector<float> r = w.channel(1, from, to);
    for (size_t i = 0; i < s.size(); ++i) s[i] += r[i];
    return s;
}

}  // namespace

// The blade slap is heard as a rhythm of rotorBladePassHz at hover and
// quickens (by a fifth or so) at full speed.
TEST(Loopback, RotorRhythmQuickensWhenFlying) {
    auto scene = [](double speed) {
        return [speed](double) {
            SoundScene s = quietStreet();
            s.helicopterPosition = Vector3(2, 4, 3);
            s.helicopterSpeed = static_cast<float>(speed);
            return s;
        };
    };
    const WavSound hover = render(scene(0), 2), flying = render(scene(1), 2);
    const std::vector<float> h = both(hover, 0.5, 2), f = both(flying, 0.5, 2);
    const float hoverRate = envelopeRhythm(h, 16, 35, soundSampleRate);
    const float flyingRate = envelopeRhythm(f, 16, 35, soundSampleRate);
    std::printf("rotor: %.2f slaps/s at hover, %.2f at full speed\n", hoverRate, flyingRate);
    EXPECT_NEAR(hoverRate, rotorBladePassHz, 0.5f);
    EXPECT_GT(envelopeRhythmStrength(h, hoverRate, soundSampleRate), 0.5f);
    EXPECT_GT(flyingRate, hoverRate * 1.15f);
    EXPECT_GT(rmsOf(f), rmsOf(h));
}

// A police car on the listener's left is louder in the left channel; on its
// right, in the right.
TEST(Loopback, SirenOnTheLeftIsLouderOnTheLeft) {
    auto at = [](float x) {
        return [x](double) {
            SoundScene s = quietStreet();
            s.police.push_back(policeAt(Vector3(x, 0, 2), Vector3()));
            return s;
        };
    };
    const WavSound left = render(at(10), 1.5), right = render(at(-10), 1.5);
    const float leftL = rmsOf(left.channel(0, 0.2)), leftR = rmsOf(left.channel(1, 0.2));
    const float rightL = rmsOf(right.channel(0, 0.2)), rightR = rmsOf(right.channel(1, 0.2));
    std::printf("siren on the left: left/right %.1f dB\n", decibels(leftL / leftR));
    EXPECT_GT(leftL, 2 * leftR);
    EXPECT_GT(rightR, 2 * rightL);
}

// Doppler: a police car driving at the listener wails higher than one
// driving away at the same speed, by about what the speed of sound says.
TEST(Loopback, ApproachingSirenIsHigherThanReceding) {
    auto driving = [](float vz) {
        return [vz](double) {
            SoundScene s = quietStreet();
            s.police.push_back(policeAt(Vector3(0, 0, 30), Vector3(0, 0, vz)));
            return s;
        };
    };
    constexpr float speed = 9;  // the police cars' chase speed
    const WavSound toward = render(driving(-speed), 2.2), away = render(driving(speed), 2.2);
    // The high tone, shifted by up to a tenth either way (the low one stays
    // below this band whichever way the car drives).
    const float high = strongestTone(both(toward, 1.1, 2.1), 760, 1000, 1, soundSampleRate);
    const float low = strongestTone(both(away, 1.1, 2.1), 760, 1000, 1, soundSampleRate);
    std::printf("siren high tone: %.0f Hz approaching, %.0f Hz receding\n", high, low);
    EXPECT_GT(high, low * 1.1f);
    const float expected = (soundSpeedOfSound + speed) / (soundSpeedOfSound - speed);
    EXPECT_NEAR(high / low, expected, 0.03f);
}

// The loudest the game gets: the helicopter at full speed overhead, five
// police cars and the fugitive at the listener, the stinger on top. The
// peak stays at or under -1 dBFS, and a siren near the helicopter is heard
// over the rotor.
TEST(Loopback, NothingClipsAndASirenRisesOverTheRotor) {
    const WavSound loud = render(
        [](double t) {
            SoundScene s = quietStreet();
            s.helicopterPosition = Vector3(0, 3, 2);
            s.helicopterSpeed = 1;
            s.helicopterBank = 1;
            s.hasFugitive = true;
            s.fugitive = policeAt(Vector3(1, 0, 1), Vector3(9, 0, 0));
            s.fugitive.turning = true;
            for (int i = 0; i < 5; ++i) {
                s.police.push_back(policeAt(Vector3(0.5f * i, 0, 1), Vector3()));
                s.police.back().id = i;
            }
            s.badgeFill = static_cast<float>(t);
            s.captured = t > 1.0;
            return s;
        },
        2.5);
    std::printf("loudest scene: peak %.2f dBFS\n", decibels(peakOf(loud.samples)));
    EXPECT_LE(decibels(peakOf(loud.samples)), -1.0f);

    auto rotorWithSiren = [](bool siren) {
        return [siren](double) {
            SoundScene s = quietStreet();
            s.helicopterPosition = Vector3(0, 4, 4);
            s.helicopterSpeed = 0.5f;
            if (siren) s.police.push_back(policeAt(Vector3(0, 0, 6), Vector3()));
            return s;
        };
    };
    const std::vector<float> rotor = both(render(rotorWithSiren(false), 1.5), 0.5, 1.5);
    const std::vector<float> mixed = both(render(rotorWithSiren(true), 1.5), 0.5, 1.5);
    std::printf("rotor alone %.1f dBFS rms, with a siren 6 units off %.1f dBFS rms\n", decibels(rmsOf(rotor)),
                decibels(rmsOf(mixed)));
    // The siren's share of the mix is larger than the rotor's.
    EXPECT_GT(rmsOf(mixed) * rmsOf(mixed), 2 * rmsOf(rotor) * rmsOf(rotor));
}

// The stinger's chord sounds right after the capture and not before it.
TEST(Loopback, StingerFollowsTheCapture) {
    const WavSound w = render(
        [](double t) {
            SoundScene s = quietStreet();
            s.helicopterPosition = Vector3(2, 4, 3);
            s.hasFugitive = true;
            s.fugitive = policeAt(Vector3(0, 0, 8), Vector3(0, 0, 9));
            s.police.push_back(policeAt(Vector3(0, 0, 14), Vector3()));
            s.captured = t >= 1.0;
            return s;
        },
        2);
    auto chord = [&](double from) {
        const std::vector<float> s = both(w, from, from + 0.4);
        return toneAmplitude(s, stingerRootHz * 1.25992f, soundSampleRate) +
               toneAmplitude(s, stingerRootHz * 1.49831f, soundSampleRate);
    };
    const float before = chord(0.5), after = chord(1.2);
    EXPECT_GT(after, 10 * before);
    EXPECT_GT(after, 0.01f);
}

// The same scene renders to the same samples every time.
TEST(Loopback, RenderingRepeatsExactly) {
    auto scene = [](double t) {
        SoundScene s = quietStreet();
        s.helicopterPosition = Vector3(2, 4, 3 + static_cast<float>(t));
        s.police.push_back(policeAt(Vector3(5, 0, 10), Vector3(0, 0, -9)));
        return s;
    };
    const WavSound a = render(scene, 1), b = render(scene, 1);
    ASSERT_EQ(a.samples.size(), static_cast<size_t>(2 * soundSampleRate));
    EXPECT_EQ(a.samples, b.samples);
}
