// input.cpp -- the keyboard and passive-mouse callbacks and the held-key
// handler that the idle tick runs.
//
// Key auto-repeat: main() asks GLUT to drop repeat events (X11 delivers a
// repeat as a release/press pair, so the key table alone cannot tell it
// apart). Held keys work from the key table, so nothing needs repeats; and
// should a platform still deliver a press for a key that is already down,
// keyboard() ignores it. Every action key ("=", "-", "[", "]", "x") thus acts
// once per press: holding "x" sends one police car, not one per repeat.
//
// A key released while another window has the keyboard focus sends the game
// no release. So when the platform reports the focus lost, the key table is
// cleared: no key stays held (flying on, turning on), and the guard above
// does not swallow the next press of an action key. The chase pauses too:
// the player is elsewhere. It resumes only on "p".
//
// While paused only "p", "m" and Escape act: nothing may move the world or
// the beam, so the first frame after the pause carries on where the last
// one before it stood.
#include "app/camera.h"
#include "app/chase.h"
#include "app/game_events.h"
#include "app/game_loop.h"
#include "app/globals.h"
#include "app/platform.h"
#include "helicopter/helicopter.h"
#include "sound/game_sound.h"
#include "traffic/police_dispatch.h"

constexpr unsigned char escapeKey = 27;
constexpr unsigned char returnKey = 13;  // GLUT's Return and keypad Enter
constexpr unsigned char pauseKey = 'p';
constexpr unsigned char muteKey = 'm';

// Chase camera keys.
constexpr float chaseStep = 2.0f;  // "=" raises and "-" lowers by this much
constexpr float lowestChaseHeight = 1.5f;
constexpr float defaultChaseBehind = 2.0f, defaultChaseHeight = 5.0f;

// Held keys, per idle tick.
constexpr float turnPerReferenceTick = 0.03f;     // radians, "q" and "e"
constexpr float attitudeNudge = 0.05f;            // degrees, "t" "g" "f" "h"
constexpr float viewTurnPerReferenceTick = 0.1f;  // radians, "z" and "c"

// Searchlight steering: radians per pixel and the limits of the offsets.
constexpr float mouseSensitivity = 0.01f;
constexpr float yawOffsetLimit = 0.4f;
constexpr float pitchOffsetLowest = 2.1f, pitchOffsetHighest = 2.9f;

static void forgetKeysAfterFocusLoss() {
    if (!platform().keyboardFocusLost()) return;
    for (bool& k : keyDown) k = false;
    setGamePaused(true);
}

void keyboard(unsigned char key, int, int) {
    forgetKeysAfterFocusLoss();  // the focus may have left and come back since the last tick
    if (titleActive) {
        // The first key of any kind only dismisses the title card.
        beginFirstChase();
        return;
    }
    if (key == escapeKey) {
        platform().swapBuffers();
        platform().quit(0);
        return;
    }
    if (keyDown[key]) return;  // a repeat of a key still held
    keyDown[key] = true;

    if (key == pauseKey) setGamePaused(!chase().paused());
    if (key == muteKey) setGameSoundMuted(!gameSoundMuted());
    if (chase().paused()) return;
    if (key == returnKey && chase().over()) {
        beginNextChase();
        return;
    }

    if (key == '=') {
        helicopter.chaseHeight += chaseStep;
        helicopter.chaseBehindX = defaultChaseBehind;
        helicopter.chaseBehindZ = defaultChaseBehind;
    }
    if (key == '-') {
        helicopter.chaseHeight -= chaseStep;
        if (helicopter.chaseHeight < lowestChaseHeight) helicopter.chaseHeight = lowestChaseHeight;
    }
    if (key == '[') {
        helicopter.chaseBehindX = 0;
        helicopter.chaseHeight = 0;
        helicopter.chaseBehindZ = 0;
    }
    if (key == ']') {
        helicopter.chaseBehindX = defaultChaseBehind;
        helicopter.chaseHeight = defaultChaseHeight;
        helicopter.chaseBehindZ = defaultChaseBehind;
    }
    if (key == 'x') {
        createPoliceCar();  // not counted against the searchlight's five
        gameEvents.record(GameEventKind::policeByKey, Vector3(policeSpawnX, 0, policeSpawnZ));
        chase().countKeyDispatch();
    }
}

// A modifier pressed while a letter is held changes how GLUT reports the
// letter's release: "W" under Shift or Caps Lock, 0x17 under Ctrl. The press
// went into the table as "w", so a release clears every form of its letter.
void keyboardUp(unsigned char key, int, int) {
    keyDown[key] = false;
    constexpr unsigned char lastControlLetter = 26;  // Ctrl+Z
    unsigned char letter = 0;
    if (key >= 'a' && key <= 'z') letter = key;
    if (key >= 'A' && key <= 'Z') letter = static_cast<unsigned char>(key - 'A' + 'a');
    if (key >= 1 && key <= lastControlLetter) letter = static_cast<unsigned char>(key - 1 + 'a');
    if (letter == 0) return;
    keyDown[letter] = false;
    keyDown[letter - 'a' + 'A'] = false;
    keyDown[letter - 'a' + 1] = false;
}

// Arrows and function keys do nothing, not even dismiss the title.
void specialKey(int, int, int) {}

void passiveMotion(int x, int y) {
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    if (mouseSeen) {
        mouseDeltaX = lastMouseX - fx;
        mouseDeltaY = lastMouseY - fy;
    }
    lastMouseX = fx;
    lastMouseY = fy;
    mouseSeen = true;
    // Followed, so the beam does not leap on the first motion after the pause.
    if (chase().paused()) return;

    searchlightPitchOffset += mouseDeltaY * mouseSensitivity;
    searchlightYawOffset -= mouseDeltaX * mouseSensitivity;
    if (searchlightYawOffset > yawOffsetLimit)
        searchlightYawOffset = yawOffsetLimit;
    else if (searchlightYawOffset < -yawOffsetLimit)
        searchlightYawOffset = -yawOffsetLimit;
    if (searchlightPitchOffset > pitchOffsetHighest)
        searchlightPitchOffset = pitchOffsetHighest;
    else if (searchlightPitchOffset < pitchOffsetLowest)
        searchlightPitchOffset = pitchOffsetLowest;
}

static bool held(char key) { return keyDown[static_cast<unsigned char>(key)]; }

// Tests run in this order, so "d" wins over "a" and "s" over "w". Bindings
// are case-sensitive.
void handleHeldKeys(float dt) {
    forgetKeysAfterFocusLoss();
    const float now = static_cast<float>(gameTime);
    if (held('a')) {
        helicopter.lateralTarget = -helicopter.lateralMax;
        helicopter.lateralInputTime = now;
    }
    if (held('d')) {
        helicopter.lateralTarget = helicopter.lateralMax;
        helicopter.lateralInputTime = now;
    }
    if (held('w')) {
        helicopter.forwardTarget = helicopter.forwardMax;
        helicopter.forwardInputTime = now;
    }
    if (held('s')) {
        helicopter.forwardTarget = -helicopter.forwardMax;
        helicopter.forwardInputTime = now;
    }
    const float turn = dt * turnPerReferenceTick / referenceTick;
    if (held('q')) helicopter.turn(turn);
    if (held('e')) helicopter.turn(-turn);
    // The speed updates later in the tick recompute pitch and roll, so
    // these four nudges last only until then.
    if (held('t')) helicopter.addPitch(attitudeNudge);
    if (held('g')) helicopter.addPitch(-attitudeNudge);
    if (held('f')) helicopter.addRoll(-attitudeNudge);
    if (held('h')) helicopter.addRoll(attitudeNudge);
    if (helicopter.chaseCamera) {
        const float viewTurn = viewTurnPerReferenceTick * referenceTicksIn(dt);
        if (held('z')) helicopter.chaseCamera->rotateView(-viewTurn, Vector3(0, 1, 0));
        if (held('c')) helicopter.chaseCamera->rotateView(viewTurn, Vector3(0, 1, 0));
    }
    // The searchlight leads the police: they hunt only a fugitive the last
    // frame found in the beam, and the space bar suspends the chase.
    pursuitActive = fugitiveLit && !held(' ');
    platform().postRedisplay();
}
