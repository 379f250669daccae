// synthesis.cpp -- the recipes of the game's sounds.
#include "sound/synthesis.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float twoPi = 6.28318530718f;
constexpr float clipPeak = 0.9f;  // of full scale, before the mix scales it

// A small deterministic noise source (xorshift), uniform in -1 .. 1.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state(seed ? seed : 1u) {}
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    }

private:
    std::uint32_t state;
};

// One-pole low-pass with cut-off hz.
class LowPass {
public:
    explicit LowPass(float hz) : a(1.0f - std::exp(-twoPi * hz / soundSampleRate)) {}
    float operator()(float x) { return y += a * (x - y); }

private:
    float a;
    float y = 0;
};

// A sine wave by rotation, one multiply-add per sample instead of a sin():
// the start-up synthesizes a few million samples. Doubles keep the drift
// over a clip far below a 16-bit step.
class Sine {
public:
    explicit Sine(double hz) : c(std::cos(step(hz))), s(std::sin(step(hz))) {}
    // The value at the current sample, then one sample on.
    float next() {
        const float value = static_cast<float>(y);
        const double nx = x * c - y * s;
        y = x * s + y * c;
        x = nx;
        return value;
    }

private:
    static double step(double hz) { return 2 * M_PI * hz / soundSampleRate; }
    double c, s;
    double x = 1, y = 0;
};

int samplesFor(float seconds) { return static_cast<int>(std::lround(seconds * soundSampleRate)); }

float seconds(int i) { return static_cast<float>(i) / soundSampleRate; }

// A loop made from noise joins smoothly when its tail is faded into its head:
// render fade samples more than needed and cross-fade them over the start.
void foldLoopTail(std::vector<float>& s, int fade) {
    const int n = static_cast<int>(s.size()) - fade;
    for (int i = 0; i < fade; ++i) {
        const float w = static_cast<float>(i) / fade;
        s[i] = s[i] * w + s[n + i] * (1 - w);
    }
    s.resize(n);
}

SoundClip finish(std::vector<float> s, bool loops) {
    float peak = 0;
    for (float v : s) peak = std::max(peak, std::fabs(v));
    const float scale = peak > 0 ? clipPeak / peak : 0;
    SoundClip clip;
    clip.loops = loops;
    clip.samples.reserve(s.size());
    for (float v : s) clip.samples.push_back(static_cast<std::int16_t>(std::lround(v * scale * 32767.0f)));
    return clip;
}

// The rotor: each blade pass is a slap (a short burst of low-passed noise
// and a thump at 70 Hz, both falling away in a few tens of milliseconds);
// under it a turbine whine (1.4 kHz with a beating partial) and a little
// broadband rush. One second holds exactly rotorBladePassHz passes.
std::vector<float> rotor() {
    const int n = soundSampleRate;
    const int pass = static_cast<int>(soundSampleRate / rotorBladePassHz);
    std::vector<float> s(n);
    Noise noise(0x5eed01);
    LowPass slapTone(900), rush(2500);
    Sine whine1(1400), whine2(1403), whine3(2800);
    // One pass's slap and thump, the same for every pass.
    std::vector<float> slaps(pass), thumps(pass);
    for (int i = 0; i < pass; ++i) {
        const float t = seconds(i);
        slaps[i] = std::exp(-t / 0.012f);
        thumps[i] = std::sin(twoPi * 70.0f * t) * std::exp(-t / 0.02f);
    }
    for (int i = 0; i < n; ++i) {
        const float slap = slaps[i % pass];
        const float thump = thumps[i % pass];
        const float whine = 0.09f * whine1.next() + 0.05f * whine2.next() + 0.03f * whine3.next();
        s[i] =
            0.9f * slap * slapTone(noise.next()) * 3.0f + 0.6f * thump + whine + 0.06f * rush(noise.next());
    }
    return s;
}

// An engine: a buzz at fundamental hz (harmonics falling by 1/k^hardness)
// with a firing ripple, and a little low noise. One second, a whole number
// of cycles of every partial, so it loops cleanly.
std::vector<float> engine(float hz, float hardness, std::uint32_t seed) {
    const int n = soundSampleRate;
    std::vector<float> s(n + 2400);
    Noise noise(seed);
    LowPass rumble(300);
    constexpr int partials = 8;
    std::vector<Sine> harmonics;
    float weights[partials];
    for (int k = 1; k <= partials; ++k) {
        harmonics.emplace_back(hz * k);
        weights[k - 1] = 1 / std::pow(static_cast<float>(k), hardness);
    }
    Sine firing(hz * 0.5f);
    for (int i = 0; i < static_cast<int>(s.size()); ++i) {
        float v = 0;
        for (int k = 0; k < partials; ++k) v += harmonics[k].next() * weights[k];
        const float ripple = 0.75f + 0.25f * firing.next();
        s[i] = v * ripple + 0.8f * rumble(noise.next());
    }
    foldLoopTail(s, 2400);
    return s;
}

// Tyres: a narrow-band hiss around 2.2 kHz wobbling in pitch.
std::vector<float> tyreSqueal() {
    const int n = soundSampleRate;
    std::vector<float> s(n + 4800);
    Noise noise(0x5eed02);
    LowPass band(2600), cut(1800);
    float phase = 0;
    Sine wobble(7), flutter(11);
    for (int i = 0; i < static_cast<int>(s.size()); ++i) {
        phase += twoPi * (2200.0f + 120.0f * wobble.next()) / soundSampleRate;
        if (phase > twoPi) phase -= twoPi;
        // One noise sample through both low-passes: their difference is the band between.
        const float white = noise.next();
        const float hiss = band(white) - cut(white);
        s[i] = 0.6f * std::sin(phase) * (0.7f + 0.3f * flutter.next()) + 1.5f * hiss;
    }
    foldLoopTail(s, 4800);
    return s;
}

// Two tones, each for sirenToneSeconds, with a bright edge (odd harmonics);
// one phase accumulator so the change of tone does not click.
std::vector<float> siren() {
    const int half = samplesFor(sirenToneSeconds);
    std::vector<float> s(2 * half);
    float phase = 0;
    for (int i = 0; i < 2 * half; ++i) {
        const float hz = i < half ? sirenHighHz : sirenLowHz;
        phase += twoPi * hz / soundSampleRate;
        if (phase > twoPi) phase -= twoPi;
        s[i] = std::sin(phase) + 0.3f * std::sin(3 * phase) + 0.12f * std::sin(5 * phase);
    }
    return s;
}

// The radio: a burst of squelch, two short beeps, squelch again.
std::vector<float> radioChirp() {
    const int n = samplesFor(radioChirpSeconds);
    std::vector<float> s(n);
    Noise noise(0x5eed03);
    LowPass band(3000);
    for (int i = 0; i < n; ++i) {
        const float t = seconds(i);
        const float edge = std::min(1.0f, std::min(t, radioChirpSeconds - t) / 0.005f);
        float v = 0;
        if (t < 0.05f || t > 0.27f)
            v = 0.7f * band(noise.next());
        else if (t < 0.13f)
            v = std::sin(twoPi * 1500.0f * t);
        else if (t > 0.16f && t < 0.24f)
            v = std::sin(twoPi * 2000.0f * t);
        s[i] = v * edge;
    }
    return s;
}

// A soft tone with a touch of octave, pulsing gently, one second, whole cycles.
std::vector<float> searchlightTone() {
    const int n = soundSampleRate;
    std::vector<float> s(n);
    Sine tone(searchlightToneHz), octave(2 * searchlightToneHz), pulse(4);
    for (int i = 0; i < n; ++i) s[i] = (tone.next() + 0.25f * octave.next()) * (0.8f + 0.2f * pulse.next());
    return s;
}

// Three quick rising notes, then the chord held and fading: 1.6 seconds.
std::vector<float> stinger() {
    const int n = samplesFor(stingerSeconds);
    const float notes[3] = {stingerRootHz, stingerRootHz * 1.25992f, stingerRootHz * 1.49831f};
    std::vector<float> s(n);
    const float decay = std::exp(-1.0f / (0.5f * soundSampleRate));
    for (int k = 0; k < 3; ++k) {
        // A brassy note: the fundamental and its next partials, from its start.
        Sine first(notes[k]), second(2 * notes[k]), third(3 * notes[k]);
        float fall = 1;
        for (int i = samplesFor(0.09f * k), j = 0; i < n; ++i, ++j) {
            const float attack = std::min(1.0f, seconds(j) / 0.01f);
            s[i] += attack * fall * (first.next() + 0.5f * second.next() + 0.25f * third.next());
            fall *= decay;
        }
    }
    for (int i = 0; i < n; ++i) s[i] *= std::min(1.0f, (stingerSeconds - seconds(i)) / 0.05f);
    return s;
}

// The city at night from afar: a low rumble of traffic (brown-ish noise), a
// mains hum and its harmonic, slowly swelling. Four seconds.
std::vector<float> cityAmbience() {
    const int n = 4 * soundSampleRate;
    const int fade = soundSampleRate / 2;
    std::vector<float> s(n + fade);
    Noise noise(0x5eed04);
    LowPass rumble(120), rumble2(400);
    Sine swelling(0.25), hum(50), hum2(100);
    for (int i = 0; i < static_cast<int>(s.size()); ++i) {
        const float swell = 0.7f + 0.3f * swelling.next();
        s[i] = swell * (4.0f * rumble(noise.next()) + 1.0f * rumble2(noise.next())) + 0.15f * hum.next() +
               0.07f * hum2.next();
    }
    foldLoopTail(s, fade);
    return s;
}

}  // namespace

SoundClip synthesizeSound(SoundId id) {
    switch (id) {
        case SoundId::rotor:
            return finish(rotor(), true);
        case SoundId::trafficEngine:
            return finish(engine(40.0f, 2.0f, 0x5eed05), true);
        case SoundId::fugitiveEngine:
            return finish(engine(55.0f, 1.0f, 0x5eed06), true);
        case SoundId::tyreSqueal:
            return finish(tyreSqueal(), true);
        case SoundId::siren:
            return finish(siren(), true);
        case SoundId::radioChirp:
            return finish(radioChirp(), false);
        case SoundId::searchlightTone:
            return finish(searchlightTone(), true);
        case SoundId::stinger:
            return finish(stinger(), false);
        case SoundId::cityAmbience:
            return finish(cityAmbience(), true);
        case SoundId::count:
            break;
    }
    return {};
}

std::vector<SoundClip> synthesizeAllSounds() {
    std::vector<SoundClip> clips;
    for (int i = 0; i < soundCount; ++i) clips.push_back(synthesizeSound(static_cast<SoundId>(i)));
    return clips;
}
