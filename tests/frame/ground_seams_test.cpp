// Cracks in the ground: the game leaves out the ground under buildings, and
// where that cut ground meets walls and neighbouring tiles no pixel may go
// uncovered. Play frames from many views (several cities, the chase camera
// low, high and at the helicopter, turned views) are drawn over a sentinel
// clear colour in the game's order and in the plain order, which draws every
// tile whole; the game's order must show the sentinel no more often. The
// game is one set of globals per process, so each city plays in a child.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/globals.h"
#include "app/offscreen_game.h"
#include "app/random.h"
#include "screen_picture.h"

namespace {

constexpr int width = 640, height = 480;
constexpr double turnSeconds = 1.0 / 60.0;
constexpr int turns = 420;
constexpr int measureEvery = 10;
const std::uint32_t citySeeds[] = {4321, 77, 2024};
const unsigned char sentinel[3] = {255, 0, 255};

struct Counts {
    int turn = 0;
    int plainOrder = 0, gameOrder = 0;
};

// Sentinel pixels of the current state drawn in one order, the overlay
// corners aside (the mini-map shows the capture, drawn once in one order).
int sentinelPixels(bool plainOrder) {
    designDrawOrder = plainOrder;
    display();
    const ScreenPicture picture = ScreenPicture::read(0, 0, width, height);
    int count = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = picture.at(x, y);
            if (!picture.inOverlayCorner(x, y) && p[0] == sentinel[0] && p[1] == sentinel[1] &&
                p[2] == sentinel[2])
                ++count;
        }
    }
    return count;
}

void press(OffscreenGame& game, unsigned char key, int times = 1) {
    for (int i = 0; i < times; ++i) {
        game.keyDown(key);
        game.keyUp(key);
    }
}

// Flies a circle with "w" and "q" while the chase camera goes down to its
// lowest, up in steps, into the helicopter and back, and the view turns
// either way. Writes the counts of every measured turn to fd.
bool play(std::uint32_t seed, int fd) {
    if (chdir(SEARCHLIGHT_DATA_DIR) != 0) return false;
    OffscreenGame game;
    std::string error;
    if (!game.createContext(width, height, error)) return false;
    setFixedSeed(seed);
    game.start();
    glClearColor(sentinel[0] / 255.0f, sentinel[1] / 255.0f, sentinel[2] / 255.0f, 0);
    press(game, ' ');
    game.turn(turnSeconds);
    game.keyDown('w');
    for (int turn = 0; turn < turns; ++turn) {
        if (turn == 0) press(game, '-', 2);    // the lowest chase camera, 1.5
        if (turn == 70) press(game, '=', 2);   // 5.5
        if (turn == 140) press(game, '=', 4);  // 13.5
        if (turn == 210) press(game, '[');     // at the helicopter
        if (turn == 280) press(game, ']');     // the default chase view
        if (turn % 140 == 20) game.keyDown('q');
        if (turn % 140 == 80) game.keyUp('q');
        if (turn % 70 == 40) game.keyDown(turn % 140 == 40 ? 'z' : 'c');
        if (turn % 70 == 55) game.keyUp(turn % 140 == 55 ? 'z' : 'c');
        game.turn(turnSeconds);
        if (turn % measureEvery != 0) continue;
        const Counts counts{turn, sentinelPixels(true), sentinelPixels(false)};
        if (write(fd, &counts, sizeof counts) != static_cast<ssize_t>(sizeof counts)) return false;
    }
    return true;
}

std::vector<Counts> playInChild(std::uint32_t seed) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeEnds[0]);
        _exit(play(seed, pipeEnds[1]) ? 0 : 1);
    }
    close(pipeEnds[1]);
    std::vector<Counts> result;
    Counts c;
    while (read(pipeEnds[0], &c, sizeof c) == static_cast<ssize_t>(sizeof c)) result.push_back(c);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (pid < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) result.clear();
    return result;
}

TEST(GroundSeamsTest, CutGroundShowsTheClearColourNoMoreThanWholeTiles) {
    int plainTotal = 0, gameTotal = 0, framesWithCracks = 0, frames = 0;
    for (const std::uint32_t seed : citySeeds) {
        SCOPED_TRACE(testing::Message() << "city " << seed);
        const std::vector<Counts> counts = playInChild(seed);
        ASSERT_EQ(counts.size(), static_cast<size_t>(turns / measureEvery)) << "the play failed";
        for (const Counts& c : counts) {
            EXPECT_LE(c.gameOrder, c.plainOrder) << "turn " << c.turn;
            framesWithCracks += c.gameOrder > c.plainOrder;
            ++frames;
            plainTotal += c.plainOrder;
            gameTotal += c.gameOrder;
        }
    }
    std::printf("sentinel pixels in %d frames: plain order %d, game order %d (more in %d frames)\n", frames,
                plainTotal, gameTotal, framesWithCracks);
}

}  // namespace
