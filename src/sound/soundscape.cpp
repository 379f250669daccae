// soundscape.cpp -- the mix logic: the game's state in, voices out.
#include "sound/soundscape.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// The groups' fixed levels, at the reference distance. The loudest play
// (the rotor at full speed, sirens near, a cue) stays under -1 dBFS: the
// sirens, which set that peak, and the tyres sit a little lower against
// the rest than the other groups do.
constexpr float ambienceTitleGain = 0.71f, ambienceGameGain = 0.28f;
constexpr float rotorGain = 0.53f, rotorGainPerLoad = 0.21f;  // load: speed and bank, 0 .. 1
constexpr float crackGain = 0.63f;                            // the crack at full load
constexpr float trafficGain = 0.21f;
constexpr float fugitiveGain = 0.35f, fugitiveGainPerStrain = 0.21f, tyreGain = 0.25f;
constexpr float sirenGain = 0.48f;
constexpr float searchlightGain = 0.18f;
constexpr float chirpGain = 0.38f, stingerGain = 0.69f;
// The rotor is governed: its rate moves this little with load.
constexpr float rotorPitchPerLoad = 0.01f;
// Engines: playback rate from the car's speed; an idle engine runs at idlePitch.
constexpr float idlePitch = 0.85f, enginePitchPerSpeed = 0.06f, highestEnginePitch = 1.7f;
constexpr float strainPitch = 0.08f;  // the fugitive revs up under strain
// Each car's siren is tuned a little apart (up to this fraction either way).
constexpr float sirenDetune = 0.015f;
// Ducking: the rotor and the ambience go down this far under cues, easing
// with this time constant (seconds).
constexpr float duckedLevel = 0.708f, duckSeconds = 0.2f;
// Envelopes (seconds): the lock-on holds while the badge keeps rising on
// frames; the tyres follow turning.
constexpr float lockOnAttack = 0.05f, lockOnRelease = 0.25f, lockOnHoldSeconds = 0.25f;
constexpr float tyreAttack = 0.06f, tyreRelease = 0.15f;
constexpr float fadeSeconds = 0.12f;  // a voice changing cars
constexpr float rivalNearer = 0.8f;   // a rival takes a voice when this much nearer
// Listener and helicopter velocities from their movement, capped so a jump
// of the camera (leaving the title, the capture) does not howl.
constexpr float largestVelocity = 15.0f;  // above any car or the helicopter

Vector3 capped(const Vector3& v) {
    const float l = v.length();
    return l > largestVelocity ? v * (largestVelocity / l) : v;
}

float enginePitch(const SoundCar& car, bool idle) {
    if (idle) return idlePitch;
    return std::min(highestEnginePitch, idlePitch + enginePitchPerSpeed * car.speed);
}

// A value in -1 .. 1 that stays with a car id.
float perCar(int id) {
    std::uint32_t h = static_cast<std::uint32_t>(id) * 2654435761u;
    h ^= h >> 15;
    return static_cast<float>(h % 2001) / 1000.0f - 1;
}

// One step of an envelope toward target, with separate rise and fall times.
float follow(float level, float target, float rise, float fall, float dt) {
    const float seconds = target > level ? rise : fall;
    level += (target - level) * (1 - std::exp(-dt / seconds));
    return std::fabs(level - target) < 0.005f ? target : level;  // -46 dB: done
}

const SoundCar* findCar(const std::vector<SoundCar>& cars, int id) {
    for (const SoundCar& c : cars)
        if (c.id == id) return &c;
    return nullptr;
}

}  // namespace

float distanceAttenuation(float d) {
    d = std::clamp(d, soundReferenceDistance, soundMaxDistance);
    return soundReferenceDistance / d;
}

template <int N>
void CarVoices<N>::update(const std::vector<SoundCar>& cars, const Vector3& listener, float dt, bool any) {
    auto taken = [&](int id) {
        for (int i = 0; i < N; ++i)
            if (owner[i] == id || next[i] == id) return true;
        return false;
    };
    auto distanceTo = [&](int id) {
        const SoundCar* c = findCar(cars, id);
        return c ? distance(c->position, listener) : 1e9f;
    };
    for (int i = 0; i < N; ++i) {
        if (owner[i] >= 0 && (!any || !findCar(cars, owner[i]))) leaving[i] = true;
        if (!any) next[i] = -1;
    }
    if (any) {
        // The nearest cars without a voice, nearest first.
        std::vector<std::pair<float, int>> free;
        for (const SoundCar& c : cars)
            if (!taken(c.id)) free.emplace_back(distance(c.position, listener), c.id);
        std::sort(free.begin(), free.end());
        size_t f = 0;
        for (int i = 0; i < N && f < free.size(); ++i)
            if (owner[i] < 0 && next[i] < 0) next[i] = free[f++].second;
        for (int i = 0; i < N && f < free.size(); ++i)
            if (owner[i] >= 0 && leaving[i] && next[i] < 0) next[i] = free[f++].second;
        // The nearest rival left takes the voice of the farthest car, if it is clearly nearer.
        if (f < free.size()) {
            int farthest = -1;
            for (int i = 0; i < N; ++i)
                if (owner[i] >= 0 && !leaving[i] &&
                    (farthest < 0 || distanceTo(owner[i]) > distanceTo(owner[farthest])))
                    farthest = i;
            if (farthest >= 0 && free[f].first < rivalNearer * distanceTo(owner[farthest])) {
                leaving[farthest] = true;
                next[farthest] = free[f].second;
            }
        }
    }
    const float step = dt / fadeSeconds;
    for (int i = 0; i < N; ++i) {
        if (level[i] == 0 && (owner[i] < 0 || leaving[i])) {  // silent: take the next car, if any
            owner[i] = next[i];
            next[i] = -1;
            leaving[i] = false;
        }
        if (const SoundCar* c = owner[i] >= 0 ? findCar(cars, owner[i]) : nullptr)
            lastPosition[i] = c->position;
        const bool sounding = owner[i] >= 0 && !leaving[i];
        level[i] = sounding ? std::min(1.0f, level[i] + step) : std::max(0.0f, level[i] - step);
    }
}

Soundscape::Soundscape() {
    auto& v = current.voices;
    v[voiceAmbience].sound = SoundId::cityAmbience;
    v[voiceRotor].sound = SoundId::rotor;
    v[voiceRotorCrack].sound = SoundId::rotorCrack;
    v[voiceFugitiveEngine].sound = SoundId::fugitiveEngine;
    v[voiceTyres].sound = SoundId::tyreSqueal;
    v[voiceSearchlight].sound = SoundId::searchlightTone;
    v[voiceChirp].sound = SoundId::radioChirp;
    v[voiceStinger].sound = SoundId::stinger;
    for (int i = 0; i < trafficVoices; ++i) {
        v[voiceTraffic0 + i].sound = SoundId::trafficEngine;
        v[voiceTraffic0 + i].startOffset = 0.23f * static_cast<float>(i);
    }
    for (int i = 0; i < sirenVoices; ++i) {
        v[voiceSiren0 + i].sound = SoundId::siren;
        // Cars set out from one spot: each voice wails at its own point of the cycle.
        v[voiceSiren0 + i].startOffset = 0.37f * static_cast<float>(i);
    }
    for (int i : {voiceAmbience, voiceSearchlight, voiceChirp, voiceStinger}) v[i].relative = true;
    for (int i = voiceSiren0; i < voiceSiren0 + sirenVoices; ++i) v[i].reverb = true;
    for (int i = voiceTraffic0; i < voiceCount; ++i) v[i].reverb = true;
    for (int i : {voiceFugitiveEngine, voiceStinger}) v[i].reverb = true;
}

template <int N>
void Soundscape::placeCarVoices(const CarVoices<N>& group, const std::vector<SoundCar>& cars, int firstVoice,
                                float gain, bool idle) {
    // The group's level is shared: in power, its voices together are one voice at gain.
    float sounding = 0;
    for (int i = 0; i < N; ++i) sounding += group.level[i];
    const float share = gain / std::sqrt(std::max(1.0f, sounding));
    for (int i = 0; i < N; ++i) {
        VoiceMix& v = current.voices[firstVoice + i];
        const SoundCar* car = group.owner[i] >= 0 ? findCar(cars, group.owner[i]) : nullptr;
        v.position = group.lastPosition[i];
        v.velocity = car ? car->velocity : Vector3();
        v.gain = share * group.level[i];
        if (!car) continue;
        const float detune = 1 + sirenDetune * perCar(car->id);
        v.pitch =
            v.sound == SoundId::siren ? detune : enginePitch(*car, idle) * (1 + 0.02f * perCar(car->id));
    }
}

const SoundMix& Soundscape::update(const SoundScene& scene, float dt) {
    auto& v = current.voices;
    for (VoiceMix& voice : v) voice.restart = false;
    for (int i : {voiceRotor, voiceRotorCrack, voiceFugitiveEngine, voiceTyres, voiceSearchlight})
        v[i].gain = 0;
    const bool moving = !first && dt > 0;
    current.listenerVelocity = moving ? capped((scene.listenerEye - lastEye) * (1 / dt)) : Vector3();
    current.listenerPosition = scene.listenerEye;
    current.listenerForward = scene.listenerForward;
    current.listenerUp = scene.listenerUp;

    bool lockOnRising = false, turning = false;
    // Car voices fade out on the title and sirens at the capture.
    static const std::vector<SoundCar> none;
    const std::vector<SoundCar>& cars = scene.title ? none : scene.traffic;
    const std::vector<SoundCar>& police = scene.title ? none : scene.police;
    traffic.update(cars, scene.listenerEye, dt, !scene.title);
    placeCarVoices(traffic, cars, voiceTraffic0, trafficGain, scene.captured);
    sirens.update(police, scene.listenerEye, dt, !scene.title && !scene.captured);
    placeCarVoices(sirens, police, voiceSiren0, sirenGain, false);
    if (scene.title) {
        v[voiceAmbience].gain = ambienceTitleGain;
    } else {
        const float load = std::min(1.0f, 0.7f * scene.helicopterSpeed + 0.5f * scene.helicopterBank);
        for (int i : {voiceRotor, voiceRotorCrack}) {
            v[i].position = scene.helicopterPosition;
            v[i].velocity =
                moving ? capped((scene.helicopterPosition - lastHelicopter) * (1 / dt)) : Vector3();
            v[i].pitch = 1 + rotorPitchPerLoad * load;
        }
        v[voiceRotor].gain = duck * (rotorGain + rotorGainPerLoad * load);
        v[voiceRotorCrack].gain = duck * crackGain * load * load;

        if (scene.hasFugitive) {
            const SoundCar& f = scene.fugitive;
            const float speeding = moving ? (f.speed - lastFugitiveSpeed) / dt / 6 : 0;
            const float strain =
                scene.captured ? 0 : std::clamp(std::max(speeding, f.turning ? 0.6f : 0.0f), 0.f, 1.f);
            fugitiveStrain = follow(fugitiveStrain, strain, 0.08f, 0.4f, dt);
            lastFugitiveSpeed = f.speed;
            VoiceMix& engine = v[voiceFugitiveEngine];
            engine.position = f.position;
            engine.velocity = f.velocity;
            engine.gain = fugitiveGain + fugitiveGainPerStrain * fugitiveStrain;
            engine.pitch = enginePitch(f, scene.captured) * (1 + strainPitch * fugitiveStrain);
            v[voiceTyres].position = f.position;
            v[voiceTyres].velocity = f.velocity;
            turning = f.turning && !scene.captured;
        }
        lockOnRising = !first && scene.badgeFill > lastFill && !scene.captured;
        if (scene.police.size() > lastPoliceCount) v[voiceChirp].restart = true;
        if (scene.captured && !lastCaptured && !first) v[voiceStinger].restart = true;
    }
    // The lock-on beeps while the badge fills, faster and higher as it does;
    // it rises on frames, so a short hold keeps it from gating between them.
    lockOnHold = lockOnRising ? lockOnHoldSeconds : std::max(0.0f, lockOnHold - dt);
    lockOnLevel = follow(lockOnLevel, lockOnHold > 0 ? 1.0f : 0.0f, lockOnAttack, lockOnRelease, dt);
    v[voiceSearchlight].gain = searchlightGain * lockOnLevel;
    v[voiceSearchlight].pitch = 1 + std::clamp(scene.badgeFill, 0.0f, 1.0f);
    tyreLevel = follow(tyreLevel, turning ? 1.0f : 0.0f, tyreAttack, tyreRelease, dt);
    v[voiceTyres].gain = tyreGain * tyreLevel;

    // One-shot voices run to their end at their level.
    if (v[voiceChirp].restart) chirpLeft = radioChirpSeconds;
    if (v[voiceStinger].restart) stingerLeft = stingerSeconds;
    v[voiceChirp].gain = chirpLeft > 0 ? chirpGain : 0;
    v[voiceStinger].gain = stingerLeft > 0 ? stingerGain : 0;
    const bool cue = chirpLeft > 0 || stingerLeft > 0 || lockOnLevel > 0.1f;
    chirpLeft -= dt;
    stingerLeft -= dt;

    // The rotor and the ambience make way for cues, smoothly.
    duck = follow(duck, cue ? duckedLevel : 1.0f, duckSeconds, duckSeconds, dt);
    if (!scene.title) v[voiceAmbience].gain = ambienceGameGain * duck;

    first = false;
    lastEye = scene.listenerEye;
    lastHelicopter = scene.helicopterPosition;
    lastFill = scene.badgeFill;
    lastCaptured = scene.captured;
    lastPoliceCount = scene.police.size();
    return current;
}
