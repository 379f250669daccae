// Chases in one run and the pause, played offscreen through scripted input:
// Return does nothing until the capture and then starts the next seed's
// city from the start; a pause stops the world and the clocks, and the tick
// after it is an ordinary tick.
#include <GL/gl.h>

#include <vector>

#include "app/camera.h"
#include "app/chase.h"
#include "app/game_events.h"
#include "app/globals.h"
#include "app/input_script.h"
#include "assets/model.h"
#include "city/city.h"
#include "frame/offscreen_game_test.h"
#include "helicopter/helicopter.h"
#include "traffic/vehicle.h"

namespace {

class ChasePlayTest : public OffscreenGameTest {
protected:
    // Each turn: the script's events due by then, then the turn; until the
    // driver's clock reaches `until` (events due then not yet delivered).
    void playUntil(double until) {
        for (; clock() < until - turn / 2; ++turns) {
            script.deliverUntil(clock(), game);
            game.turn(turn);
        }
    }
    double clock() const { return turns * turn; }
    // The captures and the chases begun so far, in order.
    std::vector<GameEventKind> chaseEvents() {
        for (const GameEvent& e : gameEvents.take())
            if (e.kind == GameEventKind::capture || e.kind == GameEventKind::newChase)
                kinds.push_back(e.kind);
        return kinds;
    }

    InputScript script;
    long turns = 0;
    std::vector<GameEventKind> kinds;
};

// Seed 12 is caught in about 8 s with twelve police cars and 13, the next
// seed, in about 16 s; Return at 5 s comes before the first capture.
TEST_F(ChasePlayTest, ReturnAfterACaptureStartsTheNextCityFromTheStart) {
    startGame(160, 128, 12);
    gameEvents.startRecording();
    std::string police, error;
    for (int i = 0; i < 12; ++i) police += "0.2 press x\n20.1 press x\n";
    ASSERT_TRUE(script.parse(
        "0 press space\n0.1 mouse 80 64\n0.1 aim\n5 press enter\n20 press enter\n" + police, error))
        << error;

    playUntil(6);
    EXPECT_EQ(chase().number(), 1) << "Return before the capture started a chase";
    EXPECT_EQ(city.seed, 12u);
    EXPECT_EQ(chase().summary().policeByKey, 12);
    EXPECT_FALSE(game.offscreenPlatform.pointerShown) << "the pointer shows over the chase";

    playUntil(20);  // Return is due now, not yet delivered
    ASSERT_TRUE(chase().over()) << "no capture of seed 12 within 20 s";
    EXPECT_TRUE(game.offscreenPlatform.pointerShown) << "no pointer after the capture";
    const GLuint firstMap = mapTexture;
    EXPECT_NE(firstMap, 0u);
    const int firstBuildings = city.buildingCount;
    const float firstBuildingX = city.buildings[0]->size.x + city.buildings[7]->position.z;

    game.keyDown('\r');
    game.keyUp('\r');
    script.deliverUntil(clock(), game);  // the script's own Return, in a running chase: nothing more
    EXPECT_EQ(chase().number(), 2);
    EXPECT_TRUE(chase().running());
    EXPECT_FALSE(titleActive);
    EXPECT_EQ(city.seed, 13u);
    EXPECT_TRUE(city.buildingCount != firstBuildings ||
                city.buildings[0]->size.x + city.buildings[7]->position.z != firstBuildingX)
        << "the same city again";
    EXPECT_TRUE(policeCars.empty());
    EXPECT_EQ(policeSpawned, 0);
    EXPECT_EQ(badgeModel.fillLevel, 0);
    ASSERT_NE(fugitive, nullptr);
    EXPECT_FALSE(fugitive->frozen);
    EXPECT_EQ(helicopter.position, Vector3(0, 9, -5));
    EXPECT_EQ(helicopter.lookPoint, Vector3(0, 5, 0));
    EXPECT_EQ(helicopter.forwardSpeed, 0);
    EXPECT_EQ(camera.eye, Vector3(0, 300, 0));
    EXPECT_TRUE(mapCapturePending);
    EXPECT_EQ(mapTexture, 0u) << "the old city's map is kept";
    EXPECT_FALSE(game.offscreenPlatform.pointerShown);

    playUntil(20.2);
    EXPECT_FALSE(mapCapturePending);
    EXPECT_NE(mapTexture, 0u);
    EXPECT_EQ(chase().summary().policeByKey, 12);
    playUntil(40);
    EXPECT_TRUE(chase().over()) << "no capture of seed 13 within 20 s";
    EXPECT_EQ(chaseEvents(), std::vector<GameEventKind>({GameEventKind::newChase, GameEventKind::capture,
                                                         GameEventKind::newChase, GameEventKind::capture}));
}

// Flying forward, "p" pauses: nothing moves, no clock runs, no key but "p"
// acts, the mouse leaves the beam alone. Resumed, the first tick is one
// turn long. A lost focus pauses too, and only "p" resumes; Escape quits.
TEST_F(ChasePlayTest, PauseStopsTheWorldAndTheTickAfterIsOrdinary) {
    startGame(160, 128, 12);
    dismissTitle();
    game.mouseMotion(80, 64);
    game.keyDown('w');
    for (int i = 0; i < 59; ++i) game.turn(turn);
    const Vector3 heliBefore = helicopter.position, eyeBefore = camera.eye;
    game.turn(turn);
    // How far one ordinary tick moved them just before the pause.
    const float heliStep = distance(helicopter.position, heliBefore),
                eyeStep = distance(camera.eye, eyeBefore);

    game.keyDown('p');
    game.keyUp('p');
    ASSERT_TRUE(chase().paused());
    EXPECT_TRUE(game.offscreenPlatform.pointerShown);
    const double pausedAt = gameTime, chaseSeconds = chase().summary().seconds;
    const Vector3 heli = helicopter.position, eye = camera.eye, car = fugitive->position;
    const float yaw = searchlightYawOffset;
    const size_t cars = city.vehicles.size();
    game.keyDown('x');
    game.keyUp('x');
    game.mouseMotion(20, 10);
    for (int i = 0; i < 300; ++i) game.turn(turn);  // five seconds on the driver's clock
    EXPECT_EQ(gameTime, pausedAt);
    EXPECT_EQ(chase().summary().seconds, chaseSeconds);
    EXPECT_EQ(helicopter.position, heli);
    EXPECT_EQ(camera.eye, eye);
    EXPECT_EQ(fugitive->position, car);
    EXPECT_EQ(searchlightYawOffset, yaw);
    EXPECT_EQ(city.vehicles.size(), cars) << "x sent a police car in the pause";

    game.keyDown('p');
    game.keyUp('p');
    EXPECT_FALSE(game.offscreenPlatform.pointerShown);
    game.turn(turn);
    EXPECT_NEAR(gameTime - pausedAt, turn, 1e-6) << "the tick after the pause counted the pause";
    EXPECT_NEAR(tickSeconds, turn, 1e-6);
    EXPECT_LT(distance(helicopter.position, heli), 1.2f * heliStep) << "the helicopter leapt after the pause";
    EXPECT_LT(distance(camera.eye, eye), 1.2f * eyeStep) << "the camera leapt after the pause";

    game.offscreenPlatform.focusLost = true;  // another window took the keyboard
    game.turn(turn);
    EXPECT_TRUE(chase().paused()) << "a lost focus did not pause";
    EXPECT_FALSE(keyDown['w']);
    game.keyDown('w');
    game.keyUp('w');
    EXPECT_TRUE(chase().paused()) << "a key other than p resumed";
    game.keyDown(27);
    EXPECT_TRUE(game.offscreenPlatform.quitRequested) << "Escape did not quit in the pause";
}

}  // namespace
