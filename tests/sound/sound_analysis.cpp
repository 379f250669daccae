// sound_analysis.cpp -- the measurements the sound tests make.
#include "sound_analysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

std::uint32_t read32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
unsigned read16(const unsigned char* p) { return p[0] | (p[1] << 8); }

// The sound below about 150 Hz (four one-pole low-passes: a rotor's thump
// passes, a siren's tones are 50 dB down).
std::vector<float> lowPassed(const std::vector<float>& s, int rate) {
    const float a = 1 - std::exp(-2 * static_cast<float>(M_PI) * 150 / rate);
    std::vector<float> low(s);
    for (int pass = 0; pass < 4; ++pass) {
        float y = 0;
        for (float& v : low) v = y += a * (v - y);
    }
    return low;
}

// The loudness of lowPassed in 1 ms bins.
std::vector<float> envelope(const std::vector<float>& s, int rate) {
    const size_t bin = static_cast<size_t>(rate / 1000);
    const std::vector<float> low = lowPassed(s, rate);
    std::vector<float> e;
    for (size_t i = 0; i + bin <= low.size(); i += bin) {
        float sum = 0;
        for (size_t k = 0; k < bin; ++k) sum += low[i + k] * low[i + k];
        e.push_back(std::sqrt(sum / bin));
    }
    float mean = 0;
    for (float v : e) mean += v;
    mean /= e.empty() ? 1 : e.size();
    for (float& v : e) v -= mean;
    return e;
}

// Normalised autocorrelation at a fractional lag (in bins), interpolated.
float autocorrelation(const std::vector<float>& e, float lag) {
    const int whole = static_cast<int>(lag);
    const float frac = lag - whole;
    double sum = 0, energy = 0;
    const int n = static_cast<int>(e.size());
    for (int i = 0; i + whole + 1 < n; ++i) {
        const float shifted = e[i + whole] * (1 - frac) + e[i + whole + 1] * frac;
        sum += e[i] * shifted;
    }
    for (float v : e) energy += v * v;
    return energy > 0 ? static_cast<float>(sum / energy) : 0;
}

}  // namespace

std::vector<float> WavSound::channel(int c, double from, double to) const {
    std::vector<float> out;
    const long first = std::max(0L, static_cast<long>(from * rate));
    const long last = std::min(frames(), static_cast<long>(to * rate));
    for (long i = first; i < last; ++i) out.push_back(samples[static_cast<size_t>(i * channels + c)]);
    return out;
}

bool parseWav(const std::vector<unsigned char>& b, WavSound& out, std::string& error) {
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0) {
        error = "not a RIFF WAVE file";
        return false;
    }
    bool haveFormat = false;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::uint32_t size = read32(&b[at + 4]);
        const char* tag = reinterpret_cast<const char*>(&b[at]);
        if (size > b.size() - at - 8) {
            error = "chunk of " + std::to_string(size) + " bytes runs past the end";
            return false;
        }
        const unsigned char* body = &b[at + 8];
        if (std::memcmp(tag, "fmt ", 4) == 0) {
            if (size < 16 || read16(body) != 1 || read16(body + 14) != 16) {
                error = "not 16-bit PCM";
                return false;
            }
            out.channels = static_cast<int>(read16(body + 2));
            out.rate = static_cast<int>(read32(body + 4));
            if (out.channels < 1 || out.channels > 8 || out.rate < 1) {
                error = "bad channel count or rate";
                return false;
            }
            haveFormat = true;
        } else if (std::memcmp(tag, "data", 4) == 0) {
            if (!haveFormat) {
                error = "data before format";
                return false;
            }
            if (size % (2 * out.channels) != 0) {
                error = "data is not whole frames";
                return false;
            }
            out.samples.resize(size / 2);
            for (size_t i = 0; i < out.samples.size(); ++i)
                out.samples[i] = static_cast<std::int16_t>(read16(body + 2 * i)) / 32768.0f;
            return true;
        }
        at += 8 + size + (size & 1);
    }
    error = "no data chunk";
    return false;
}

bool readWav(const std::string& path, WavSound& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "can't open " + path;
        return false;
    }
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    return parseWav(bytes, out, error);
}

float peakOf(const std::vector<float>& s) {
    float p = 0;
    for (float v : s) p = std::max(p, std::fabs(v));
    return p;
}

float rmsOf(const std::vector<float>& s) {
    double sum = 0;
    for (float v : s) sum += v * v;
    return s.empty() ? 0 : static_cast<float>(std::sqrt(sum / s.size()));
}

float decibels(float amplitude) { return 20 * std::log10(std::max(amplitude, 1e-9f)); }

float toneAmplitude(const std::vector<float>& s, float hz, int rate) {
    const double w = 2 * M_PI * hz / rate;
    double re = 0, im = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        re += s[i] * std::cos(w * i);
        im -= s[i] * std::sin(w * i);
    }
    return s.empty() ? 0 : static_cast<float>(2 * std::hypot(re, im) / s.size());
}

float strongestTone(const std::vector<float>& s, float lowHz, float highHz, float stepHz, int rate) {
    float best = lowHz, bestAmplitude = -1;
    for (float f = lowHz; f <= highHz; f += stepHz) {
        const float a = toneAmplitude(s, f, rate);
        if (a > bestAmplitude) {
            bestAmplitude = a;
            best = f;
        }
    }
    return best;
}

float envelopeRhythm(const std::vector<float>& s, float lowHz, float highHz, int rate) {
    const std::vector<float> e = envelope(s, rate);
    float bestLag = 0, best = -2;
    for (float lag = 1000 / highHz; lag <= 1000 / lowHz; lag += 0.05f) {
        const float r = autocorrelation(e, lag);
        if (r > best) {
            best = r;
            bestLag = lag;
        }
    }
    return bestLag > 0 ? 1000 / bestLag : 0;
}

float envelopeRhythmStrength(const std::vector<float>& s, float hz, int rate) {
    return autocorrelation(envelope(s, rate), 1000 / hz);
}

std::vector<double> powerSpectrum(const std::vector<float>& s, size_t& n) {
    n = 1;
    while (n < s.size()) n *= 2;
    std::vector<std::complex<double>> a(n);
    for (size_t i = 0; i < s.size(); ++i) a[i] = s[i];
    for (size_t i = 1, j = 0; i < n; ++i) {  // bit reversal
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len *= 2) {
        const std::complex<double> w = std::polar(1.0, -2 * M_PI / static_cast<double>(len));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> wk = 1;
            for (size_t k = 0; k < len / 2; ++k, wk *= w) {
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * wk;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
    std::vector<double> power(n / 2);
    for (size_t i = 0; i < n / 2; ++i) power[i] = std::norm(a[i]);
    return power;
}

double bandEnergy(const std::vector<double>& power, size_t n, float lowHz, float highHz, int rate) {
    double sum = 0;
    for (size_t i = 0; i < power.size(); ++i) {
        const double hz = static_cast<double>(i) * rate / static_cast<double>(n);
        if (hz >= lowHz && hz < highHz) sum += power[i];
    }
    return sum;
}

float lowBandRms(const std::vector<float>& s, int rate) { return rmsOf(lowPassed(s, rate)); }

float largestStep(const std::vector<float>& s) {
    float m = 0;
    for (size_t i = 1; i < s.size(); ++i) m = std::max(m, std::fabs(s[i] - s[i - 1]));
    return m;
}

float stepQuantile(const std::vector<float>& s, double q) {
    std::vector<float> steps;
    for (size_t i = 1; i < s.size(); ++i) steps.push_back(std::fabs(s[i] - s[i - 1]));
    if (steps.empty()) return 0;
    const size_t k = std::min(steps.size() - 1, static_cast<size_t>(q * static_cast<double>(steps.size())));
    std::nth_element(steps.begin(), steps.begin() + static_cast<long>(k), steps.end());
    return steps[k];
}
