// soundscape_test.cpp -- the mix logic: which voices play, for whom, how loud.
#include "sound/soundscape.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr float tick = 1.0f / 60;

SoundCar car(int id, float x, float z) {
    SoundCar c;
    c.id = id;
    c.position = Vector3(x, 0, z);
    return c;
}

SoundScene playing() {
    SoundScene s;
    s.title = false;
    s.listenerEye = Vector3(0, 8, -3);
    s.helicopterPosition = Vector3(0, 5, 0);
    return s;
}

int sirensSounding(const SoundMix& m) {
    int n = 0;
    for (int i = voiceSiren0; i < voiceSiren0 + sirenVoices; ++i) n += m.voices[i].gain > 0;
    return n;
}

}  // namespace

// The title is the city's ambience alone; the game brings in the rotor.
TEST(Soundscape, TitleIsAmbienceAloneThenTheRotorComesIn) {
    Soundscape scape;
    SoundScene title;
    const SoundMix m = scape.update(title, tick);
    for (int i = 0; i < voiceCount; ++i) EXPECT_EQ(m.voices[i].gain > 0, i == voiceAmbience) << "voice " << i;
    const SoundMix& game = scape.update(playing(), tick);
    EXPECT_GT(game.voices[voiceRotor].gain, 0);
    EXPECT_LT(game.voices[voiceAmbience].gain, m.voices[voiceAmbience].gain);
}

// A siren from dispatch to capture, with a radio chirp at each dispatch and
// the stinger once at the capture; then the sirens stop and engines idle.
TEST(Soundscape, SirensFromDispatchToCaptureWithChirpAndStinger) {
    Soundscape scape;
    SoundScene s = playing();
    s.hasFugitive = true;
    s.fugitive = car(-1, 10, 10);
    s.fugitive.speed = 8;
    EXPECT_EQ(sirensSounding(scape.update(s, tick)), 0);
    EXPECT_FALSE(scape.mix().voices[voiceChirp].restart);

    s.police.push_back(car(0, 20, 0));
    const SoundMix& dispatched = scape.update(s, tick);
    EXPECT_EQ(sirensSounding(dispatched), 1);
    EXPECT_TRUE(dispatched.voices[voiceChirp].restart);
    EXPECT_GT(dispatched.voices[voiceChirp].gain, 0);
    EXPECT_FALSE(scape.update(s, tick).voices[voiceChirp].restart);  // once per car

    const float driving = scape.mix().voices[voiceFugitiveEngine].pitch;
    s.captured = true;
    const SoundMix& caught = scape.update(s, tick);
    EXPECT_TRUE(caught.voices[voiceStinger].restart);
    EXPECT_GT(caught.voices[voiceStinger].gain, 0);
    EXPECT_LT(caught.voices[voiceFugitiveEngine].pitch, driving);  // idling
    EXPECT_FALSE(scape.update(s, tick).voices[voiceStinger].restart);
    for (int i = 0; i < 12; ++i) scape.update(s, tick);  // the sirens fade out
    EXPECT_EQ(sirensSounding(scape.mix()), 0);
    // The stinger's voice falls silent once the clip is over.
    for (int i = 0; i < 120; ++i) scape.update(s, tick);
    EXPECT_EQ(scape.mix().voices[voiceStinger].gain, 0);
}

// Only the nearest cars have a voice. A voice stays with its car until a
// rival is at least a fifth nearer; then it fades out, changes cars while
// silent and fades in, its clip never restarted and its level never jumping.
TEST(Soundscape, VoicesStayWithTheirCarsAndChangeCarsByFading) {
    Soundscape scape;
    SoundScene s = playing();
    s.listenerEye = Vector3(0, 0, 0);
    for (int i = 0; i < 10; ++i) s.traffic.push_back(car(i, 5.0f * (i + 1), 0));
    scape.update(s, tick);
    std::vector<int> owners;
    for (int i = 0; i < trafficVoices; ++i) owners.push_back(scape.trafficOwner(i));
    std::sort(owners.begin(), owners.end());
    EXPECT_EQ(owners, (std::vector<int>{0, 1, 2, 3}));

    const auto ownersNow = [&] {
        std::vector<int> o;
        for (int i = 0; i < trafficVoices; ++i) o.push_back(scape.trafficOwner(i));
        return o;
    };
    const std::vector<int> before = ownersNow();
    // Car 9 comes nearer than car 3 (at 20), but not by a fifth: nothing changes.
    s.traffic[9].position = Vector3(16.5f, 0, 0);
    for (int i = 0; i < 30; ++i) scape.update(s, tick);
    EXPECT_EQ(ownersNow(), before);

    // Now by more: car 3's voice goes to car 9, smoothly.
    s.traffic[9].position = Vector3(15.5f, 0, 0);
    float previous[trafficVoices];
    for (int i = 0; i < trafficVoices; ++i) previous[i] = scape.mix().voices[voiceTraffic0 + i].gain;
    float largestJump = 0;
    for (int t = 0; t < 40; ++t) {
        const SoundMix& m = scape.update(s, tick);
        for (int i = 0; i < trafficVoices; ++i) {
            EXPECT_FALSE(m.voices[voiceTraffic0 + i].restart);
            largestJump = std::max(largestJump, std::fabs(m.voices[voiceTraffic0 + i].gain - previous[i]));
            previous[i] = m.voices[voiceTraffic0 + i].gain;
        }
    }
    std::vector<int> after = ownersNow();
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, (std::vector<int>{0, 1, 2, 9}));
    const float fullGain = *std::max_element(previous, previous + trafficVoices);
    EXPECT_LT(largestJump, 0.25f * fullGain);  // a fade, not a switch
}
