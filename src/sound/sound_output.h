// sound_output.h -- the sound device: plays a SoundMix through OpenAL Soft.
//
// Either the system's default device (the game in its window; the library
// mixes on its own thread) or a loopback device (ALC_SOFT_loopback) from
// which the caller pulls the mixed samples, in step with a virtual clock.
// Every call is safe on an output that failed to open or whose device has
// gone: it does nothing, and the game plays on in silence.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <array>
#include <vector>

#include "sound/soundscape.h"
#include "sound/synthesis.h"

class SoundOutput {
public:
    SoundOutput() = default;
    ~SoundOutput();
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    // The default device. Prints nothing, whatever the library or the
    // system's sound stack would say: false when there is no device.
    bool openDevice(const std::vector<SoundClip>& clips);
    // A loopback device mixing stereo floats at soundSampleRate, with no
    // HRTF and no output limiter, so what it renders is the mix itself.
    bool openLoopback(const std::vector<SoundClip>& clips);
    void close();

    bool isOpen() const { return context != nullptr; }
    // False once the device has gone (unplugged, the sound server ended).
    bool connected();

    // The listener and every voice as the mix says.
    void play(const SoundMix& mix);
    // Loopback only: mixes frames stereo frames and appends them to out
    // (interleaved left, right; full scale is 1).
    void render(int frames, std::vector<float>& out);

private:
    bool start(const std::vector<SoundClip>& clips, const ALCint* attributes);

    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    LPALCRENDERSAMPLESSOFT renderSamples = nullptr;  // set for a loopback device
    bool gone = false;
    std::array<ALuint, soundCount> buffers{};
    std::array<ALuint, voiceCount> sources{};
    std::array<bool, voiceCount> started{};
};
