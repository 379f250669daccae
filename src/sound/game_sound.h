// game_sound.h -- the game's sound: the snapshot of the scene each tick,
// the soundscape and the output, behind the few calls the game and the
// headless tool make.
//
// The window opens the default device; the headless tool opens a loopback
// device and pulls the mix in step with its virtual clock. Without either,
// updateGameSound() costs next to nothing and plays nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "sound/soundscape.h"

// Synthesizes the sounds and opens the default device. Prints nothing; with
// no device the game plays silently. A device lost in play is opened again
// once it is back.
void startGameSound();
// Once per idle tick, after the world has moved; dt in seconds.
void updateGameSound(float dt);
// Synthesizes the sounds into a loopback device (false if the library
// cannot make one).
bool startOffscreenSound();
// Loopback: mixes what plays until the run's time reaches seconds in all
// and appends it as 16-bit stereo (left, right) at soundSampleRate.
void renderGameSound(double seconds, std::vector<std::int16_t>& pcm);
void stopGameSound();

// Muted: nothing is heard while the mix runs on; unmuted, it is heard again
// at once. Paused: every voice stops where it is and the soundscape stands
// still; resumed, they go on from there. Both hold without a device too.
void setGameSoundMuted(bool muted);
bool gameSoundMuted();
void setGameSoundPaused(bool paused);

// The game's state as the soundscape reads it.
SoundScene gameSoundScene();
// The soundscape of the running game (for tools that inspect the mix).
const Soundscape& gameSoundscape();
