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

// The rotor's blade-pass rate (blade slaps per second). The rotor is
// governed: this rate holds at any speed; its loops hold whole passes.
constexpr float rotorBladePassHz = 20.0f;
// The engines' firing rate at a playback rate of 1 (the car's speed raises it).
constexpr float engineFiringHz = 72.0f;
// The siren alternates these two tones, each for sirenToneSeconds, gliding
// from one to the other.
constexpr float sirenLowHz = 650.0f;
constexpr float sirenHighHz = 870.0f;
constexpr float sirenToneSeconds = 0.5f;
// The capture stinger: a rising major arpeggio ending on this chord.
constexpr float stingerRootHz = 392.0f;  // G4, with B4 and D5 above it
// The lock-on beep at an empty badge: its tone and beeps per second; a full
// badge plays it at twice the rate.
constexpr float searchlightToneHz = 990.0f;
constexpr float searchlightBeepsPerSecond = 4.0f;
// The lengths of the two one-shot sounds.
constexpr float radioChirpSeconds = 0.45f;
constexpr float stingerSeconds = 1.8f;

enum class SoundId {
    rotor,            // blade slap, turbine whine and tail-rotor buzz, loops
    rotorCrack,       // the blade-vortex crack of a working rotor, loops in step with rotor
    trafficEngine,    // a soft engine, loops
    fugitiveEngine,   // a harder engine, loops
    tyreSqueal,       // loops
    siren,            // two-tone, loops
    radioChirp,       // one shot
    searchlightTone,  // the lock-on beep, loops; pitch follows the badge
    stinger,          // one shot
    cityAmbience,     // stereo, loops
    count
};
constexpr int soundCount = static_cast<int>(SoundId::count);

struct SoundClip {
    std::vector<std::int16_t> samples;  // at soundSampleRate; stereo interleaved (left, right)
    int channels = 1;
    bool loops = false;
};

// The clip for one sound (peaks at most 0.9 of full scale).
SoundClip synthesizeSound(SoundId id);

// All of them, indexed by SoundId.
std::vector<SoundClip> synthesizeAllSounds();
