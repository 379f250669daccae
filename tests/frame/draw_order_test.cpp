// The game's drawing order (opaque things nearest first, the searchlight
// pass scissored to its cone, the capture scissored to the map) against the
// plain order: the same play run twice, once each way, must show the same
// pictures and print the same object counts, with our spotlight image and
// with a user's image that lights beyond the cone. The game is one set of
// globals per process, so each run is a process of its own.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/offscreen_game.h"
#include "app/random.h"

namespace {

constexpr int width = 480, height = 384;
constexpr double turnSeconds = 1.0 / 60.0;
constexpr int playTurns = 480;
constexpr int titleTurns = 10;
constexpr int checkpointEvery = 20;
// A picture matches when at most this share of its pixels has a colour
// channel off by more than 4 (of 255): rounding on coplanar surfaces aside.
constexpr int channelTolerance = 4;
constexpr double pixelShare = 0.001;

struct Checkpoint {
    int turn = 0;
    int regular = 0, projective = 0;
    std::vector<unsigned char> rgb;
};

// A short play: the title, a key, "w" held, police sent, turns to the left
// and the searchlight swept with the mouse. Writes every checkpoint to fd.
bool play(const std::string& dataDir, int turns, bool plainOrder, int fd) {
    if (chdir(dataDir.c_str()) != 0) return false;
    OffscreenGame game;
    std::string error;
    if (!game.createContext(width, height, error)) return false;
    setFixedSeed(4321);
    game.start();
    designDrawOrder = plainOrder;
    for (int turn = 0; turn < turns; ++turn) {
        if (turn == titleTurns) {
            game.keyDown(' ');
            game.keyUp(' ');
            game.keyDown('w');
        }
        if (turn == titleTurns + 30) {
            for (int i = 0; i < 3; ++i) {
                game.keyDown('x');
                game.keyUp('x');
            }
        }
        if (turn % 120 == 60) game.keyDown('q');
        if (turn % 120 == 100) game.keyUp('q');
        game.mouseMotion(static_cast<int>(width / 2 + 40 * std::sin(turn / 17.0)),
                         static_cast<int>(height / 2 + 25 * std::sin(turn / 11.0)));
        game.turn(turnSeconds);
        if (turn <= titleTurns || turn % checkpointEvery != 0) continue;
        std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        const int header[3] = {turn, regularObjectsDrawn, projectiveObjectsDrawn};
        if (write(fd, header, sizeof header) != static_cast<ssize_t>(sizeof header)) return false;
        if (write(fd, rgb.data(), rgb.size()) != static_cast<ssize_t>(rgb.size())) return false;
    }
    return true;
}

std::vector<Checkpoint> readCheckpoints(int fd) {
    std::vector<Checkpoint> result;
    lseek(fd, 0, SEEK_SET);
    for (;;) {
        int header[3];
        if (read(fd, header, sizeof header) != static_cast<ssize_t>(sizeof header)) break;
        Checkpoint c;
        c.turn = header[0];
        c.regular = header[1];
        c.projective = header[2];
        c.rgb.resize(static_cast<size_t>(width) * height * 3);
        if (read(fd, c.rgb.data(), c.rgb.size()) != static_cast<ssize_t>(c.rgb.size())) break;
        result.push_back(std::move(c));
    }
    return result;
}

// Runs the play in a child process and returns its checkpoints.
std::vector<Checkpoint> playInChild(bool plainOrder, const std::string& dataDir = SEARCHLIGHT_DATA_DIR,
                                    int turns = playTurns) {
    const int fd = memfd_create("draw-order-checkpoints", MFD_CLOEXEC);
    if (fd < 0) return {};
    const pid_t pid = fork();
    if (pid == 0) _exit(play(dataDir, turns, plainOrder, fd) ? 0 : 1);
    int status = 0;
    waitpid(pid, &status, 0);
    std::vector<Checkpoint> result;
    if (pid > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0) result = readCheckpoints(fd);
    close(fd);
    return result;
}

double shareDiffering(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    size_t differing = 0;
    for (size_t i = 0; i + 2 < a.size(); i += 3) {
        for (size_t c = i; c < i + 3; ++c) {
            if (std::abs(a[c] - b[c]) > channelTolerance) {
                ++differing;
                break;
            }
        }
    }
    return static_cast<double>(differing) / static_cast<double>(a.size() / 3);
}

TEST(DrawOrderTest, GameOrderDrawsThePlainOrdersPicturesAndCounts) {
    const std::vector<Checkpoint> game = playInChild(false);
    const std::vector<Checkpoint> plain = playInChild(true);
    ASSERT_FALSE(game.empty()) << "the run in the game's order failed";
    ASSERT_EQ(game.size(), plain.size());
    int searchlightFrames = 0;
    for (size_t i = 0; i < game.size(); ++i) {
        ASSERT_EQ(game[i].turn, plain[i].turn);
        EXPECT_EQ(game[i].regular, plain[i].regular) << "turn " << game[i].turn;
        EXPECT_EQ(game[i].projective, plain[i].projective) << "turn " << game[i].turn;
        EXPECT_LE(shareDiffering(game[i].rgb, plain[i].rgb), pixelShare) << "turn " << game[i].turn;
        if (game[i].projective > 0) ++searchlightFrames;
    }
    // The comparison covers the searchlight pass in most of the frames.
    EXPECT_GT(searchlightFrames, static_cast<int>(game.size()) / 2);
}

// A user's spotlight image of one grey: its clamped edge lights everything
// around the cone, so the game must not cut that light off at the cone's
// screen box. The data directory is the game's with that one file replaced.
TEST(DrawOrderTest, ImageLitToItsEdgeIsDrawnAsThePlainOrderDrawsIt) {
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/grey-spotlight-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path dir = pattern;
    for (const fs::directory_entry& e : fs::directory_iterator(SEARCHLIGHT_DATA_DIR))
        if (e.path().filename() != "spotlight_image.ppm")
            fs::create_symlink(e.path(), dir / e.path().filename());
    {
        std::ofstream grey(dir / "spotlight_image.ppm", std::ios::binary);
        grey << "P6\n32 32\n255\n" << std::string(32 * 32 * 3, '\x80');
    }
    const std::vector<Checkpoint> game = playInChild(false, dir.string(), 160);
    const std::vector<Checkpoint> plain = playInChild(true, dir.string(), 160);
    fs::remove_all(dir);
    ASSERT_FALSE(game.empty()) << "the run in the game's order failed";
    ASSERT_EQ(game.size(), plain.size());
    for (size_t i = 0; i < game.size(); ++i) {
        EXPECT_GT(game[i].projective, 0) << "turn " << game[i].turn;
        EXPECT_LE(shareDiffering(game[i].rgb, plain[i].rgb), pixelShare) << "turn " << game[i].turn;
    }
}

}  // namespace
