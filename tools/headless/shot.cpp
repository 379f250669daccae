// shot.cpp -- `shot`: play the game offscreen for T seconds of game time,
// feeding scripted input, and write the last displayed frame as a PPM.
// --fps N plays N turns a second (60 unless given); --design-order draws in
// the plain order the game's order is compared with.
// With --audio FILE.wav, the run's sound too: mixed through a loopback
// device after every turn, so the file is exactly as long as the run.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/globals.h"
#include "app/input_script.h"
#include "app/offscreen_game.h"
#include "app/random.h"
#include "commands.h"
#include "headless_common.h"
#include "sound/game_sound.h"
#include "sound/synthesis.h"
#include "sound/wav_file.h"

namespace {
constexpr double defaultTurnSeconds = 1.0 / 60.0;
}

int runShot(int argc, char** argv) {
    long seed = -1;
    int width = 1280, height = 1024;
    const char* scriptPath = nullptr;
    const char* dataDir = nullptr;
    const char* out = nullptr;
    const char* audio = nullptr;
    double seconds = 2.0;
    double turnSeconds = defaultTurnSeconds;
    bool designOrder = false;
    for (int i = 0; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--seed") == 0 && hasValue) {
            seed = std::strtol(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--size") == 0 && hasValue) {
            if (!parseSize(argv[++i], width, height)) {
                std::fprintf(stderr, "shot: bad size \"%s\" (expected WxH)\n", argv[i]);
                return 2;
            }
        } else if (std::strcmp(argv[i], "--script") == 0 && hasValue) {
            scriptPath = argv[++i];
        } else if (std::strcmp(argv[i], "--seconds") == 0 && hasValue) {
            seconds = std::strtod(argv[++i], nullptr);
        } else if (std::strcmp(argv[i], "--data") == 0 && hasValue) {
            dataDir = argv[++i];
        } else if (std::strcmp(argv[i], "--out") == 0 && hasValue) {
            out = argv[++i];
        } else if (std::strcmp(argv[i], "--audio") == 0 && hasValue) {
            audio = argv[++i];
        } else if (std::strcmp(argv[i], "--fps") == 0 && hasValue) {
            if (!parseFramesPerSecond("shot", argv[++i], turnSeconds)) return 2;
        } else if (std::strcmp(argv[i], "--design-order") == 0) {
            designOrder = true;
        } else {
            std::fprintf(stderr, "shot: unknown or incomplete argument \"%s\"\n", argv[i]);
            return 2;
        }
    }
    if (seed < 0 || !out) {
        std::fprintf(stderr, "shot: --seed S and --out FILE.ppm are required\n");
        return 2;
    }
    if (!std::isfinite(seconds) || seconds < 0 || seconds > 3600) {
        std::fprintf(stderr, "shot: --seconds must be between 0 and 3600\n");
        return 2;
    }

    InputScript script;
    std::string error;
    if (scriptPath) {
        if (!script.load(scriptPath, error)) {
            std::fprintf(stderr, "shot: %s\n", error.c_str());
            return 2;
        }
    } else {
        // Without a script, one key at time 0 dismisses the title.
        script.parse("0 press space\n", error);
    }
    // Paths are taken before entering the data directory.
    const auto absolute = [](const char* path) {
        if (path[0] == '/') return std::string(path);
        char cwd[4096];
        return std::string(getcwd(cwd, sizeof cwd) ? cwd : ".") + "/" + path;
    };
    const std::string outPath = absolute(out);
    const std::string audioPath = audio ? absolute(audio) : std::string();
    if (!enterDataDirectory(dataDir)) return 1;

    OffscreenGame game;
    if (!game.createContext(width, height, error)) {
        std::fprintf(stderr, "shot: no offscreen GL context: %s\n", error.c_str());
        return 1;
    }
    if (audio && !startOffscreenSound()) {
        std::fprintf(stderr, "shot: OpenAL Soft gave no loopback device for --audio\n");
        return 1;
    }
    std::vector<std::int16_t> pcm;
    setFixedSeed(static_cast<std::uint32_t>(seed));
    game.start();
    designDrawOrder = designOrder;
    const long turns = std::lround(seconds / turnSeconds);
    for (long i = 0; i < turns; ++i) {
        script.deliverUntil(i * turnSeconds, game);
        if (game.offscreenPlatform.quitRequested) break;
        game.turn(turnSeconds);
        if (audio) renderGameSound((i + 1) * turnSeconds, pcm);
    }
    if (audio) {
        stopGameSound();
        if (!writeWav(audioPath, pcm, 2, soundSampleRate, error)) {
            std::fprintf(stderr, "shot: %s\n", error.c_str());
            return 1;
        }
    }
    return writeFramePpm(outPath, width, height) ? 0 : 1;
}
