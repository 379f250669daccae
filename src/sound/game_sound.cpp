// game_sound.cpp -- the hook between the game's objects and the sound.
#include "sound/game_sound.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/camera.h"
#include "app/frame.h"
#include "app/globals.h"
#include "app/overlays.h"
#include "assets/model.h"
#include "city/city.h"
#include "helicopter/helicopter.h"
#include "sound/sound_output.h"
#include "sound/synthesis.h"
#include "traffic/vehicle.h"

namespace {

constexpr float degrees = 3.14159265f / 180;
constexpr float fullBank = 20;  // degrees of roll heard as banking hard

struct GameSound {
    SoundOutput output;
    Soundscape soundscape;
    long long framesRendered = 0;
};

GameSound* sound = nullptr;

GameSound& gameSound() {
    if (!sound) sound = new GameSound();  // lives as long as the process
    return *sound;
}

SoundCar soundCar(const Vehicle& car, int id) {
    SoundCar c;
    c.id = id;
    c.position = car.position;
    c.speed = std::fabs(car.speed);
    const float h = car.heading * degrees;
    c.velocity = Vector3(std::sin(h) * car.speed, 0, std::cos(h) * car.speed);
    c.turning = car.turningLeft || car.turningRight || car.uTurning;
    return c;
}

float sampleToPcm(float v) { return std::clamp(v, -1.0f, 1.0f) * 32767.0f; }

}  // namespace

SoundScene gameSoundScene() {
    SoundScene scene;
    scene.title = titleActive;
    scene.listenerEye = camera.eye;
    scene.listenerForward = camera.centre - camera.eye;
    scene.listenerForward.normalize();
    scene.listenerUp = camera.up;
    scene.helicopterPosition = helicopter.position;
    const float speed = std::hypot(helicopter.forwardSpeed, helicopter.lateralSpeed);
    scene.helicopterSpeed = std::min(1.0f, speed / helicopter.forwardMax);
    scene.helicopterBank = std::min(1.0f, std::fabs(helicopter.roll) / fullBank);
    for (size_t i = 0; i < city.vehicles.size(); ++i) {
        const Vehicle* car = city.vehicles[i];
        if (car == fugitive || dynamic_cast<const PoliceCar*>(car)) continue;
        scene.traffic.push_back(soundCar(*car, static_cast<int>(i)));
    }
    if (fugitive) {
        scene.hasFugitive = true;
        scene.fugitive = soundCar(*fugitive, -1);
    }
    for (size_t i = 0; i < policeCars.size(); ++i)
        scene.police.push_back(soundCar(*policeCars[i], static_cast<int>(i)));
    scene.badgeFill = badgeModel.fillLevel;
    scene.captured = fugitiveCaught();
    return scene;
}

void startGameSound() {
    GameSound& s = gameSound();
    // main() closes the device after the main loop; a start that ends in
    // exit() (a missing texture) closes it on the way out too, as OpenAL Soft
    // expects of its users, so the mixing thread stops before the library goes.
    if (s.output.openDevice(synthesizeAllSounds())) std::atexit(stopGameSound);
}

bool startOffscreenSound() {
    GameSound& s = gameSound();
    s.framesRendered = 0;
    return s.output.openLoopback(synthesizeAllSounds());
}

void updateGameSound(float dt) {
    if (!sound || !sound->output.inUse() || sound->output.paused()) return;
    sound->output.play(sound->soundscape.update(gameSoundScene(), dt));
}

void renderGameSound(double seconds, std::vector<std::int16_t>& pcm) {
    GameSound& s = gameSound();
    const long long target = std::llround(seconds * soundSampleRate);
    const int frames = static_cast<int>(std::max(0LL, target - s.framesRendered));
    std::vector<float> mixed;
    s.output.render(frames, mixed);
    s.framesRendered += frames;
    for (float v : mixed) pcm.push_back(static_cast<std::int16_t>(std::lround(sampleToPcm(v))));
}

void stopGameSound() {
    if (sound) sound->output.close();
}

void setGameSoundMuted(bool muted) { gameSound().output.setMuted(muted); }

bool gameSoundMuted() { return sound && sound->output.muted(); }

void setGameSoundPaused(bool paused) { gameSound().output.setPaused(paused); }

const Soundscape& gameSoundscape() { return gameSound().soundscape; }
