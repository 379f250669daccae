// soundscape_test.cpp -- the mix logic: which voices play, for whom, how loud.
#include <gtest/gtest.h>

#include "sound/soundscape.h"

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
    for (int i = voiceSiren0; i < voiceCount; ++i) n += m.voices[i].gain > 0;
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

// The rotor speeds up and grows louder with speed.
TEST(Soundscape, RotorRisesWithSpeed) {
    Soundscape scape;
    SoundScene s = playing();
    const VoiceMix hover = scape.update(s, tick).voices[voiceRotor];
    s.helicopterSpeed = 1;
    const VoiceMix flying = scape.update(s, tick).voices[voiceRotor];
    EXPECT_GT(flying.pitch, hover.pitch * 1.15f);
    EXPECT_GT(flying.gain, hover.gain);
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

    s.captured = true;
    const SoundMix& caught = scape.update(s, tick);
    EXPECT_EQ(sirensSounding(caught), 0);
    EXPECT_TRUE(caught.voices[voiceStinger].restart);
    EXPECT_GT(caught.voices[voiceStinger].gain, 0);
    EXPECT_LT(caught.voices[voiceFugitiveEngine].pitch, 0.8f);  // idling
    EXPECT_FALSE(scape.update(s, tick).voices[voiceStinger].restart);
    // The stinger's voice falls silent once the clip is over.
    for (int i = 0; i < 120; ++i) scape.update(s, tick);
    EXPECT_EQ(scape.mix().voices[voiceStinger].gain, 0);
}

// Only the nearest cars have a voice, and a voice stays with its car while
// that car is among the nearest (no jumping between cars).
TEST(Soundscape, NearestCarsKeepTheirVoices) {
    Soundscape scape;
    SoundScene s = playing();
    for (int i = 0; i < 10; ++i) s.traffic.push_back(car(i, 5.0f * i, 0));
    scape.update(s, tick);
    std::vector<int> owners;
    for (int i = 0; i < trafficVoices; ++i) owners.push_back(scape.trafficOwner(i));
    std::sort(owners.begin(), owners.end());
    EXPECT_EQ(owners, (std::vector<int>{0, 1, 2, 3}));

    const int slotOfCar1 = static_cast<int>(std::find(owners.begin(), owners.end(), 1) - owners.begin());
    const int before = scape.trafficOwner(slotOfCar1);
    // Car 3 drives away, car 9 comes near: only car 3's voice changes hands.
    s.traffic[3].position = Vector3(200, 0, 0);
    s.traffic[9].position = Vector3(1, 0, 1);
    const SoundMix& m = scape.update(s, tick);
    int restarted = 0;
    for (int i = 0; i < trafficVoices; ++i) {
        EXPECT_NE(scape.trafficOwner(i), 3);
        restarted += m.voices[voiceTraffic0 + i].restart;
    }
    EXPECT_EQ(restarted, 1);
    EXPECT_EQ(scape.trafficOwner(slotOfCar1), before);
}

// Any crowd of sirens at the listener is turned down to the headroom, and
// a quiet scene is left as it is.
TEST(Soundscape, BalanceKeepsTheMixUnderTheHeadroom) {
    Soundscape scape;
    SoundScene s = playing();
    for (int i = 0; i < 8; ++i) s.police.push_back(car(i, 0, 0));
    const SoundMix& loud = scape.update(s, tick);
    float total = 0;
    for (const VoiceMix& v : loud.voices) {
        const float d = v.relative ? 0 : distance(v.position, loud.listenerPosition);
        total += v.gain * distanceAttenuation(d);
    }
    EXPECT_LE(total * loud.masterGain, soundHeadroom + 1e-5f);
    EXPECT_LT(loud.masterGain, 0.5f);

    Soundscape quiet;
    EXPECT_EQ(quiet.update(playing(), tick).masterGain, 1);
}
