// sound_output.cpp -- OpenAL Soft: devices, buffers, sources.
#include "sound/sound_output.h"

#include <AL/efx-presets.h>
#include <AL/efx.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// The EFX calls, looked up once a context with ALC_EXT_EFX is current.
struct Efx {
    LPALGENEFFECTS genEffects = nullptr;
    LPALDELETEEFFECTS deleteEffects = nullptr;
    LPALEFFECTI effecti = nullptr;
    LPALEFFECTF effectf = nullptr;
    LPALEFFECTFV effectfv = nullptr;
    LPALGENAUXILIARYEFFECTSLOTS genSlots = nullptr;
    LPALDELETEAUXILIARYEFFECTSLOTS deleteSlots = nullptr;
    LPALAUXILIARYEFFECTSLOTI sloti = nullptr;
    LPALAUXILIARYEFFECTSLOTF slotf = nullptr;

    bool load() {
        genEffects = reinterpret_cast<LPALGENEFFECTS>(alGetProcAddress("alGenEffects"));
        deleteEffects = reinterpret_cast<LPALDELETEEFFECTS>(alGetProcAddress("alDeleteEffects"));
        effecti = reinterpret_cast<LPALEFFECTI>(alGetProcAddress("alEffecti"));
        effectf = reinterpret_cast<LPALEFFECTF>(alGetProcAddress("alEffectf"));
        effectfv = reinterpret_cast<LPALEFFECTFV>(alGetProcAddress("alEffectfv"));
        genSlots =
            reinterpret_cast<LPALGENAUXILIARYEFFECTSLOTS>(alGetProcAddress("alGenAuxiliaryEffectSlots"));
        deleteSlots = reinterpret_cast<LPALDELETEAUXILIARYEFFECTSLOTS>(
            alGetProcAddress("alDeleteAuxiliaryEffectSlots"));
        sloti = reinterpret_cast<LPALAUXILIARYEFFECTSLOTI>(alGetProcAddress("alAuxiliaryEffectSloti"));
        slotf = reinterpret_cast<LPALAUXILIARYEFFECTSLOTF>(alGetProcAddress("alAuxiliaryEffectSlotf"));
        return genEffects && deleteEffects && effecti && effectf && effectfv && genSlots && deleteSlots &&
               sloti && slotf;
    }
};
Efx efx;

// The level of the reverb's return in the mix.
constexpr float reverbReturn = 0.6f;

// The resampler every source of the loopback uses, by name, so a user's
// default does not change what the offscreen run renders.
constexpr const char* pinnedResamplerName = "Linear";

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
    const ALCint attributes[] = {ALC_MAX_AUXILIARY_SENDS, 1, 0};  // the street's reverb
    return start(attributes);
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
                                 ALC_TRUE,
                                 ALC_MAX_AUXILIARY_SENDS,
                                 1,
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
    if (alGetError() != AL_NO_ERROR) {
        buffers.fill(0);
        closeDevice();
        return false;
    }
    // One source per voice while the device has them; the voices are in the
    // order they are given up (the traffic first), so a short device keeps
    // the rotor and the sirens.
    for (int i = 0; i < voiceCount; ++i) {
        alGenSources(1, &sources[i]);
        if (alGetError() != AL_NO_ERROR) {
            sources[i] = 0;
            break;
        }
    }
    if (!sources[voiceSiren0 + sirenVoices - 1]) {
        closeDevice();
        return false;
    }
    for (int i = 0; i < soundCount && i < static_cast<int>(clips.size()); ++i) {
        const auto& s = clips[i].samples;
        alBufferData(buffers[i], clips[i].channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, s.data(),
                     static_cast<ALsizei>(s.size() * sizeof s[0]), soundSampleRate);
    }
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    alSpeedOfSound(soundSpeedOfSound);
    started.fill(false);
    if (alGetError() != AL_NO_ERROR) {
        closeDevice();
        return false;
    }
    startReverb();
    applyQuiet();
    return true;
}

// A city street's reverb in one auxiliary slot, where the device has EFX;
// without it the same mix plays dry.
void SoundOutput::startReverb() {
    if (!alcIsExtensionPresent(device, "ALC_EXT_EFX") || !efx.load()) return;
    alListenerf(AL_METERS_PER_UNIT, soundMetresPerUnit);
    alGetError();
    efx.genEffects(1, &reverbEffect);
    efx.genSlots(1, &reverbSlot);
    if (alGetError() != AL_NO_ERROR) {
        reverbEffect = reverbSlot = 0;
        return;
    }
    const EFXEAXREVERBPROPERTIES r = EFX_REVERB_PRESET_CITY_STREETS;
    efx.effecti(reverbEffect, AL_EFFECT_TYPE, AL_EFFECT_EAXREVERB);
    if (alGetError() == AL_NO_ERROR) {
        efx.effectf(reverbEffect, AL_EAXREVERB_DENSITY, r.flDensity);
        efx.effectf(reverbEffect, AL_EAXREVERB_DIFFUSION, r.flDiffusion);
        efx.effectf(reverbEffect, AL_EAXREVERB_GAIN, r.flGain);
        efx.effectf(reverbEffect, AL_EAXREVERB_GAINHF, r.flGainHF);
        efx.effectf(reverbEffect, AL_EAXREVERB_GAINLF, r.flGainLF);
        efx.effectf(reverbEffect, AL_EAXREVERB_DECAY_TIME, r.flDecayTime);
        efx.effectf(reverbEffect, AL_EAXREVERB_DECAY_HFRATIO, r.flDecayHFRatio);
        efx.effectf(reverbEffect, AL_EAXREVERB_DECAY_LFRATIO, r.flDecayLFRatio);
        efx.effectf(reverbEffect, AL_EAXREVERB_REFLECTIONS_GAIN, r.flReflectionsGain);
        efx.effectf(reverbEffect, AL_EAXREVERB_REFLECTIONS_DELAY, r.flReflectionsDelay);
        efx.effectf(reverbEffect, AL_EAXREVERB_LATE_REVERB_GAIN, r.flLateReverbGain);
        efx.effectf(reverbEffect, AL_EAXREVERB_LATE_REVERB_DELAY, r.flLateReverbDelay);
        efx.effectf(reverbEffect, AL_EAXREVERB_ECHO_TIME, r.flEchoTime);
        efx.effectf(reverbEffect, AL_EAXREVERB_ECHO_DEPTH, r.flEchoDepth);
        efx.effectf(reverbEffect, AL_EAXREVERB_MODULATION_TIME, r.flModulationTime);
        efx.effectf(reverbEffect, AL_EAXREVERB_MODULATION_DEPTH, r.flModulationDepth);
        efx.effectf(reverbEffect, AL_EAXREVERB_AIR_ABSORPTION_GAINHF, r.flAirAbsorptionGainHF);
        efx.effectf(reverbEffect, AL_EAXREVERB_HFREFERENCE, r.flHFReference);
        efx.effectf(reverbEffect, AL_EAXREVERB_LFREFERENCE, r.flLFReference);
        efx.effectf(reverbEffect, AL_EAXREVERB_ROOM_ROLLOFF_FACTOR, r.flRoomRolloffFactor);
        efx.effecti(reverbEffect, AL_EAXREVERB_DECAY_HFLIMIT, r.iDecayHFLimit);
    } else {  // the plain reverb, with the same street's figures
        efx.effecti(reverbEffect, AL_EFFECT_TYPE, AL_EFFECT_REVERB);
        efx.effectf(reverbEffect, AL_REVERB_DENSITY, r.flDensity);
        efx.effectf(reverbEffect, AL_REVERB_DIFFUSION, r.flDiffusion);
        efx.effectf(reverbEffect, AL_REVERB_GAIN, r.flGain);
        efx.effectf(reverbEffect, AL_REVERB_GAINHF, r.flGainHF);
        efx.effectf(reverbEffect, AL_REVERB_DECAY_TIME, r.flDecayTime);
        efx.effectf(reverbEffect, AL_REVERB_DECAY_HFRATIO, r.flDecayHFRatio);
        efx.effectf(reverbEffect, AL_REVERB_REFLECTIONS_GAIN, r.flReflectionsGain);
        efx.effectf(reverbEffect, AL_REVERB_REFLECTIONS_DELAY, r.flReflectionsDelay);
        efx.effectf(reverbEffect, AL_REVERB_LATE_REVERB_GAIN, r.flLateReverbGain);
        efx.effectf(reverbEffect, AL_REVERB_LATE_REVERB_DELAY, r.flLateReverbDelay);
    }
    efx.sloti(reverbSlot, AL_EFFECTSLOT_EFFECT, static_cast<ALint>(reverbEffect));
    efx.slotf(reverbSlot, AL_EFFECTSLOT_GAIN, reverbReturn);
    if (alGetError() != AL_NO_ERROR) {
        efx.deleteSlots(1, &reverbSlot);
        efx.deleteEffects(1, &reverbEffect);
        reverbEffect = reverbSlot = 0;
    }
}

void SoundOutput::setMuted(bool muted) {
    isMuted = muted;
    if (context) applyQuiet();
}

void SoundOutput::setPaused(bool paused) {
    if (paused == isPaused) return;
    isPaused = paused;
    if (!context) return;
    // Paused together and resumed together, so the voices stay in step.
    std::vector<ALuint> moving;
    for (ALuint s : sources) {
        ALint state = AL_STOPPED;
        if (s) alGetSourcei(s, AL_SOURCE_STATE, &state);
        if (state == (paused ? AL_PLAYING : AL_PAUSED)) moving.push_back(s);
    }
    if (!moving.empty()) {
        const auto n = static_cast<ALsizei>(moving.size());
        paused ? alSourcePausev(n, moving.data()) : alSourcePlayv(n, moving.data());
    }
    applyQuiet();
}

// The listener's gain carries the mute. The reverb rings on from what was
// sent to it before, so while muted or paused its slot holds no effect; the
// street's reverb comes back, empty, with the sound.
void SoundOutput::applyQuiet() {
    alListenerf(AL_GAIN, isMuted ? 0.0f : 1.0f);
    if (reverbSlot)
        efx.sloti(reverbSlot, AL_EFFECTSLOT_EFFECT,
                  isMuted || isPaused ? AL_EFFECT_NULL : static_cast<ALint>(reverbEffect));
}

int SoundOutput::voicesPlayed() const {
    int n = 0;
    for (ALuint s : sources) n += s != 0;
    return n;
}

void SoundOutput::closeDevice() {
    if (context) {
        alcMakeContextCurrent(context);
        for (ALuint& s : sources)
            if (s) alDeleteSources(1, &s);
        alDeleteBuffers(soundCount, buffers.data());
        if (reverbSlot) efx.deleteSlots(1, &reverbSlot);
        if (reverbEffect) efx.deleteEffects(1, &reverbEffect);
        reverbSlot = reverbEffect = 0;
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
    resampler = -1;
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
    if (!context || isPaused) return;
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
    for (int i = 0; i < voiceCount; ++i) {
        const VoiceMix& voice = mix.voices[i];
        const ALuint s = sources[i];
        if (!s) continue;  // the device has no source for this voice
        const bool loops = voice.sound != SoundId::radioChirp && voice.sound != SoundId::stinger;
        if (!started[i]) setUpSource(i, voice);
        alSource3f(s, AL_POSITION, voice.position.x, voice.position.y, voice.position.z);
        alSource3f(s, AL_VELOCITY, voice.velocity.x, voice.velocity.y, voice.velocity.z);
        alSourcef(s, AL_GAIN, voice.gain);
        alSourcef(s, AL_PITCH, voice.pitch > 0.01f ? voice.pitch : 0.01f);
        // Looping voices run from the start, silent until needed, and are
        // never restarted (a voice changing cars fades instead); a one-shot
        // starts again when fired.
        if (loops && !started[i]) {
            alSourcef(s, AL_SEC_OFFSET, voice.startOffset);
            alSourcePlay(s);
        } else if (!loops && voice.restart) {
            alSourceRewind(s);
            alSourcePlay(s);
        }
        started[i] = true;
    }
    alcProcessContext(context);
}

void SoundOutput::setUpSource(int voice, const VoiceMix& mix) {
    const ALuint s = sources[voice];
    const bool loops = mix.sound != SoundId::radioChirp && mix.sound != SoundId::stinger;
    alSourcei(s, AL_BUFFER, static_cast<ALint>(buffers[static_cast<int>(mix.sound)]));
    alSourcei(s, AL_LOOPING, loops ? AL_TRUE : AL_FALSE);
    alSourcei(s, AL_SOURCE_RELATIVE, mix.relative ? AL_TRUE : AL_FALSE);
    alSourcef(s, AL_REFERENCE_DISTANCE, soundReferenceDistance);
    alSourcef(s, AL_MAX_DISTANCE, soundMaxDistance);
    alSourcef(s, AL_ROLLOFF_FACTOR, mix.relative ? 0.0f : 1.0f);
    if (resampler >= 0) alSourcei(s, AL_SOURCE_RESAMPLER_SOFT, resampler);
    if (reverbSlot) {
        if (!mix.relative) alSourcef(s, AL_AIR_ABSORPTION_FACTOR, 1.0f);
        if (mix.reverb)
            alSource3i(s, AL_AUXILIARY_SEND_FILTER, static_cast<ALint>(reverbSlot), 0, AL_FILTER_NULL);
    }
}

void SoundOutput::render(int frames, std::vector<float>& out) {
    if (frames <= 0) return;
    const size_t at = out.size();
    out.resize(at + 2 * static_cast<size_t>(frames), 0.0f);
    if (renderSamples) renderSamples(device, out.data() + at, frames);  // else silence
}
