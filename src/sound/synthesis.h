// synthesis.h -- every sound of the game, made by arithmetic on samples.
//
// Clips are mono, 16-bit, at soundSampleRate; looping clips join without a
// click (their last sample runs on into the first). Nothing here touches a
// sound device: the clips are plain data, testable without one. Noise comes
// from a fixed-seed generator, so the clips are the same on every run.
#pragma once

#include <cstdint>
#include <vector>

constexpr int soundSampleRate = 48000;

// The rotor's blade-pass rate at hover (blade slaps per second); its loop
// holds a whole number of passes.
constexpr float rotorBladePassHz = 20.0f;
// The siren alternates these two tones, each for sirenToneSeconds.
constexpr float sirenLowHz = 650.0f;
constexpr float sirenHighHz = 870.0f;
constexpr float sirenToneSeconds = 0.5f;
// The capture stinger: a rising major arpeggio ending on this chord.
constexpr float stingerRootHz = 392.0f;  // G4, with B4 and D5 above it
// The searchlight's lock-on tone at an empty badge; a full badge doubles it.
constexpr float searchlightToneHz = 330.0f;
// The lengths of the two one-shot sounds.
constexpr float radioChirpSeconds = 0.32f;
constexpr float stingerSeconds = 1.6f;

enum class SoundId {
    rotor,            // blade slap over turbine whine, loops
    trafficEngine,    // a soft engine, loops
    fugitiveEngine,   // a harder engine, loops
    tyreSqueal,       // loops
    siren,            // two-tone, loops
    radioChirp,       // one shot
    searchlightTone,  // loops; pitch follows the badge
    stinger,          // one shot
    cityAmbience,     // loops
    count
};
constexpr int soundCount = static_cast<int>(SoundId::count);

struct SoundClip {
    std::vector<std::int16_t> samples;  // mono at soundSampleRate
    bool loops = false;
};

// The clip for one sound (peaks at most 0.9 of full scale).
SoundClip synthesizeSound(SoundId id);

// All of them, indexed by SoundId.
std::vector<SoundClip> synthesizeAllSounds();
