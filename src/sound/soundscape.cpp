// soundscape.cpp -- the mix logic: the game's state in, voices out.
#include "sound/soundscape.h"

#include <algorithm>
#include <cmath>

namespace {

// The levels of the mix, at the reference distance.
constexpr float ambienceTitleGain = 0.6f, ambienceGameGain = 0.12f;
constexpr float rotorGain = 0.45f, rotorGainPerSpeed = 0.25f, rotorGainPerBank = 0.08f;
constexpr float rotorPitchPerSpeed = 0.22f, rotorPitchPerBank = 0.06f;  // 20 -> 25 slaps per second
constexpr float trafficGain = 0.12f;
constexpr float fugitiveGain = 0.4f, tyreGain = 0.35f;
constexpr float sirenGain = 1.0f;
constexpr float searchlightGain = 0.15f;
constexpr float chirpGain = 0.35f, stingerGain = 0.7f;
// Engines: pitch from the car's speed; an idle engine runs at idlePitch.
constexpr float idlePitch = 0.75f, enginePitchPerSpeed = 0.05f, highestEnginePitch = 1.5f;
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

// Keeps every owner still among the nearest cars in its slot and gives free
// slots to the nearest cars without one, so a voice never jumps from car to
// car while its car stays near. Sets restart on the voices given a new car.
template <size_t N>
void assignNearest(std::array<int, N>& owners, const std::vector<SoundCar>& cars, const Vector3& listener,
                   VoiceMix* voices) {
    std::vector<std::pair<float, int>> byDistance;
    byDistance.reserve(cars.size());
    for (const SoundCar& c : cars) byDistance.emplace_back(distance(c.position, listener), c.id);
    const size_t keep = std::min(N, byDistance.size());
    std::partial_sort(byDistance.begin(), byDistance.begin() + static_cast<long>(keep), byDistance.end());
    auto nearest = [&](int id) {
        for (size_t i = 0; i < keep; ++i)
            if (byDistance[i].second == id) return true;
        return false;
    };
    for (int& owner : owners)
        if (owner >= 0 && !nearest(owner)) owner = -1;
    for (size_t i = 0; i < keep; ++i) {
        const int id = byDistance[i].second;
        if (std::find(owners.begin(), owners.end(), id) != owners.end()) continue;
        const auto freeSlot = std::find(owners.begin(), owners.end(), -1);
        *freeSlot = id;
        voices[freeSlot - owners.begin()].restart = true;
    }
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

Soundscape::Soundscape() {
    trafficOwners.fill(-1);
    sirenOwners.fill(-1);
    auto& v = current.voices;
    v[voiceAmbience].sound = SoundId::cityAmbience;
    v[voiceRotor].sound = SoundId::rotor;
    v[voiceFugitiveEngine].sound = SoundId::fugitiveEngine;
    v[voiceTyres].sound = SoundId::tyreSqueal;
    v[voiceSearchlight].sound = SoundId::searchlightTone;
    v[voiceChirp].sound = SoundId::radioChirp;
    v[voiceStinger].sound = SoundId::stinger;
    for (int i = 0; i < trafficVoices; ++i) v[voiceTraffic0 + i].sound = SoundId::trafficEngine;
    for (int i = 0; i < sirenVoices; ++i) v[voiceSiren0 + i].sound = SoundId::siren;
    for (int i : {voiceAmbience, voiceSearchlight, voiceChirp, voiceStinger}) v[i].relative = true;
}

void Soundscape::placeCarVoice(VoiceMix& v, const SoundCar& car, float gain, float pitch) {
    v.position = car.position;
    v.velocity = car.velocity;
    v.gain = gain;
    v.pitch = pitch;
}

const SoundMix& Soundscape::update(const SoundScene& scene, float dt) {
    auto& v = current.voices;
    for (VoiceMix& voice : v) {
        voice.restart = false;
        voice.gain = 0;
    }
    const bool moving = !first && dt > 0;
    current.listenerVelocity = moving ? capped((scene.listenerEye - lastEye) * (1 / dt)) : Vector3();
    current.listenerPosition = scene.listenerEye;
    current.listenerForward = scene.listenerForward;
    current.listenerUp = scene.listenerUp;

    if (scene.title) {
        v[voiceAmbience].gain = ambienceTitleGain;
    } else {
        v[voiceAmbience].gain = ambienceGameGain;
        VoiceMix& rotor = v[voiceRotor];
        rotor.position = scene.helicopterPosition;
        rotor.velocity = moving ? capped((scene.helicopterPosition - lastHelicopter) * (1 / dt)) : Vector3();
        rotor.gain = rotorGain + rotorGainPerSpeed * scene.helicopterSpeed + rotorGainPerBank * scene.helicopterBank;
        rotor.pitch = 1 + rotorPitchPerSpeed * scene.helicopterSpeed + rotorPitchPerBank * scene.helicopterBank;

        assignNearest(trafficOwners, scene.traffic, scene.listenerEye, &v[voiceTraffic0]);
        for (int i = 0; i < trafficVoices; ++i) {
            const SoundCar* car = trafficOwners[i] >= 0 ? findCar(scene.traffic, trafficOwners[i]) : nullptr;
            if (car) placeCarVoice(v[voiceTraffic0 + i], *car, trafficGain, enginePitch(*car, scene.captured));
        }
        if (scene.hasFugitive) {
            const SoundCar& f = scene.fugitive;
            placeCarVoice(v[voiceFugitiveEngine], f, fugitiveGain, enginePitch(f, scene.captured));
            if (f.turning && !scene.captured) placeCarVoice(v[voiceTyres], f, tyreGain, 1);
        }
        // Sirens wail from dispatch until the capture.
        if (scene.captured) {
            sirenOwners.fill(-1);
        } else {
            assignNearest(sirenOwners, scene.police, scene.listenerEye, &v[voiceSiren0]);
            for (int i = 0; i < sirenVoices; ++i) {
                const SoundCar* car = sirenOwners[i] >= 0 ? findCar(scene.police, sirenOwners[i]) : nullptr;
                if (!car) continue;
                VoiceMix& siren = v[voiceSiren0 + i];
                placeCarVoice(siren, *car, sirenGain, 1);
                // Cars set out from one spot: start each siren at its own
                // point of the cycle so they do not wail in unison.
                siren.startOffset = std::fmod(0.37f * static_cast<float>(car->id), 2 * sirenToneSeconds);
            }
        }
        // The lock-on tone while the badge fills, its pitch rising with it.
        if (!first && scene.badgeFill > lastFill && !scene.captured) {
            v[voiceSearchlight].gain = searchlightGain;
            v[voiceSearchlight].pitch = 1 + std::clamp(scene.badgeFill, 0.0f, 1.0f);
        }
        if (scene.police.size() > lastPoliceCount) {
            v[voiceChirp].restart = true;
        }
        if (scene.captured && !lastCaptured && !first) v[voiceStinger].restart = true;
    }
    // One-shot voices run to their end at their level.
    if (v[voiceChirp].restart) chirpLeft = radioChirpSeconds;
    if (v[voiceStinger].restart) stingerLeft = stingerSeconds;
    if (chirpLeft > 0) v[voiceChirp].gain = chirpGain;
    if (stingerLeft > 0) v[voiceStinger].gain = stingerGain;
    chirpLeft -= dt;
    stingerLeft -= dt;

    balance();
    first = false;
    lastEye = scene.listenerEye;
    lastHelicopter = scene.helicopterPosition;
    lastFill = scene.badgeFill;
    lastCaptured = scene.captured;
    lastPoliceCount = scene.police.size();
    return current;
}

// The loudest the voices can add up to at the listener; above the headroom
// the whole mix is turned down to fit, so it never clips.
void Soundscape::balance() {
    float total = 0;
    for (const VoiceMix& voice : current.voices) {
        if (voice.gain <= 0) continue;
        const float d = voice.relative ? 0 : distance(voice.position, current.listenerPosition);
        total += voice.gain * distanceAttenuation(d);
    }
    current.masterGain = total > soundHeadroom ? soundHeadroom / total : 1;
}
