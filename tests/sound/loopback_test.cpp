// loopback_test.cpp -- the mix as OpenAL Soft's own mixer renders it,
// pulled through the loopback device and measured.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>

#include "loopback_render.h"
#include "sound/sound_output.h"
#include "sound/soundscape.h"
#include "sound/synthesis.h"
#include "sound_analysis.h"

namespace {

WavSound render(const std::function<SoundScene(double)>& scene, double seconds) {
    return renderLoopback(scene, seconds);
}

SoundCar policeAt(const Vector3& p, const Vector3& velocity) { return carAt(0, p, velocity); }

std::vector<float> both(const WavSound& w, double from, double to) { return bothChannels(w, from, to); }

}  // namespace

// The rotor is governed: its slap keeps rotorBladePassHz at full speed
// and bank, where it grows louder and harder (more of its energy above
// 1 kHz, the blade-vortex crack).
TEST(Loopback, RotorIsGovernedAndHardensWhenFlying) {
    auto scene = [](float load) {
        return [load](double) {
            SoundScene s = quietStreet();
            s.helicopterPosition = Vector3(2, 4, 3);
            s.helicopterSpeed = load;
            s.helicopterBank = load;
            return s;
        };
    };
    const std::vector<float> h = both(render(scene(0), 2.5), 0.5, 2.5),
                             f = both(render(scene(1), 2.5), 0.5, 2.5);
    const float hoverRate = envelopeRhythm(h, 14, 35, soundSampleRate);
    const float flyingRate = envelopeRhythm(f, 14, 35, soundSampleRate);
    size_t n = 0;
    const std::vector<double> hp = powerSpectrum(h, n), fp = powerSpectrum(f, n);
    const double crack =
        bandEnergy(fp, n, 1000, 8000, soundSampleRate) / bandEnergy(hp, n, 1000, 8000, soundSampleRate);
    const double louder = rmsOf(f) * rmsOf(f) / (rmsOf(h) * rmsOf(h));
    std::printf("rotor: %.2f slaps/s at hover, %.2f at full speed; %+.1f dB, above 1 kHz %+.1f dB\n",
                hoverRate, flyingRate, 10 * std::log10(louder), 10 * std::log10(crack));
    EXPECT_NEAR(hoverRate, rotorBladePassHz, 0.5f);
    EXPECT_GT(envelopeRhythmStrength(h, hoverRate, soundSampleRate), 0.2f);
    EXPECT_NEAR(flyingRate / hoverRate, 1, 0.03);
    EXPECT_GT(rmsOf(f), 1.2f * rmsOf(h));
    EXPECT_GT(crack, 1.1 * louder);  // brighter, not just louder
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
// police cars and the fugitive at the listener, the stinger on top. Nothing
// reaches full scale; a siren near the helicopter is heard over the rotor.
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

// The stinger's chord sounds right after the capture: its band (350 to
// 650 Hz) holds ten times the energy of the same street without it.
TEST(Loopback, StingerFollowsTheCapture) {
    auto scene = [](bool capture) {
        return [capture](double t) {
            SoundScene s = quietStreet();
            s.helicopterPosition = Vector3(2, 4, 3);
            s.captured = capture && t >= 1.0;
            return s;
        };
    };
    const WavSound caught = render(scene(true), 2), free = render(scene(false), 2);
    auto chord = [](const WavSound& w, double from) {
        size_t n = 0;
        const std::vector<double> power = powerSpectrum(both(w, from, from + 0.4), n);
        return bandEnergy(power, n, 350, 650, soundSampleRate);
    };
    EXPECT_LT(chord(caught, 0.5), 1.01 * chord(free, 0.5));
    EXPECT_GT(chord(caught, 1.1), 10 * chord(free, 1.1));
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

// Muted, the mix runs on unheard; paused, the voices hold where they are
// and the soundscape stands still. Either way the loopback renders silence
// (the street's reverb too), and the sound is back at once after: a paused
// run goes on from where it stopped, as an unpaused one plays it.
TEST(Loopback, MuteAndPauseSilenceAndGiveTheSoundBack) {
    auto run = [](bool interrupt) {
        SoundOutput output;
        Soundscape scape;
        WavSound w;
        w.channels = 2;
        w.rate = soundSampleRate;
        EXPECT_TRUE(output.openLoopback(loopbackClips()));
        double sceneTime = 0;
        for (int tick = 0; tick < 4 * 60; ++tick) {
            const double t = tick * loopbackTick;
            output.setMuted(interrupt && t >= 1 && t < 1.5);
            output.setPaused(interrupt && t >= 2 && t < 2.5);
            if (!output.paused()) {
                SoundScene s = quietStreet();
                s.helicopterPosition = Vector3(2, 4, 3);
                s.helicopterSpeed = 0.5f;
                s.police.push_back(carAt(0, Vector3(-4, 0, 8), Vector3()));
                s.captured = sceneTime >= 1.7;  // the stinger rings through the pause
                output.play(scape.update(s, static_cast<float>(loopbackTick)));
                sceneTime += loopbackTick;
            }
            output.render(soundSampleRate / 60, w.samples);
        }
        return w;
    };
    const WavSound w = run(true), plain = run(false);
    const float before = rmsOf(both(w, 0.5, 1));
    EXPECT_LT(peakOf(both(w, 1.02, 1.5)), 1e-4f) << "heard while muted";
    EXPECT_GT(rmsOf(both(w, 1.52, 2)), 0.5f * before) << "not heard again after the mute";
    EXPECT_LT(peakOf(both(w, 2.02, 2.5)), 1e-4f) << "heard while paused";
    // After the pause the voices go on as in the run without one, half a second behind.
    const std::vector<float> resumed = both(w, 2.6, 3.5), unpaused = both(plain, 2.1, 3.0);
    std::vector<float> difference(resumed.size());
    for (size_t i = 0; i < resumed.size(); ++i) difference[i] = resumed[i] - unpaused[i];
    std::printf("after the pause: %.1f dB from the run without one\n",
                decibels(rmsOf(difference) / rmsOf(unpaused)));
    EXPECT_GT(rmsOf(resumed), 0.5f * before);
    EXPECT_LT(rmsOf(difference), 0.3f * rmsOf(unpaused)) << "the voices did not go on where they stopped";
}
