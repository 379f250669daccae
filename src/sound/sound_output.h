// sound_output.h -- the sound device: plays a SoundMix through OpenAL Soft.
//
// Either the system's default device (the game in its window; the library
// mixes on its own thread) or a loopback device (ALC_SOFT_loopback) from
// which the caller pulls the mixed samples, in step with a virtual clock.
// Every call is safe on an output that failed to open or whose device has
// gone: it does nothing, and the game plays on in silence. A default device
// that goes away (headphones unplugged, the sound server restarted) is
// closed and opened again every few seconds, from the clips kept here,
// until it comes back.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <array>
#include <chrono>
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
    // A loopback device mixing stereo floats at soundSampleRate. Its mixing
    // is pinned (no HRTF, the output limiter on, one resampler for every
    // voice) so what it renders does not depend on the user's alsoft.conf.
    bool openLoopback(const std::vector<SoundClip>& clips);
    void close();

    bool isOpen() const { return context != nullptr; }
    // Open, or lost and waiting to be opened again: play() has work to do.
    bool inUse() const { return context != nullptr || lost; }

    // Seconds between two attempts to open a lost device again.
    static constexpr double reopenSeconds = 3.0;

    // Muted: nothing is heard, though the mix runs on. Paused: every source
    // stops where it is and play() does nothing until resumed, when they go
    // on from there. Both hold with no device and across a reopen.
    void setMuted(bool muted);
    void setPaused(bool paused);
    bool muted() const { return isMuted; }
    bool paused() const { return isPaused; }

    // True when the street's reverb is in the mix (the device has EFX).
    bool hasReverb() const { return reverbSlot != 0; }
    // How many of the mix's voices have a source (a device may offer fewer).
    int voicesPlayed() const;

    // The listener and every voice as the mix says. Notices a lost device
    // here, and tries to open it again when it is time to.
    void play(const SoundMix& mix);
    // Loopback only: mixes frames stereo frames and appends them to out
    // (interleaved left, right; full scale is 1).
    void render(int frames, std::vector<float>& out);

private:
    bool openDefault();
    bool start(const ALCint* attributes);
    void startReverb();
    void applyQuiet();
    void setUpSource(int voice, const VoiceMix& mix);
    void closeDevice();
    bool connected();

    std::vector<SoundClip> clips;  // kept for a reopen
    bool lost = false;             // the default device went away in play
    std::chrono::steady_clock::time_point nextReopen;
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    LPALCRENDERSAMPLESSOFT renderSamples = nullptr;  // set for a loopback device
    std::array<ALuint, soundCount> buffers{};
    std::array<ALuint, voiceCount> sources{};
    std::array<bool, voiceCount> started{};
    ALint resampler = -1;  // pinned for every source (-1: the library's default)
    ALuint reverbEffect = 0, reverbSlot = 0;
    bool isMuted = false, isPaused = false;
};
