// soundscape.h -- what the game sounds like at this moment: which voices
// play, where, how loud and at what pitch, worked out from a snapshot of
// the game each tick. No sound device here; sound_output.h plays the mix.
//
// World units, y up, seconds. Velocities are world units per second (the
// doppler shift comes from them). Gains are linear, 1 = the clip as made.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "render/vector_math.h"
#include "sound/synthesis.h"

// The speed of sound in world units per second (a unit is about three
// metres), and the distance at which a positional voice plays at its gain.
constexpr float soundSpeedOfSound = 115.0f;
constexpr float soundReferenceDistance = 6.0f;
constexpr float soundMaxDistance = 150.0f;
// The most the mix may add up to (0.8 of full scale, under -1 dBFS).
constexpr float soundHeadroom = 0.8f;

// One car as the soundscape sees it; id stays the same for the car's life.
struct SoundCar {
    int id = 0;
    Vector3 position;
    Vector3 velocity;
    float speed = 0;  // units per second
    bool turning = false;
};

// A snapshot of the game, taken once per tick.
struct SoundScene {
    bool title = true;
    Vector3 listenerEye, listenerForward{0, 0, 1}, listenerUp{0, 1, 0};
    Vector3 helicopterPosition;
    float helicopterSpeed = 0;  // 0 hover .. 1 full speed
    float helicopterBank = 0;   // 0 level .. 1 banked hard
    std::vector<SoundCar> traffic;
    bool hasFugitive = false;
    SoundCar fugitive;
    std::vector<SoundCar> police;  // in dispatch order
    float badgeFill = 0;
    bool captured = false;
};

// The fixed set of voices: one source each on the device.
enum Voice {
    voiceAmbience,
    voiceRotor,
    voiceFugitiveEngine,
    voiceTyres,
    voiceSearchlight,
    voiceChirp,
    voiceStinger,
    voiceTraffic0,
    voiceSiren0 = voiceTraffic0 + 4,
    voiceCount = voiceSiren0 + 4
};
constexpr int trafficVoices = voiceSiren0 - voiceTraffic0;
constexpr int sirenVoices = voiceCount - voiceSiren0;

struct VoiceMix {
    SoundId sound = SoundId::rotor;
    bool relative = false;  // true: fixed to the listener (position is an offset)
    Vector3 position, velocity;
    float gain = 0;   // 0: silent (a looping voice keeps running)
    float pitch = 1;  // playback rate, before doppler
    bool restart = false;     // start the clip again this tick
    float startOffset = 0;    // seconds into the clip when restarted
};

struct SoundMix {
    Vector3 listenerPosition, listenerVelocity;
    Vector3 listenerForward{0, 0, 1}, listenerUp{0, 1, 0};
    float masterGain = 1;
    std::array<VoiceMix, voiceCount> voices;
};

// The gain a positional voice keeps at distance d (inverse distance, clamped
// to the reference and the maximum distance, as the device computes it).
float distanceAttenuation(float d);

class Soundscape {
public:
    Soundscape();
    // The mix for this tick; dt is the tick's length in seconds.
    const SoundMix& update(const SoundScene& scene, float dt);
    const SoundMix& mix() const { return current; }
    // Which car each traffic or siren voice follows (-1: none).
    int trafficOwner(int slot) const { return trafficOwners[slot]; }
    int sirenOwner(int slot) const { return sirenOwners[slot]; }

private:
    void placeCarVoice(VoiceMix& v, const SoundCar& car, float gain, float pitch);
    void balance();

    SoundMix current;
    bool first = true;
    Vector3 lastEye, lastHelicopter;
    float lastFill = 0;
    bool lastCaptured = false;
    std::size_t lastPoliceCount = 0;
    float chirpLeft = 0, stingerLeft = 0;  // seconds a one-shot still plays
    std::array<int, trafficVoices> trafficOwners;
    std::array<int, sirenVoices> sirenOwners;
};
