// sound_analysis.h -- reading WAV files and measuring what is in them:
// levels, the power at a frequency, the rhythm of an envelope.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A 16-bit PCM WAV file: samples as floats (full scale 1), interleaved.
struct WavSound {
    int channels = 0;
    int rate = 0;
    std::vector<float> samples;

    long frames() const { return channels ? static_cast<long>(samples.size()) / channels : 0; }
    // One channel, seconds from..to (clamped to the sound).
    std::vector<float> channel(int c, double from = 0, double to = 1e9) const;
};

// Reads bytes as a WAV file; false with a reason for anything but
// canonical-enough 16-bit PCM (chunks are walked, lengths checked).
bool parseWav(const std::vector<unsigned char>& bytes, WavSound& out, std::string& error);
bool readWav(const std::string& path, WavSound& out, std::string& error);

float peakOf(const std::vector<float>& s);
float rmsOf(const std::vector<float>& s);
float decibels(float amplitude);
// Amplitude of the sinusoid at hz in s (Goertzel over the whole span).
float toneAmplitude(const std::vector<float>& s, float hz, int rate);
// The strongest tone between lowHz and highHz, searched in steps of stepHz.
float strongestTone(const std::vector<float>& s, float lowHz, float highHz, float stepHz, int rate);
// The rate (per second) of the strongest periodicity of the loudness
// envelope between lowHz and highHz: the autocorrelation peak of the
// envelope, in 1 ms bins, of the sound below about 150 Hz.
float envelopeRhythm(const std::vector<float>& s, float lowHz, float highHz, int rate);
// How strong that peak is against the envelope's variance (0 .. 1).
float envelopeRhythmStrength(const std::vector<float>& s, float hz, int rate);

// The share of s's energy between lowHz and highHz (a power spectrum over
// the whole span, zero-padded to a power of two).
std::vector<double> powerSpectrum(const std::vector<float>& s, size_t& fftSize);
double bandEnergy(const std::vector<double>& power, size_t fftSize, float lowHz, float highHz, int rate);
// The loudness below about 150 Hz (four one-pole low-passes), as rms.
float lowBandRms(const std::vector<float>& s, int rate);
// The largest step between neighbouring samples, and the step that q of
// all steps stay under (0.999: the 99.9th percentile).
float largestStep(const std::vector<float>& s);
float stepQuantile(const std::vector<float>& s, double q);
