// loopback_render.cpp -- the loopback fixture of the sound tests.
#include "loopback_render.h"

#include <gtest/gtest.h>

#include "sound/sound_output.h"
#include "sound/synthesis.h"

const std::vector<SoundClip>& loopbackClips() {
    static const std::vector<SoundClip> clips = synthesizeAllSounds();
    return clips;
}

WavSound renderLoopback(const std::function<SoundScene(double)>& scene, double seconds,
                        const std::function<void(const Soundscape&, double)>& watch) {
    constexpr int framesPerTick = soundSampleRate / 60;
    SoundOutput output;
    Soundscape scape;
    WavSound out;
    out.channels = 2;
    out.rate = soundSampleRate;
    if (!output.openLoopback(loopbackClips())) {
        ADD_FAILURE() << "OpenAL Soft gave no loopback device";
        return out;
    }
    for (double t = 0; t < seconds - 1e-9; t += loopbackTick) {
        output.play(scape.update(scene(t), static_cast<float>(loopbackTick)));
        output.render(framesPerTick, out.samples);
        if (watch) watch(scape, t);
    }
    return out;
}

SoundScene quietStreet() {
    SoundScene s;
    s.title = false;
    s.listenerEye = Vector3(0, 0, 0);
    s.listenerForward = Vector3(0, 0, 1);
    s.listenerUp = Vector3(0, 1, 0);
    s.helicopterPosition = Vector3(0, 0, 3000);
    return s;
}

SoundCar carAt(int id, const Vector3& position, const Vector3& velocity) {
    SoundCar c;
    c.id = id;
    c.position = position;
    c.velocity = velocity;
    c.speed = velocity.length();
    return c;
}

std::vector<float> bothChannels(const WavSound& w, double from, double to) {
    std::vector<float> s = w.channel(0, from, to);
    const std::vector<float> r = w.channel(1, from, to);
    for (size_t i = 0; i < s.size(); ++i) s[i] += r[i];
    return s;
}
