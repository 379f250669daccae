// loopback_render.h -- plays a scripted scene through the soundscape and
// OpenAL Soft's loopback device, one tick at a time, and returns the mix.
#pragma once

#include <functional>

#include "sound/soundscape.h"
#include "sound_analysis.h"

constexpr double loopbackTick = 1.0 / 60;

// scene(t) for each tick at time t; after each tick, watch (if given) sees
// the soundscape and the tick's time.
WavSound renderLoopback(const std::function<SoundScene(double)>& scene, double seconds,
                        const std::function<void(const Soundscape&, double)>& watch = nullptr);

// The game's clips, made once for all the tests.
const std::vector<SoundClip>& loopbackClips();

// The listener at the origin looking along +z (its left is +x), the
// helicopter out of earshot, the title dismissed.
SoundScene quietStreet();
SoundCar carAt(int id, const Vector3& position, const Vector3& velocity);
// Left plus right, seconds from..to.
std::vector<float> bothChannels(const WavSound& w, double from, double to);
