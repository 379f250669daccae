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
constexpr float soundMetresPerUnit = 3.0f;
constexpr float soundSpeedOfSound = 115.0f;
constexpr float soundReferenceDistance = 6.0f;
constexpr float soundMaxDistance = 150.0f;

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
// In the order a device short of sources gives them up, last first: the
// traffic goes first, then the ambience; never the rotor or the sirens.
enum Voice {
    voiceRotor,
    voiceRotorCrack,
    voiceSiren0,
    voiceFugitiveEngine = voiceSiren0 + 4,
    voiceTyres,
    voiceSearchlight,
    voiceChirp,
    voiceStinger,
    voiceAmbience,
    voiceTraffic0,
    voiceCount = voiceTraffic0 + 4
};
constexpr int sirenVoices = voiceFugitiveEngine - voiceSiren0;
constexpr int trafficVoices = voiceCount - voiceTraffic0;

struct VoiceMix {
    SoundId sound = SoundId::rotor;
    bool relative = false;  // true: fixed to the listener (position is an offset)
    bool reverb = false;    // sent to the street's reverb, where the device has one
    Vector3 position, velocity;
    float gain = 0;         // 0: silent (a looping voice keeps running)
    float pitch = 1;        // playback rate, before doppler
    bool restart = false;   // one-shots: start the clip again this tick
    float startOffset = 0;  // seconds into a looping clip where it first starts
};

struct SoundMix {
    Vector3 listenerPosition, listenerVelocity;
    Vector3 listenerForward{0, 0, 1}, listenerUp{0, 1, 0};
    std::array<VoiceMix, voiceCount> voices;
};

// A group of voices that follow cars (traffic engines, sirens). A voice
// stays with its car until a rival is at least a fifth nearer; then it
// fades out, changes cars while silent, and fades in: the clip runs on.
template <int N>
struct CarVoices {
    std::array<int, N> owner;  // car id, -1: none
    std::array<int, N> next;   // the car it goes to once faded out (-1: none)
    std::array<bool, N> leaving;
    std::array<float, N> level;  // 0 .. 1, the fade
    std::array<Vector3, N> lastPosition;
    CarVoices() {
        owner.fill(-1);
        next.fill(-1);
        leaving.fill(false);
        level.fill(0);
    }
    // Moves the fades on by dt and the owners with them; with any false,
    // every voice fades out.
    void update(const std::vector<SoundCar>& cars, const Vector3& listener, float dt, bool any = true);
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
    int trafficOwner(int slot) const { return traffic.owner[slot]; }
    int sirenOwner(int slot) const { return sirens.owner[slot]; }

private:
    template <int N>
    void placeCarVoices(const CarVoices<N>& group, const std::vector<SoundCar>& cars, int first, float gain,
                        bool idle);

    SoundMix current;
    bool first = true;
    Vector3 lastEye, lastHelicopter;
    float lastFill = 0;
    bool lastCaptured = false;
    std::size_t lastPoliceCount = 0;
    float chirpLeft = 0, stingerLeft = 0;   // seconds a one-shot still plays
    float lockOnLevel = 0, lockOnHold = 0;  // the lock-on envelope, and how long it holds after a rise
    float tyreLevel = 0;
    float fugitiveStrain = 0, lastFugitiveSpeed = 0;
    float duck = 1;  // the rotor's and the ambience's level under cues
    CarVoices<trafficVoices> traffic;
    CarVoices<sirenVoices> sirens;
};
