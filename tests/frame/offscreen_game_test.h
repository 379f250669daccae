// offscreen_game_test.h -- the fixture the frame tests share: the real game
// started offscreen on a surface of the test's size with a fixed seed.
// ctest runs each test in a process of its own, so each starts a fresh game.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "app/offscreen_game.h"
#include "app/random.h"

class OffscreenGameTest : public ::testing::Test {
public:
    static constexpr double turn = 1.0 / 60.0;  // one turn of the loop

protected:
    // Reads the data files from the build's data directory.
    void startGame(int width, int height, std::uint32_t seed) {
        ASSERT_EQ(chdir(SEARCHLIGHT_DATA_DIR), 0);
        std::string error;
        ASSERT_TRUE(game.createContext(width, height, error)) << error;
        setFixedSeed(seed);
        game.start();
    }
    // The first key only dismisses the title; the next turn is the capture frame.
    void dismissTitle() {
        game.keyDown(' ');
        game.keyUp(' ');
        game.turn(turn);
    }
    // Lowers the beam onto the street ahead with the player's first move of
    // the mouse, then flies forward for that many turns.
    void flyForwardWithTheBeamDown(int width, int height, int turns) {
        game.mouseMotion(width / 2, height / 2);
        game.mouseMotion(width / 2, height / 2 + 18);
        game.keyDown('w');
        for (int i = 0; i < turns; ++i) game.turn(turn);
        game.keyUp('w');
    }

    OffscreenGame game;
};
