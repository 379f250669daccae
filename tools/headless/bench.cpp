// bench.cpp -- `bench`: the standard play-through measured offscreen.
//
// searchlight-headless bench --seed S [--frames N] [--size WxH] [--fps N] [--data DIR]
//
// The play-through: the title dismissed at t = 0, five police cars sent at
// t = 0.5 (the "x" key), then the helicopter flies forward in a slow loop
// with small zig-zags while the mouse sweeps the searchlight to and fro;
// 60 warm-up turns, then N measured turns of 1/60 s (--fps N: 1/N s) on the virtual clock,
// each ended with glFinish. The sound is measured alone (audio_us_median).
// Prints one `name value` a line on stdout.
//
// The game is one set of globals per process, and several figures need the
// very same frames more than once: drawn by the game, drawn in the plain
// order (designDrawOrder), with the windows' glow off (windowGlow) and
// replayed from display lists, at full size and at an 8 x 8 viewport. So the bench runs each measurement
// in a child of its own (`bench --phase NAME ...`, re-executing this
// program) on the same seed. The play-through is deterministic on the
// virtual clock; every child reports a fingerprint of the scene after its
// last frame and the bench refuses to compare runs whose scenes differ.
#include <GL/gl.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/game_loop.h"
#include "app/globals.h"
#include "app/input_script.h"
#include "app/offscreen_game.h"
#include "app/random.h"
#include "city/city.h"
#include "commands.h"
#include "headless_common.h"
#include "helicopter/helicopter.h"
#include "render/searchlight.h"
#include "sound/game_sound.h"
#include "traffic/police_dispatch.h"
#include "traffic/vehicle.h"

namespace {

constexpr double defaultTurnSeconds = 1.0 / 60.0;
constexpr long warmUpTurns = 60;
constexpr long defaultFrames = 600;
constexpr long maxFrames = 10000;
constexpr int tinyViewport = 8;      // the CPU runs fill almost no pixels
constexpr int tickContextSize = 64;  // the tick phase draws nothing it measures
constexpr int floorRepeats = 60;
constexpr long framesPerTurn = 10;  // the compared runs take turns of this many frames
// A replayed picture matches when no more than this share of its pixels
// has a colour channel off by more than the tolerance (of 255).
constexpr int replayChannelTolerance = 4;
constexpr double replayPixelShare = 0.001;
constexpr int tickRepeats = 600;
constexpr int tickPoliceTotal = 100;
constexpr int floorTexture = 4;  // a wall texture of the city's table
// The start of play: title frames first (what warms the driver up), then the
// key; the first frames after it are judged against the later ones.
constexpr long startTitleTurns = 60;
constexpr long startFirstFrames = 60;
constexpr long startSettledFrom = 120;
constexpr long startSettledFrames = 120;
constexpr int startRuns = 3;

// The course: police sent at this time, a quarter turn to the left every
// loopSeconds (a hold of "q" long enough for about 90 degrees) with a short
// zig-zag between, and the mouse swinging on two slow sines.
constexpr double policeTime = 0.5;
constexpr int policeCount = 5;
constexpr double loopSeconds = 4.0;
constexpr double quarterTurnHold = 0.75;
constexpr double zigZagHold = 0.25;
constexpr double mouseInterval = 1.0 / 30.0;
constexpr double mouseCentreX = 640, mouseCentreY = 512;
constexpr double mouseSwingX = 40, mouseSwingY = 20;  // pixels: yaw +-0.4 rad, pitch offset 2.1 .. 2.5 rad
constexpr double mousePeriodX = 5.0, mousePeriodY = 3.7;

struct Options {
    long seed = -1;
    long frames = defaultFrames;
    int width = 1280, height = 1024;
    const char* dataDir = nullptr;
    const char* fps = nullptr;  // as given, handed on to the phases
    double turnSeconds = defaultTurnSeconds;
    std::string phase;
    bool lockStep = false;  // a phase run by the bench itself, in step with it
};

double clockMs(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) * 1e-6;
}
double wallMs() { return clockMs(CLOCK_MONOTONIC); }
double threadCpuMs() { return clockMs(CLOCK_THREAD_CPUTIME_ID); }

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Nearest-rank percentile.
double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t rank = static_cast<size_t>(std::ceil(p / 100 * static_cast<double>(v.size())));
    if (rank < 1) rank = 1;
    return v[rank - 1];
}

void addKey(InputScript& s, double t, InputEvent::Kind kind, unsigned char key) {
    InputEvent e;
    e.time = t;
    e.kind = kind;
    e.key = key;
    s.add(e);
}

InputScript standardCourse(double seconds) {
    InputScript s;
    addKey(s, 0, InputEvent::Kind::KeyDown, ' ');  // dismisses the title card
    addKey(s, 0, InputEvent::Kind::KeyUp, ' ');
    addKey(s, 0, InputEvent::Kind::KeyDown, 'w');  // held for the whole run
    for (int i = 0; i < policeCount; ++i) {
        addKey(s, policeTime, InputEvent::Kind::KeyDown, 'x');
        addKey(s, policeTime, InputEvent::Kind::KeyUp, 'x');
    }
    for (double t = 1.0; t < seconds; t += loopSeconds) {
        addKey(s, t, InputEvent::Kind::KeyDown, 'q');
        addKey(s, t + quarterTurnHold, InputEvent::Kind::KeyUp, 'q');
        const double zig = t + loopSeconds / 2;
        addKey(s, zig, InputEvent::Kind::KeyDown, 'e');
        addKey(s, zig + zigZagHold, InputEvent::Kind::KeyUp, 'e');
        addKey(s, zig + 2 * zigZagHold, InputEvent::Kind::KeyDown, 'q');
        addKey(s, zig + 3 * zigZagHold, InputEvent::Kind::KeyUp, 'q');
    }
    const double twoPi = 6.283185307179586;
    for (double t = 0; t < seconds; t += mouseInterval) {
        InputEvent e;
        e.time = t;
        e.kind = InputEvent::Kind::Mouse;
        e.x = static_cast<int>(std::lround(mouseCentreX + mouseSwingX * std::sin(twoPi * t / mousePeriodX)));
        e.y = static_cast<int>(std::lround(mouseCentreY + mouseSwingY * std::sin(twoPi * t / mousePeriodY)));
        s.add(e);
    }
    return s;
}

// The main thread of every run goes to the first core it may use, after
// start-up has created the rasterizer's threads (they keep every core).
// The compared runs then share one core for their game and GL-driver
// work: on this virtual machine one core can be markedly slower than the
// other for seconds at a time (main-thread CPU time 3.1 ms on one, 4.5 on
// the other, for the same frames), and two runs on different cores were
// comparing the cores rather than the runs.
void keepMainThreadOnFirstCore() {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return;
    for (int core = 0; core < CPU_SETSIZE; ++core) {
        if (!CPU_ISSET(core, &allowed)) continue;
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(core, &one);
        sched_setaffinity(0, sizeof one, &one);  // 0: this thread only
        return;
    }
}

// The game started on the seed with the course loaded; turn() plays one
// turn of the loop and feeds the course's input due by then.
class PlayThrough {
public:
    bool start(const Options& o, int width, int height) {
        // Locked in memory, the run keeps the GL driver's code and its own
        // data resident: a machine that reclaims idle pages would otherwise
        // evict them between frames, and the faults would be measured.
        if (mlockall(MCL_CURRENT | MCL_FUTURE) != 0) std::perror("bench: mlockall (measuring unlocked)");
        if (!enterDataDirectory(o.dataDir)) return false;
        std::string error;
        if (!game.createContext(width, height, error)) {
            std::fprintf(stderr, "bench: no offscreen GL context: %s\n", error.c_str());
            return false;
        }
        turnSeconds = o.turnSeconds;
        course = standardCourse(static_cast<double>(warmUpTurns + o.frames + 1) * turnSeconds);
        setFixedSeed(static_cast<std::uint32_t>(o.seed));
        const double t0 = wallMs();
        game.start();
        startupMs = wallMs() - t0;
        keepMainThreadOnFirstCore();
        return true;
    }
    // The course's clock starts after titleTurns turns of the title card.
    void turn() {
        course.deliverUntil(static_cast<double>(turns - titleTurns) * turnSeconds, game);
        game.turn(turnSeconds);
        ++turns;
    }
    void warmUp() {
        for (long i = 0; i < warmUpTurns; ++i) {
            turn();
            glFinish();
        }
    }

    OffscreenGame game;
    InputScript course;
    double turnSeconds = defaultTurnSeconds;
    long turns = 0;
    long titleTurns = 0;
    double startupMs = 0;
};

std::vector<unsigned char> readPicture(int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// The share of pixels (0..1) of which some channel differs by more than the
// tolerance between two RGBA pictures: all four, or (shownOnly) the three
// shown on the screen. Alpha shows nowhere but keeps what blending left.
double shareOfPixelsDiffering(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b,
                              bool shownOnly = false) {
    if (a.size() != b.size() || a.empty()) return 1;
    const size_t channels = shownOnly ? 3 : 4;
    size_t differing = 0;
    for (size_t i = 0; i + 3 < a.size(); i += 4) {
        for (size_t c = i; c < i + channels; ++c) {
            if (std::abs(a[c] - b[c]) > replayChannelTolerance) {
                ++differing;
                break;
            }
        }
    }
    return static_cast<double>(differing) / static_cast<double>(a.size() / 4);
}

void printFingerprint() {
    std::printf("fingerprint %016llx\n", static_cast<unsigned long long>(sceneFingerprint()));
}

// The phases that draw the game's frames hand their last picture to the
// bench on fd 4 (a memory file), when it gives them one.
constexpr int pictureFd = 4;

void handOverPicture(const std::vector<unsigned char>& picture) {
    if (fcntl(pictureFd, F_GETFD) < 0) return;
    size_t written = 0;
    while (written < picture.size()) {
        const ssize_t n = write(pictureFd, picture.data() + written, picture.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        written += static_cast<size_t>(n);
    }
}

// Both passes' counts of every measured frame, folded into one number: two
// runs drew the same objects when theirs agree.
class CountsFingerprint {
public:
    void add(int regular, int projective) {
        for (const int v : {regular, projective}) {
            hash ^= static_cast<std::uint32_t>(v);
            hash *= 1099511628211ULL;
        }
    }
    void print() const { std::printf("counts %016llx\n", static_cast<unsigned long long>(hash)); }

private:
    std::uint64_t hash = 1469598103934665603ULL;
};

void tinyViewportAndScissor() {
    glViewport(0, 0, tinyViewport, tinyViewport);
    glScissor(0, 0, tinyViewport, tinyViewport);
    glEnable(GL_SCISSOR_TEST);
}

void fullScreenQuad() {
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    glTexCoord2f(0, 0);
    glVertex3f(-1, -1, 0);
    glTexCoord2f(1, 0);
    glVertex3f(1, -1, 0);
    glTexCoord2f(1, 1);
    glVertex3f(1, 1, 0);
    glTexCoord2f(0, 1);
    glVertex3f(-1, 1, 0);
    glEnd();
}

// The fill floor of a two-pass frame: a clear, then one screen-filling
// textured quad with the lit pass's state and one with the searchlight
// pass's (additive, no depth writes, offset, projected texture).
double floorMedianMs() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    std::vector<double> times;
    for (int r = 0; r < floorRepeats; ++r) {
        const double t0 = wallMs();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_LIGHTING);
        beginRegularPass();
        glBindTexture(GL_TEXTURE_2D, city.textureTable[floorTexture]);
        glColor4f(1, 1, 1, 1);
        fullScreenQuad();
        beginAdditiveBlend();
        beginProjectivePass();
        fullScreenQuad();
        endPasses();
        glFinish();
        times.push_back(wallMs() - t0);
    }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    return median(times);
}

// Lock-step with the parent. The figures compared with each other are
// measured side by side: the parent lets one child play frame i, then the
// other replay frame i, and so on, so that whatever else the machine is
// doing weighs on both alike. A child reports ready on fd 3 once it has
// set up, then runs one measured frame per byte it reads on stdin and
// answers each with a byte on fd 3. Started by hand (without --lockstep)
// it runs freely, which is what a profiler wants.
class LockStep {
public:
    explicit LockStep(const Options& o) : linked(o.lockStep) {}
    void ready() { signal(); }
    // Waits for the next go; false when the parent has gone.
    bool next() {
        if (!linked) return true;
        char c = 0;
        ssize_t n;
        while ((n = read(STDIN_FILENO, &c, 1)) < 0 && errno == EINTR) {
        }
        return n == 1;
    }
    void done() { signal(); }

private:
    void signal() {
        if (!linked) return;
        const char c = 'd';
        while (write(doneFd, &c, 1) < 0 && errno == EINTR) {
        }
    }
    static constexpr int doneFd = 3;
    bool linked;
};

// The game at full size: the frame times, the per-pass object counts,
// start-up, and afterwards the fill floor.
// The measured turns of the play-through, each taking its turn with the
// other phases: the wall time of each frame and the objects each pass drew.
// Hands the last picture over and prints the fingerprints. False when the
// lock-step broke off.
struct MeasuredTurns {
    std::vector<double> frameMs, regular, projective;
};
bool measureTurns(const Options& o, LockStep& step, PlayThrough& play, MeasuredTurns& m) {
    play.warmUp();
    step.ready();
    CountsFingerprint counts;
    for (long i = 0; i < o.frames; ++i) {
        if (!step.next()) return false;
        const double t0 = wallMs();
        play.turn();
        glFinish();
        m.frameMs.push_back(wallMs() - t0);
        step.done();
        m.regular.push_back(regularObjectsDrawn);
        m.projective.push_back(projectiveObjectsDrawn);
        counts.add(regularObjectsDrawn, projectiveObjectsDrawn);
    }
    printFingerprint();
    counts.print();
    handOverPicture(readPicture(o.width, o.height));
    return true;
}

int phasePlay(const Options& o) {
    LockStep step(o);
    PlayThrough play;
    if (!play.start(o, o.width, o.height)) return 1;
    MeasuredTurns m;
    if (!measureTurns(o, step, play, m)) return 1;
    const std::vector<double>& frameMs = m.frameMs;
    const std::vector<double>& regular = m.regular;
    const std::vector<double>& projective = m.projective;
    const double frameMedian = median(frameMs);
    const double frameMax = *std::max_element(frameMs.begin(), frameMs.end());
    const long overTwice =
        std::count_if(frameMs.begin(), frameMs.end(), [&](double t) { return t > 2 * frameMedian; });
    std::printf("renderer %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::printf("startup_ms %.3f\n", play.startupMs);
    std::printf("frame_ms_median %.3f\n", frameMedian);
    std::printf("frame_ms_p95 %.3f\n", percentile(frameMs, 95));
    std::printf("frame_ms_max %.3f\n", frameMax);
    std::printf("frames_over_twice_median %ld\n", overTwice);
    std::string slowFrames;
    for (size_t i = 0; i < frameMs.size(); ++i) {
        if (frameMs[i] > 2 * frameMedian) slowFrames += (slowFrames.empty() ? "" : ",") + std::to_string(i);
    }
    std::printf("slow_frames %s\n", slowFrames.empty() ? "none" : slowFrames.c_str());
    std::printf("regular_objects_median %.1f\n", median(regular));
    std::printf("projective_objects_median %.1f\n", median(projective));
    std::printf("floor_ms_median %.3f\n", floorMedianMs());
    return 0;
}

// The same turns drawn in the plain order: every node far side first, the
// searchlight pass over the whole screen.
int phaseDesignOrder(const Options& o) {
    LockStep step(o);
    PlayThrough play;
    if (!play.start(o, o.width, o.height)) return 1;
    designDrawOrder = true;
    MeasuredTurns m;
    if (!measureTurns(o, step, play, m)) return 1;
    std::printf("design_order_ms_median %.3f\n", median(m.frameMs));
    return 0;
}

// The same turns with the windows' glow off: what the glow costs.
int phaseGlowOff(const Options& o) {
    LockStep step(o);
    PlayThrough play;
    if (!play.start(o, o.width, o.height)) return 1;
    windowGlow = false;
    MeasuredTurns m;
    if (!measureTurns(o, step, play, m)) return 1;
    std::printf("glow_off_ms_median %.3f\n", median(m.frameMs));
    return 0;
}

// The start of play as a player sees it: a second of the title card, the
// key, then the frames after it. The slowest of the first ones (the map
// capture included) against the median of the settled ones.
int phaseStart(const Options& o) {
    PlayThrough play;
    if (!play.start(o, o.width, o.height)) return 1;
    play.titleTurns = startTitleTurns;
    for (long i = 0; i < startTitleTurns; ++i) {
        play.turn();
        glFinish();
    }
    std::vector<double> frameMs;
    for (long i = 0; i < startSettledFrom + startSettledFrames; ++i) {
        const double t0 = wallMs();
        play.turn();
        glFinish();
        frameMs.push_back(wallMs() - t0);
    }
    const auto firstEnd = frameMs.begin() + startFirstFrames;
    const double firstMax = *std::max_element(frameMs.begin(), firstEnd);
    const double settled = median(std::vector<double>(frameMs.begin() + startSettledFrom, frameMs.end()));
    std::string firstFrames;
    for (auto t = frameMs.begin(); t != firstEnd; ++t) {
        char value[32];
        std::snprintf(value, sizeof value, "%s%.1f", firstFrames.empty() ? "" : ",", *t);
        firstFrames += value;
    }
    std::printf("first_play_frames_ms %s\n", firstFrames.c_str());
    std::printf("first_play_frames_max_ms %.3f\n", firstMax);
    std::printf("first_play_slowest_frame %ld\n",
                static_cast<long>(std::max_element(frameMs.begin(), firstEnd) - frameMs.begin()));
    std::printf("settled_play_ms_median %.3f\n", settled);
    std::printf("first_play_frames_max_ratio %.3f\n", firstMax / settled);
    return 0;
}

// The same turns with an 8 x 8 viewport and scissor: main-thread CPU time.
int phaseCpu(const Options& o) {
    LockStep step(o);
    PlayThrough play;
    if (!play.start(o, o.width, o.height)) return 1;
    tinyViewportAndScissor();
    play.warmUp();
    step.ready();
    std::vector<double> cpuMs;
    for (long i = 0; i < o.frames; ++i) {
        if (!step.next()) return 1;
        const double t0 = threadCpuMs();
        play.turn();
        glFinish();
        cpuMs.push_back(threadCpuMs() - t0);
        step.done();
    }
    printFingerprint();
    std::printf("cpu_ms_median %.3f\n", median(cpuMs));
    return 0;
}

long residentMegabytes() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return -1;
    long pages = 0, resident = 0;
    const bool ok = std::fscanf(f, "%ld %ld", &pages, &resident) == 2;
    std::fclose(f);
    return ok ? resident * sysconf(_SC_PAGESIZE) / (1024 * 1024) : -1;
}

// The same turns recorded into one display list each while they run
// (compile and execute), then replayed twice: at full size for the wall
// time of the GL work alone, at 8 x 8 for the main thread's share of it.
int phaseReplay(const Options& o) {
    LockStep step(o);
    PlayThrough play;
    if (!play.start(o, o.width, o.height)) return 1;
    play.warmUp();
    const GLsizei count = static_cast<GLsizei>(o.frames);
    const GLuint base = glGenLists(count);
    if (base == 0) {
        std::fprintf(stderr, "bench: no display lists for %ld frames\n", o.frames);
        return 1;
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    for (GLsizei i = 0; i < count; ++i) {
        glNewList(base + static_cast<GLuint>(i), GL_COMPILE_AND_EXECUTE);
        play.turn();
        glEndList();
        glFinish();
        const GLenum error = glGetError();
        if (error != GL_NO_ERROR) {
            // A list begun inside the turn (glNewList cannot nest) ends here.
            std::fprintf(stderr, "bench: GL error 0x%x while recording frame %d\n", error,
                         static_cast<int>(i));
            return 1;
        }
    }
    printFingerprint();
    std::printf("replay_rss_mb %ld\n", residentMegabytes());
    const std::vector<unsigned char> lastFrame = readPicture(o.width, o.height);
    step.ready();

    std::vector<double> replayMs, cpuReplayMs;
    for (GLsizei i = 0; i < count; ++i) {
        if (!step.next()) return 1;
        const double t0 = wallMs();
        glCallList(base + static_cast<GLuint>(i));
        glFinish();
        replayMs.push_back(wallMs() - t0);
        step.done();
    }
    // The lists carry the whole frame: the last one replayed (after all the
    // others, as it was recorded) draws the picture the game drew, but for
    // the last bit of some lit texels and a rare pixel on an edge (Mesa
    // transforms and lights the vertices of a list on a path of its own).
    std::printf("replay_pixels_differing %.6f\n",
                shareOfPixelsDiffering(readPicture(o.width, o.height), lastFrame));
    tinyViewportAndScissor();
    for (GLsizei i = 0; i < count; ++i) {
        if (!step.next()) return 1;
        const double t0 = threadCpuMs();
        glCallList(base + static_cast<GLuint>(i));
        glFinish();
        cpuReplayMs.push_back(threadCpuMs() - t0);
        step.done();
    }
    std::printf("replay_ms_median %.3f\n", median(replayMs));
    std::printf("cpu_replay_ms_median %.3f\n", median(cpuReplayMs));
    return 0;
}

// The simulation part of idle alone (three driving sub-steps and the smoke
// step), looped on the play-through's state after the warm-up: first with
// its 19 cars and 5 police, then with police added up to 100.
double tickMedianUs(double turnSeconds) {
    const float dt = static_cast<float>(turnSeconds);
    std::vector<double> us;
    for (int i = 0; i < tickRepeats; ++i) {
        const double t0 = threadCpuMs();
        city.updateVehicles(dt / 3);
        city.updateVehicles(dt / 3);
        city.updateVehicles(dt / 3);
        city.updateVehicleSmoke(dt);
        us.push_back((threadCpuMs() - t0) * 1e3);
    }
    return median(us);
}

// The sound's share of idle (the snapshot of the game, the mix logic and the
// calls into OpenAL Soft) on the play-through's state, through a loopback
// device; the mixing itself, the device's own thread in the game, is done
// between the measured updates and not counted.
double audioMedianUs(double turnSeconds) {
    const float dt = static_cast<float>(turnSeconds);
    std::vector<std::int16_t> pcm;
    std::vector<double> us;
    for (int i = 0; i < tickRepeats; ++i) {
        const double t0 = threadCpuMs();
        updateGameSound(dt);
        us.push_back((threadCpuMs() - t0) * 1e3);
        renderGameSound(static_cast<double>(i + 1) * turnSeconds, pcm);
        pcm.clear();
    }
    return median(us);
}

int phaseTick(const Options& o) {
    LockStep step(o);
    PlayThrough play;
    if (!play.start(o, tickContextSize, tickContextSize)) return 1;
    play.warmUp();
    step.ready();
    std::printf("tick_us_median %.2f\n", tickMedianUs(o.turnSeconds));
    if (!startOffscreenSound()) return 1;
    std::printf("audio_us_median %.2f\n", audioMedianUs(o.turnSeconds));
    while (static_cast<int>(policeCars.size()) < tickPoliceTotal) createPoliceCar();
    std::printf("tick_us_100police %.2f\n", tickMedianUs(o.turnSeconds));
    return 0;
}

// ---- the parent: runs the phases and prints the figures ----

using Figures = std::map<std::string, std::string>;

// One child `bench --phase NAME ...`: its go pipe (our end), its done pipe,
// its figures pipe, and a memory file holding its diagnostics, shown only
// when it fails so that the loaders' chatter stays out of the way.
struct Child {
    const char* phase = "";
    pid_t pid = -1;
    int go = -1, done = -1, figures = -1, messages = -1, picture = -1;
    std::vector<unsigned char> lastPicture;  // what it handed over on fd 4
};

bool spawn(Child& c, const char* phase, const Options& o) {
    c.phase = phase;
    // Every descriptor closes on exec but the four the child is given.
    int go[2], done[2], out[2];
    if (pipe2(go, O_CLOEXEC) != 0 || pipe2(done, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
        std::perror("bench: pipe");
        return false;
    }
    c.messages = memfd_create("bench-messages", MFD_CLOEXEC);
    c.picture = memfd_create("bench-picture", MFD_CLOEXEC);
    const std::string size = std::to_string(o.width) + "x" + std::to_string(o.height);
    std::vector<std::string> args = {"searchlight-headless",
                                     "bench",
                                     "--phase",
                                     phase,
                                     "--seed",
                                     std::to_string(o.seed),
                                     "--frames",
                                     std::to_string(o.frames),
                                     "--size",
                                     size,
                                     "--lockstep"};
    if (o.dataDir) {
        args.push_back("--data");
        args.push_back(o.dataDir);
    }
    if (o.fps) {
        args.push_back("--fps");
        args.push_back(o.fps);
    }
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::fflush(nullptr);
    c.pid = fork();
    if (c.pid < 0) {
        std::perror("bench: fork");
        return false;
    }
    if (c.pid == 0) {
        // stdin: go; stdout: figures; stderr: messages; then fd 3: done
        // (last, as it may take the place of one of the others).
        dup2(go[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        if (c.messages >= 0) dup2(c.messages, STDERR_FILENO);
        // fd 3: done; fd 4: the picture. Moved above both first, so that
        // neither takes the place of the other.
        const int doneHigh = fcntl(done[1], F_DUPFD_CLOEXEC, 10);
        const int pictureHigh = c.picture >= 0 ? fcntl(c.picture, F_DUPFD_CLOEXEC, 10) : -1;
        dup2(doneHigh, 3);
        if (pictureHigh >= 0) dup2(pictureHigh, pictureFd);
        execv("/proc/self/exe", argv.data());
        std::perror("bench: /proc/self/exe");
        _exit(127);
    }
    close(go[0]);
    close(done[1]);
    close(out[1]);
    c.go = go[1];
    c.done = done[0];
    c.figures = out[0];
    return true;
}

// Waits for the child's ready or done byte; false when it ended instead.
bool awaitChild(const Child& c) {
    char b = 0;
    ssize_t n;
    while ((n = read(c.done, &b, 1)) < 0 && errno == EINTR) {
    }
    return n == 1;
}

// One measured frame of the child, and its end.
bool stepChild(const Child& c) {
    const char b = 'g';
    ssize_t n;
    while ((n = write(c.go, &b, 1)) < 0 && errno == EINTR) {
    }
    return n == 1 && awaitChild(c);
}

// Closes the go pipe, collects the child's `name value` lines and its exit.
bool finish(Child& c, Figures& figures) {
    close(c.go);
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(c.figures, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    close(c.figures);
    close(c.done);
    int status = 0;
    while (waitpid(c.pid, &status, 0) < 0 && errno == EINTR) {
    }
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!ok) {
        std::fprintf(stderr, "bench: the %s run failed (status %d); its messages:\n", c.phase, status);
        if (c.messages >= 0) {
            lseek(c.messages, 0, SEEK_SET);
            ssize_t n;
            while ((n = read(c.messages, buffer, sizeof buffer)) > 0)
                std::fwrite(buffer, 1, static_cast<size_t>(n), stderr);
        }
    }
    if (c.messages >= 0) close(c.messages);
    if (c.picture >= 0) {
        const off_t size = lseek(c.picture, 0, SEEK_END);
        if (size > 0) {
            c.lastPicture.resize(static_cast<size_t>(size));
            size_t got = 0;
            while (got < c.lastPicture.size()) {
                const ssize_t n = pread(c.picture, c.lastPicture.data() + got, c.lastPicture.size() - got,
                                        static_cast<off_t>(got));
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0) break;
                got += static_cast<size_t>(n);
            }
            c.lastPicture.resize(got);
        }
        close(c.picture);
    }

    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        const size_t space = line.find(' ');
        if (space != std::string::npos) {
            const std::string name = line.substr(0, space);
            // Each run's fingerprints are kept apart for the comparison.
            const bool perRun = name == "fingerprint" || name == "counts";
            figures[perRun ? name + "_" + c.phase : name] = line.substr(space + 1);
        }
        start = end + 1;
    }
    return ok;
}

// The children play their frames in turns of a few frames each: close
// enough in time that the machine's other work weighs on all alike, long
// enough that each run keeps its caches warm as it would alone.
bool alternate(const std::vector<const Child*>& children, long frames) {
    for (long first = 0; first < frames; first += framesPerTurn) {
        const long last = std::min(frames, first + framesPerTurn);
        for (const Child* c : children) {
            for (long i = first; i < last; ++i) {
                if (!stepChild(*c)) return false;
            }
        }
    }
    return true;
}

// The whole measurement. Set-ups run one at a time (start-up is measured);
// the compared runs then alternate frame by frame.
double number(const Figures& f, const char* name) {
    const auto it = f.find(name);
    return it == f.end() ? std::nan("") : std::strtod(it->second.c_str(), nullptr);
}

bool measure(const Options& o, Figures& f, Child& play, Child& design) {
    Child replay, cpu, tick, glowOff;
    if (!spawn(play, "play", o)) return false;
    bool ok = awaitChild(play);
    ok = ok && spawn(replay, "replay", o) && awaitChild(replay);
    ok = ok && spawn(design, "design", o) && awaitChild(design);
    ok = ok && spawn(glowOff, "glowoff", o) && awaitChild(glowOff);
    ok = ok && alternate({&play, &replay, &design, &glowOff}, o.frames);
    if (play.pid > 0) ok = finish(play, f) && ok;
    if (design.pid > 0) ok = finish(design, f) && ok;
    if (glowOff.pid > 0) ok = finish(glowOff, f) && ok;
    ok = ok && spawn(cpu, "cpu", o) && awaitChild(cpu);
    ok = ok && alternate({&cpu, &replay}, o.frames);
    if (cpu.pid > 0) ok = finish(cpu, f) && ok;
    if (replay.pid > 0) ok = finish(replay, f) && ok;
    ok = ok && spawn(tick, "tick", o) && awaitChild(tick);
    if (tick.pid > 0) ok = finish(tick, f) && ok;
    // The start of play is judged by its slowest frame, which the machine's
    // other work can spoil once: of three runs, the one with the median ratio.
    std::vector<Figures> starts(startRuns);
    for (Figures& run : starts) {
        Child start;
        ok = ok && spawn(start, "start", o);
        if (start.pid > 0) ok = finish(start, run) && ok;
    }
    if (!ok) return false;
    std::sort(starts.begin(), starts.end(), [](const Figures& a, const Figures& b) {
        return number(a, "first_play_frames_max_ratio") < number(b, "first_play_frames_max_ratio");
    });
    for (const auto& figure : starts[startRuns / 2]) f[figure.first] = figure.second;
    return true;
}

bool parseOptions(int argc, char** argv, Options& o) {
    for (int i = 0; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--seed") == 0 && hasValue) {
            char* end = nullptr;
            o.seed = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || o.seed < 0 || o.seed > 0xffffffffL) {
                std::fprintf(stderr, "bench: bad seed \"%s\"\n", argv[i]);
                return false;
            }
        } else if (std::strcmp(argv[i], "--frames") == 0 && hasValue) {
            char* end = nullptr;
            o.frames = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || o.frames < 1 || o.frames > maxFrames) {
                std::fprintf(stderr, "bench: --frames must be 1 to %ld\n", maxFrames);
                return false;
            }
        } else if (std::strcmp(argv[i], "--size") == 0 && hasValue) {
            if (!parseSize(argv[++i], o.width, o.height)) {
                std::fprintf(stderr, "bench: bad size \"%s\" (expected WxH)\n", argv[i]);
                return false;
            }
        } else if (std::strcmp(argv[i], "--data") == 0 && hasValue) {
            o.dataDir = argv[++i];
        } else if (std::strcmp(argv[i], "--fps") == 0 && hasValue) {
            o.fps = argv[++i];
            if (!parseFramesPerSecond("bench", o.fps, o.turnSeconds)) return false;
        } else if (std::strcmp(argv[i], "--phase") == 0 && hasValue) {
            o.phase = argv[++i];
        } else if (std::strcmp(argv[i], "--lockstep") == 0) {
            o.lockStep = true;
        } else {
            std::fprintf(stderr, "bench: unknown or incomplete argument \"%s\"\n", argv[i]);
            return false;
        }
    }
    if (o.seed < 0) {
        std::fprintf(stderr, "bench: --seed S is required\n");
        return false;
    }
    return true;
}

}  // namespace

int runBench(int argc, char** argv) {
    Options o;
    if (!parseOptions(argc, argv, o)) return 2;
    if (o.phase == "play") return phasePlay(o);
    if (o.phase == "cpu") return phaseCpu(o);
    if (o.phase == "replay") return phaseReplay(o);
    if (o.phase == "tick") return phaseTick(o);
    if (o.phase == "design") return phaseDesignOrder(o);
    if (o.phase == "glowoff") return phaseGlowOff(o);
    if (o.phase == "start") return phaseStart(o);
    if (!o.phase.empty()) {
        std::fprintf(stderr, "bench: unknown phase \"%s\"\n", o.phase.c_str());
        return 2;
    }

    Figures f;
    Child play, design;
    if (!measure(o, f, play, design)) return 1;
    const std::string& fingerprint = f["fingerprint_play"];
    if (fingerprint.empty() || f["fingerprint_cpu"] != fingerprint ||
        f["fingerprint_replay"] != fingerprint || f["fingerprint_design"] != fingerprint ||
        f["fingerprint_glowoff"] != fingerprint) {
        std::fprintf(stderr,
                     "bench: the runs did not play the same frames (fingerprints %s, %s, %s, %s, %s)\n",
                     fingerprint.c_str(), f["fingerprint_cpu"].c_str(), f["fingerprint_replay"].c_str(),
                     f["fingerprint_design"].c_str(), f["fingerprint_glowoff"].c_str());
        return 1;
    }
    // The game's order must draw what the plain order draws: the same
    // objects in every frame, and the same last picture.
    if (f["counts_play"].empty() || f["counts_play"] != f["counts_design"]) {
        std::fprintf(stderr, "bench: the plain order drew other objects than the game (counts %s, %s)\n",
                     f["counts_play"].c_str(), f["counts_design"].c_str());
        return 1;
    }
    const double orderDiffering = shareOfPixelsDiffering(play.lastPicture, design.lastPicture, true);
    if (!(orderDiffering <= replayPixelShare)) {
        std::fprintf(stderr, "bench: the plain order drew another picture (%.6f of the pixels differ)\n",
                     orderDiffering);
        return 1;
    }

    if (!(number(f, "replay_pixels_differing") <= replayPixelShare)) {
        std::fprintf(stderr,
                     "bench: the replayed lists did not draw the game's last frame again (%s of the pixels "
                     "differ)\n",
                     f["replay_pixels_differing"].c_str());
        return 1;
    }

    const double frameMedian = number(f, "frame_ms_median");
    const double replayMedian = number(f, "replay_ms_median");
    const double cpuMedian = number(f, "cpu_ms_median");
    const double cpuReplayMedian = number(f, "cpu_replay_ms_median");
    std::printf("renderer %s\n", f["renderer"].c_str());
    std::printf("size %dx%d\n", o.width, o.height);
    std::printf("frames %ld\n", o.frames);
    std::printf("frame_ms_median %s\n", f["frame_ms_median"].c_str());
    std::printf("frame_ms_p95 %s\n", f["frame_ms_p95"].c_str());
    std::printf("replay_ms_median %s\n", f["replay_ms_median"].c_str());
    std::printf("ratio_frame_to_replay %.3f\n", frameMedian / replayMedian);
    std::printf("design_order_ms_median %s\n", f["design_order_ms_median"].c_str());
    std::printf("ratio_design_order_to_frame %.3f\n", number(f, "design_order_ms_median") / frameMedian);
    std::printf("glow_off_ms_median %s\n", f["glow_off_ms_median"].c_str());
    std::printf("ratio_frame_to_glow_off %.3f\n", frameMedian / number(f, "glow_off_ms_median"));
    std::printf("floor_ms_median %s\n", f["floor_ms_median"].c_str());
    std::printf("cpu_ms_median %s\n", f["cpu_ms_median"].c_str());
    std::printf("cpu_replay_ms_median %s\n", f["cpu_replay_ms_median"].c_str());
    std::printf("ratio_cpu_to_replay %.3f\n", cpuMedian / cpuReplayMedian);
    std::printf("tick_us_median %s\n", f["tick_us_median"].c_str());
    std::printf("tick_us_100police %s\n", f["tick_us_100police"].c_str());
    std::printf("audio_us_median %s\n", f["audio_us_median"].c_str());
    std::printf("regular_objects_median %s\n", f["regular_objects_median"].c_str());
    std::printf("projective_objects_median %s\n", f["projective_objects_median"].c_str());
    std::printf("startup_ms %s\n", f["startup_ms"].c_str());
    std::printf("first_play_frames_max_ratio %s\n", f["first_play_frames_max_ratio"].c_str());
    std::fflush(stdout);
    // Not figures of the interface, but what the hitch target and the
    // replay's memory need to be judged by.
    std::fprintf(
        stderr,
        "bench: slowest frame %s ms, %s frames over twice the median (%s); replay lists %s MB resident\n",
        f["frame_ms_max"].c_str(), f["frames_over_twice_median"].c_str(), f["slow_frames"].c_str(),
        f["replay_rss_mb"].c_str());
    std::fprintf(
        stderr,
        "bench: start of play: slowest of the first %ld frames %s ms (frame %s), settled median %s ms; "
        "the plain order's picture differs in %.6f of the pixels\n",
        startFirstFrames, f["first_play_frames_max_ms"].c_str(), f["first_play_slowest_frame"].c_str(),
        f["settled_play_ms_median"].c_str(), orderDiffering);
    return 0;
}
