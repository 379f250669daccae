// sound_output.cpp -- OpenAL Soft: devices, buffers, sources.
#include "sound/sound_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

// While alive, standard error goes nowhere. Opening a device is where the
// sound stack talks: ALSA's library prints its failures to search for a
// card through its own handler, and OpenAL Soft logs each backend it
// could not open. The game's console must stay exactly its own, so the
// opening runs with file descriptor 2 pointed at /dev/null (start-up is
// single-threaded at this point, so only those messages are lost).
class QuietStandardError {
public:
    QuietStandardError() {
        std::fflush(stderr);
        saved = dup(2);
        const int nothing = open("/dev/null", O_WRONLY);
        if (saved >= 0 && nothing >= 0) dup2(nothing, 2);
        if (nothing >= 0) ::close(nothing);
    }
    ~QuietStandardError() {
        std::fflush(stderr);
        if (saved >= 0) {
            dup2(saved, 2);
            ::close(saved);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved = -1;
};

// OpenAL Soft also logs from its mixing thread, later (a device lost in
// play, a file that cannot be written): its log level is only ever read
// from ALSOFT_LOGLEVEL, once, at the library's first call. Set it to
// "none" before that call, keeping any level the user has chosen, so the
// library stays quiet for the rest of the run.
void quietLibraryLog() { setenv("ALSOFT_LOGLEVEL", "0", 0); }

}  // namespace

SoundOutput::~SoundOutput() { close(); }

bool SoundOutput::openDevice(const std::vector<SoundClip>& soundClips) {
    close();
    clips = soundClips;
    if (openDefault()) return true;
    clips.clear();
    return false;
}

bool SoundOutput::openDefault() {
    quietLibraryLog();
    QuietStandardError quiet;
    device = alcOpenDevice(nullptr);
    if (!device) return false;
    return start(nullptr);
}

bool SoundOutput::openLoopback(const std::vector<SoundClip>& soundClips) {
    close();
    quietLibraryLog();
    QuietStandardError quiet;
    if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) return false;
    auto openLoopbackDevice = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    auto formatSupported = reinterpret_cast<LPALCISRENDERFORMATSUPPORTEDSOFT>(
        alcGetProcAddress(nullptr, "alcIsRenderFormatSupportedSOFT"));
    auto render =
        reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (!openLoopbackDevice || !formatSupported || !render) return false;
    device = openLoopbackDevice(nullptr);
    if (!device) return false;
    if (!formatSupported(device, soundSampleRate, ALC_STEREO_SOFT, ALC_FLOAT_SOFT)) {
        closeDevice();
        return false;
    }
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                 ALC_STEREO_SOFT,
                                 ALC_FORMAT_TYPE_SOFT,
                                 ALC_FLOAT_SOFT,
                                 ALC_FREQUENCY,
                                 soundSampleRate,
                                 ALC_HRTF_SOFT,
                                 ALC_FALSE,
                                 ALC_OUTPUT_LIMITER_SOFT,
                                 ALC_FALSE,
                                 0};
    clips = soundClips;
    if (!start(attributes)) {
        clips.clear();
        return false;
    }
    renderSamples = render;
    return true;
}

// Makes the context, the buffers and the sources on the open device; on
// any failure closes the device again, so no mixing thread is left behind.
bool SoundOutput::start(const ALCint* attributes) {
    context = alcCreateContext(device, attributes);
    if (!context || !alcMakeContextCurrent(context)) {
        closeDevice();
        return false;
    }
    alGetError();
    alGenBuffers(soundCount, buffers.data());
    alGenSources(voiceCount, sources.data());
    if (alGetError() != AL_NO_ERROR) {
        closeDevice();
        return false;
    }
    for (int i = 0; i < soundCount && i < static_cast<int>(clips.size()); ++i) {
        const auto& s = clips[i].samples;
        alBufferData(buffers[i], AL_FORMAT_MONO16, s.data(), static_cast<ALsizei>(s.size() * sizeof s[0]),
                     soundSampleRate);
    }
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    alSpeedOfSound(soundSpeedOfSound);
    started.fill(false);
    if (alGetError() != AL_NO_ERROR) {
        closeDevice();
        return false;
    }
    return true;
}

void SoundOutput::closeDevice() {
    if (context) {
        alcMakeContextCurrent(context);
        alDeleteSources(voiceCount, sources.data());
        alDeleteBuffers(soundCount, buffers.data());
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        context = nullptr;
    }
    if (device) {
        alcCloseDevice(device);
        device = nullptr;
    }
    sources.fill(0);
    buffers.fill(0);
    renderSamples = nullptr;
}

void SoundOutput::close() {
    closeDevice();
    clips.clear();
    lost = false;
}

bool SoundOutput::connected() {
    ALCint value = ALC_TRUE;
    alcGetIntegerv(device, ALC_CONNECTED, 1, &value);
    return value != ALC_FALSE;
}

void SoundOutput::play(const SoundMix& mix) {
    const auto now = std::chrono::steady_clock::now();
    if (lost) {
        if (now < nextReopen) return;
        nextReopen = now + std::chrono::milliseconds(static_cast<int>(reopenSeconds * 1000));
        if (!openDefault()) return;
        lost = false;
    }
    if (!context) return;
    if (!connected()) {
        // Only the default device can go (a loopback device never does):
        // free it now and try again later.
        lost = renderSamples == nullptr;
        closeDevice();
        nextReopen = now + std::chrono::milliseconds(static_cast<int>(reopenSeconds * 1000));
        return;
    }
    alcSuspendContext(context);
    const Vector3& p = mix.listenerPosition;
    const Vector3& v = mix.listenerVelocity;
    const Vector3& f = mix.listenerForward;
    const Vector3& u = mix.listenerUp;
    const ALfloat orientation[6] = {f.x, f.y, f.z, u.x, u.y, u.z};
    alListener3f(AL_POSITION, p.x, p.y, p.z);
    alListener3f(AL_VELOCITY, v.x, v.y, v.z);
    alListenerfv(AL_ORIENTATION, orientation);
    alListenerf(AL_GAIN, mix.masterGain);
    for (int i = 0; i < voiceCount; ++i) {
        const VoiceMix& voice = mix.voices[i];
        const ALuint s = sources[i];
        const bool loops = voice.sound != SoundId::radioChirp && voice.sound != SoundId::stinger;
        if (!started[i]) {
            alSourcei(s, AL_BUFFER, static_cast<ALint>(buffers[static_cast<int>(voice.sound)]));
            alSourcei(s, AL_LOOPING, loops ? AL_TRUE : AL_FALSE);
            alSourcei(s, AL_SOURCE_RELATIVE, voice.relative ? AL_TRUE : AL_FALSE);
            alSourcef(s, AL_REFERENCE_DISTANCE, soundReferenceDistance);
            alSourcef(s, AL_MAX_DISTANCE, soundMaxDistance);
            alSourcef(s, AL_ROLLOFF_FACTOR, voice.relative ? 0.0f : 1.0f);
        }
        alSource3f(s, AL_POSITION, voice.position.x, voice.position.y, voice.position.z);
        alSource3f(s, AL_VELOCITY, voice.velocity.x, voice.velocity.y, voice.velocity.z);
        alSourcef(s, AL_GAIN, voice.gain);
        alSourcef(s, AL_PITCH, voice.pitch > 0.01f ? voice.pitch : 0.01f);
        // Looping voices run from the start, silent until needed; a restart
        // (a siren given to another car, a one-shot fired) begins the clip
        // again at its offset.
        if (voice.restart || (loops && !started[i])) {
            alSourceRewind(s);
            alSourcef(s, AL_SEC_OFFSET, voice.restart ? voice.startOffset : 0.0f);
            alSourcePlay(s);
        }
        started[i] = true;
    }
    alcProcessContext(context);
}

void SoundOutput::render(int frames, std::vector<float>& out) {
    if (frames <= 0) return;
    const size_t at = out.size();
    out.resize(at + 2 * static_cast<size_t>(frames), 0.0f);
    if (renderSamples) renderSamples(device, out.data() + at, frames);  // else silence
}
