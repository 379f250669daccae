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

// A two-pole resonant filter (the usual biquad recipes): band-pass with a
// peak gain of 1, or high-pass, at hz with quality q.
class Biquad {
public:
    static Biquad bandPass(float hz, float q) {
        const float w = twoPi * hz / soundSampleRate, alpha = std::sin(w) / (2 * q), a0 = 1 + alpha;
        return Biquad(alpha / a0, 0, -alpha / a0, -2 * std::cos(w) / a0, (1 - alpha) / a0);
    }
    static Biquad highPass(float hz, float q) {
        const float w = twoPi * hz / soundSampleRate, alpha = std::sin(w) / (2 * q), a0 = 1 + alpha;
        const float c = std::cos(w);
        return Biquad((1 + c) / 2 / a0, -(1 + c) / a0, (1 + c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0);
    }
    static Biquad lowPass(float hz, float q) {
        const float w = twoPi * hz / soundSampleRate, alpha = std::sin(w) / (2 * q), a0 = 1 + alpha;
        const float c = std::cos(w);
        return Biquad((1 - c) / 2 / a0, (1 - c) / a0, (1 - c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0);
    }
    float operator()(float x) {
        const float y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }

private:
    Biquad(float b0_, float b1_, float b2_, float a1_, float a2_)
        : b0(b0_), b1(b1_), b2(b2_), a1(a1_), a2(a2_) {}
    float b0, b1, b2, a1, a2;
    float z1 = 0, z2 = 0;
};

// A band-limited sawtooth (polyBLEP): the bright, rich wave of horns and
// brass without the aliasing of a plain ramp. phase in cycles.
float sawtooth(float phase, float increment) {
    float v = 2 * phase - 1;
    if (phase < increment) {
        const float t = phase / increment;
        v -= t + t - t * t - 1;
    } else if (phase > 1 - increment) {
        const float t = (phase - 1) / increment;
        v -= t * t + t + t + 1;
    }
    return v;
}

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
// s holds n + fade samples, stride apart.
void foldLoopTail(float* s, int n, int fade, int stride) {
    for (int i = 0; i < fade; ++i) {
        const float w = static_cast<float>(i) / fade;
        s[stride * i] = s[stride * i] * w + s[stride * (n + i)] * (1 - w);
    }
}

void foldLoopTail(std::vector<float>& s, int fade) {
    const int n = static_cast<int>(s.size()) - fade;
    foldLoopTail(s.data(), n, fade, 1);
    s.resize(n);
}

SoundClip finish(const std::vector<float>& s, bool loops, int channels = 1) {
    float peak = 0;
    for (float v : s) peak = std::max(peak, std::fabs(v));
    const float scale = peak > 0 ? clipPeak / peak : 0;
    SoundClip clip;
    clip.loops = loops;
    clip.channels = channels;
    clip.samples.resize(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        // Rounded half away from zero, as lround does, without its call
        // (the fraction left by the truncation is exact).
        const float v = s[i] * scale * 32767.0f;
        const int whole = static_cast<int>(v);
        const float fraction = v - static_cast<float>(whole);
        clip.samples[i] = static_cast<std::int16_t>(whole + (fraction >= 0.5f) - (fraction <= -0.5f));
    }
    return clip;
}

// The rotor's loops: two seconds, 40 blade passes whose times and strengths
// vary a little (drawn once, so the body and the crack stay in step and no
// one-second loop is heard).
constexpr float rotorLoopSeconds = 2.0f;
struct BladePass {
    int at;          // first sample
    float strength;  // 0.8 .. 1.2
};

std::vector<BladePass> bladePasses() {
    const int passes = static_cast<int>(rotorLoopSeconds * rotorBladePassHz);
    const float period = soundSampleRate / rotorBladePassHz;
    Noise jitter(0x5eed10);
    std::vector<BladePass> p;
    for (int k = 0; k < passes; ++k) {
        const int at = static_cast<int>(k * period + 40 * jitter.next());  // +-0.8 ms
        p.push_back(
            {(at + samplesFor(rotorLoopSeconds)) % samplesFor(rotorLoopSeconds), 1 + 0.2f * jitter.next()});
    }
    return p;
}

// Adds gain * shape into the loop s from sample at, wrapping around its end
// (two plain runs: no division per sample).
void addWrapped(std::vector<float>& s, int at, float gain, const std::vector<float>& shape) {
    const int n = static_cast<int>(s.size()), m = static_cast<int>(shape.size());
    const int first = std::min(m, n - at);
    float* out = s.data() + at;
    for (int i = 0; i < first; ++i) out[i] += gain * shape[i];
    for (int i = first; i < m; ++i) s[i - first] += gain * shape[i];
}

// Adds shape (scaled) at every pass, wrapping around the loop's end.
void stamp(std::vector<float>& s, const std::vector<BladePass>& passes, const std::vector<float>& shape,
           float variation, std::uint32_t seed) {
    Noise vary(seed);
    for (const BladePass& p : passes) addWrapped(s, p.at, p.strength * (1 + variation * vary.next()), shape);
}

// The rotor's body: each pass a slap (low-passed noise falling away in
// 12 ms) and a 70 Hz thump; under it the turbine whine with a beating
// partial, the tail rotor's buzz (a 105 Hz pulse), and a little rush.
std::vector<float> rotor() {
    const int n = samplesFor(rotorLoopSeconds);
    const int pass = static_cast<int>(soundSampleRate / rotorBladePassHz);
    std::vector<float> s(n, 0.0f), slap(pass);
    Noise noise(0x5eed01);
    LowPass slapTone(900), rush(2500);
    for (int i = 0; i < pass; ++i) {
        const float t = seconds(i);
        slap[i] = 2.7f * std::exp(-t / 0.012f) * slapTone(noise.next()) +
                  0.6f * std::sin(twoPi * 70.0f * t) * std::exp(-t / 0.02f);
    }
    stamp(s, bladePasses(), slap, 0.1f, 0x5eed11);
    Sine whine1(1400), whine2(1403), whine3(2800), tail(105), tail3(315), tailWobble(0.5);
    for (int i = 0; i < n; ++i) {
        const float whine = 0.045f * whine1.next() + 0.025f * whine2.next() + 0.015f * whine3.next();
        const float t1 = tail.next(), buzz = t1 * t1 * t1 + 0.4f * tail3.next();
        s[i] += whine + 0.05f * (0.8f + 0.2f * tailWobble.next()) * buzz + 0.06f * rush(noise.next());
    }
    return s;
}

// The crack of a loaded rotor (blade-vortex interaction): at each pass a
// sharp, bright impulse, a few milliseconds of high-passed noise and a
// ringing edge. Mixed in with speed and bank, it hardens the slap.
std::vector<float> rotorCrack() {
    const int n = samplesFor(rotorLoopSeconds);
    std::vector<float> s(n, 0.0f), crack(samplesFor(0.02f));
    Noise noise(0x5eed12);
    Biquad bright = Biquad::highPass(700, 0.7f);
    for (size_t i = 0; i < crack.size(); ++i) {
        const float t = seconds(static_cast<int>(i));
        crack[i] = std::exp(-t / 0.005f) * (bright(noise.next()) + 0.8f * std::sin(twoPi * 260.0f * t));
    }
    stamp(s, bladePasses(), crack, 0.25f, 0x5eed13);
    return s;
}

// An engine: firing pulses at engineFiringHz, each a knock of the block
// (a 190 Hz ring), the exhaust's bark (a 700 Hz ring) and a crackle of
// noise up to about 2 kHz, varying pulse to pulse. harder makes the bark
// and crackle stronger. One second: whole pulses, so it loops cleanly.
std::vector<float> engine(float harder, std::uint32_t seed) {
    const int n = soundSampleRate;
    const int pulses = static_cast<int>(engineFiringHz);
    const float period = static_cast<float>(n) / pulses;
    std::vector<float> s(n, 0.0f), pulse(samplesFor(0.03f));
    Noise noise(seed);
    LowPass crackleTone(2000);
    for (size_t i = 0; i < pulse.size(); ++i) {
        const float t = seconds(static_cast<int>(i));
        pulse[i] = std::exp(-t / 0.007f) * std::sin(twoPi * 190 * t) +
                   (0.5f + 0.5f * harder) * std::exp(-t / 0.0035f) * std::sin(twoPi * 700 * t) +
                   (0.25f + 0.35f * harder) * std::exp(-t / 0.002f) * crackleTone(noise.next());
    }
    for (int k = 0; k < pulses; ++k) {
        const int at = static_cast<int>(k * period);
        addWrapped(s, at, 1 + 0.15f * noise.next(), pulse);
    }
    Biquad intake = Biquad::bandPass(400, 1.0f);
    for (int i = 0; i < n; ++i) s[i] += 0.08f * intake(noise.next());
    return s;
}

// Tyres: noise through a resonant band-pass at 1.7 kHz (one sample, filtered
// twice, so it is a true band), with a faint squeal wobbling above it.
std::vector<float> tyreSqueal() {
    const int n = soundSampleRate;
    std::vector<float> s(n + 4800);
    Noise noise(0x5eed02);
    Biquad band = Biquad::bandPass(1700, 2.5f), band2 = Biquad::bandPass(1700, 2.5f);
    float phase = 0;
    Sine wobble(7), flutter(11);
    for (int i = 0; i < static_cast<int>(s.size()); ++i) {
        phase += (2200.0f + 90.0f * wobble.next()) / soundSampleRate;
        if (phase > 1) phase -= 1;
        const float hiss = band2(band(noise.next()));
        s[i] = 4.0f * hiss + 0.15f * std::sin(twoPi * phase) * (0.7f + 0.3f * flutter.next());
    }
    foldLoopTail(s, 4800);
    return s;
}

// A horn: a sawtooth gliding between the two tones (40 ms), through a
// resonant band-pass (the horn's throat) and a gentle saturation. The
// tones are tuned to whole cycles over the loop, and the second of two
// rendered loops is kept, so filter and phase run on across the seam.
std::vector<float> siren() {
    const int half = samplesFor(sirenToneSeconds), n = 2 * half;
    const float glide = 0.04f * soundSampleRate;
    std::vector<float> hz(n);
    const float heldHigh = sirenLowHz * std::pow(sirenHighHz / sirenLowHz, 1.0f);
    const float heldLow = sirenHighHz * std::pow(sirenLowHz / sirenHighHz, 1.0f);
    double cycles = 0;
    for (int i = 0; i < n; ++i) {
        const int j = i % half;
        const float from = i < half ? sirenLowHz : sirenHighHz, to = i < half ? sirenHighHz : sirenLowHz;
        const float k = std::min(1.0f, j / glide);
        // Once the glide is over the tone holds: one pow, not one a sample.
        hz[i] = k < 1 ? from * std::pow(to / from, k * k * (3 - 2 * k)) : (i < half ? heldHigh : heldLow);
        cycles += hz[i] / soundSampleRate;
    }
    const float tune = static_cast<float>(std::round(cycles) / cycles);
    Biquad throat = Biquad::bandPass(1100, 1.6f), body = Biquad::lowPass(3500, 0.7f);
    Biquad blocker = Biquad::highPass(300, 0.7f);  // the saturation's offset and rumble out
    std::vector<float> s(n);
    float phase = 0;
    for (int loop = 0; loop < 2; ++loop) {
        for (int i = 0; i < n; ++i) {
            const float inc = hz[i] * tune / soundSampleRate;
            phase += inc;
            if (phase >= 1) phase -= 1;
            const float raw = sawtooth(phase, inc);
            s[i] = blocker(std::tanh(1.8f * body(0.6f * raw + 1.4f * throat(raw))));
        }
    }
    return s;
}

// The radio: a burst of squelch, two short beeps, and squelch again falling
// away; all through the band of a handset (300 Hz .. 3 kHz), a little
// overdriven.
std::vector<float> radioChirp() {
    const int n = samplesFor(radioChirpSeconds);
    std::vector<float> s(n);
    Noise noise(0x5eed03);
    Biquad low = Biquad::highPass(300, 0.7f), low2 = Biquad::highPass(300, 0.7f);
    Biquad high = Biquad::lowPass(3000, 0.7f), high2 = Biquad::lowPass(3000, 0.7f);
    for (int i = 0; i < n; ++i) {
        const float t = seconds(i);
        float v = 0.6f * noise.next() * (t < 0.05f ? 1.0f : 0.0f);
        if (t >= 0.06f && t < 0.14f) v = std::sin(twoPi * 1500.0f * t);
        if (t >= 0.17f && t < 0.25f) v = std::sin(twoPi * 2000.0f * t);
        if (t >= 0.27f) v = 0.7f * noise.next() * std::exp(-(t - 0.27f) / 0.05f);  // the squelch tail
        const float ramp = std::min(1.0f, std::min(t, radioChirpSeconds - t) / 0.004f);
        s[i] = std::tanh(2.0f * high2(high(low2(low(v))))) * ramp;
    }
    return s;
}

// The lock-on beep: short beeps (a tone and its octave, 5 ms edges) at
// searchlightBeepsPerSecond; one second of whole cycles.
std::vector<float> searchlightTone() {
    const int n = soundSampleRate;
    const int period = static_cast<int>(soundSampleRate / searchlightBeepsPerSecond);
    const int beep = samplesFor(0.07f), edge = samplesFor(0.005f);
    std::vector<float> s(n);
    Sine tone(searchlightToneHz), octave(2 * searchlightToneHz);
    for (int i = 0; i < n; ++i) {
        const int j = i % period;
        const float shape = j < beep ? std::min(1.0f, std::min(j, beep - j) / static_cast<float>(edge)) : 0;
        s[i] = shape * (tone.next() + 0.3f * octave.next());
    }
    return s;
}

// Three quick rising notes, then the chord held and fading. Each note is a
// pair of sawtooths a few cents apart, through a low-pass that opens on the
// attack and settles.
std::vector<float> stinger() {
    const int n = samplesFor(stingerSeconds);
    const float notes[3] = {stingerRootHz, stingerRootHz * 1.25992f, stingerRootHz * 1.49831f};
    std::vector<float> s(n);
    const float decay = std::exp(-1.0f / (1.5f * soundSampleRate));
    for (int k = 0; k < 3; ++k) {
        float phaseA = 0, phaseB = 0.3f, fall = 1, y1 = 0, y2 = 0, a = 0;
        const float incA = notes[k] * 1.003f / soundSampleRate, incB = notes[k] * 0.997f / soundSampleRate;
        for (int i = samplesFor(0.09f * k), j = 0; i < n; ++i, ++j) {
            const float t = seconds(j);
            if (j % 32 == 0) {  // the filter's cut-off, 600 Hz -> 4 kHz on the attack, then 1.6 kHz
                const float hz =
                    t < 0.06f ? 600 + 3400 * t / 0.06f : 1600 + 2400 * std::exp(-(t - 0.06f) / 0.15f);
                a = 1 - std::exp(-twoPi * hz / soundSampleRate);
            }
            phaseA += incA;
            phaseB += incB;
            if (phaseA >= 1) phaseA -= 1;
            if (phaseB >= 1) phaseB -= 1;
            const float raw = sawtooth(phaseA, incA) + sawtooth(phaseB, incB);
            y1 += a * (raw - y1);
            y2 += a * (y1 - y2);
            const float attack = std::min(1.0f, t / 0.008f);
            s[i] += attack * fall * y2;
            fall *= decay;
        }
    }
    for (int i = 0; i < n; ++i) s[i] *= std::min(1.0f, (stingerSeconds - seconds(i)) / 0.08f);
    return s;
}

// The city at night from afar, in stereo: distant traffic (a low rumble of
// brownish noise swelling and fading, different on each side) and wind (a
// band of noise whose colour and level drift). Four seconds.
std::vector<float> cityAmbience() {
    const int n = 4 * soundSampleRate;
    const int fade = soundSampleRate / 2;
    // Both sides rendered straight into the interleaved clip, each folded in place.
    std::vector<float> s(2 * static_cast<size_t>(n + fade));
    for (int c = 0; c < 2; ++c) {
        float* side = s.data() + c;
        Noise noise(0x5eed04 + 17 * c);
        LowPass rumble(110), rumble2(350);
        Biquad wind = Biquad::bandPass(c ? 300.0f : 260.0f, 1.2f);
        Sine swelling(c ? 0.25 : 0.5), gust(c ? 0.5 : 0.75);
        for (int i = 0; i < n + fade; ++i) {
            const float swell = 0.7f + 0.3f * swelling.next();
            const float g = gust.next();
            side[2 * i] = swell * (4.0f * rumble(noise.next()) + 1.0f * rumble2(noise.next())) +
                          (0.25f + 0.15f * g * g) * wind(noise.next());
        }
        foldLoopTail(side, n, fade, 2);
    }
    s.resize(2 * static_cast<size_t>(n));
    return s;
}

}  // namespace

SoundClip synthesizeSound(SoundId id) {
    switch (id) {
        case SoundId::rotor:
            return finish(rotor(), true);
        case SoundId::rotorCrack:
            return finish(rotorCrack(), true);
        case SoundId::trafficEngine:
            return finish(engine(0, 0x5eed05), true);
        case SoundId::fugitiveEngine:
            return finish(engine(1, 0x5eed06), true);
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
            return finish(cityAmbience(), true, 2);
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
