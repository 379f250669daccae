// shot.cpp -- `shot`: play the game offscreen for T seconds of game time,
// feeding scripted input, and write the last displayed frame as a PPM.
// --fps N plays N turns a second (60 unless given); --design-order draws in
// the plain order the game's order is compared with.
//
// With --events FILE, the run's game events as text: a first line naming
// the columns, `time event x y z`, then one line per event in time order:
// the game time in seconds, the event, and where it happened in world
// units. Events: `police-badge` (a police car sent by the searchlight's
// badge, at the spawn point), `police-key` (one sent by "x"), `capture` (at
// the fugitive), `new-chase` (the title's dismissal or Return after a
// capture, at the helicopter's start), and `helicopter`, the helicopter's
// position at the start and then at the turn nearest every further whole
// second of game time.
// With --audio FILE.wav, the run's sound too: mixed through a loopback
// device after every turn, so the file is exactly as long as the run.
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/game_events.h"
#include "app/globals.h"
#include "app/input_script.h"
#include "app/offscreen_game.h"
#include "app/random.h"
#include "commands.h"
#include "headless_common.h"
#include "helicopter/helicopter.h"
#include "sound/game_sound.h"
#include "sound/synthesis.h"
#include "sound/wav_file.h"

namespace {
constexpr double defaultTurnSeconds = 1.0 / 60.0;

// The lines of --events, kept until the run ends.
class EventLines {
public:
    explicit EventLines(double turnSeconds) : halfTurn(turnSeconds / 2) { text = "time event x y z\n"; }
    void add(double time, const char* event, const Vector3& p) {
        char line[160];
        std::snprintf(line, sizeof line, "%.6f %s %.4f %.4f %.4f\n", time, event, p.x, p.y, p.z);
        text += line;
    }
    // The game's events of the last turn, then the helicopter's position
    // at the turn nearest each whole second of game time (the clock counts
    // whole microseconds, so 30 turns of 1/30 s end just short of 1 s).
    void addTurn() {
        for (const GameEvent& e : gameEvents.take()) add(e.time, gameEventName(e.kind), e.place);
        if (gameTime + halfTurn >= nextPositionTime) {
            add(gameTime, "helicopter", helicopter.position);
            nextPositionTime = std::floor(gameTime + halfTurn) + 1;
        }
    }
    // Written beside the target and renamed over it: a reader never sees
    // half a file.
    bool write(const std::string& path) const {
        const std::string partial = path + ".partial";
        std::FILE* f = std::fopen(partial.c_str(), "wb");
        if (!f) {
            std::fprintf(stderr, "shot: %s: %s\n", partial.c_str(), std::strerror(errno));
            return false;
        }
        bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
        ok = (std::fclose(f) == 0) && ok;
        if (ok && std::rename(partial.c_str(), path.c_str()) == 0) return true;
        std::fprintf(stderr, "shot: %s: %s\n", path.c_str(), ok ? std::strerror(errno) : "write failed");
        std::remove(partial.c_str());
        return false;
    }

private:
    double halfTurn;
    std::string text;
    double nextPositionTime = 0;
};
}  // namespace

int runShot(int argc, char** argv) {
    long seed = -1;
    int width = 1280, height = 1024;
    const char* scriptPath = nullptr;
    const char* dataDir = nullptr;
    const char* out = nullptr;
    const char* audio = nullptr;
    const char* events = nullptr;
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
        } else if (std::strcmp(argv[i], "--events") == 0 && hasValue) {
            events = argv[++i];
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
    const std::string eventsPath = events ? absolute(events) : std::string();
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
    EventLines eventLines(turnSeconds);
    if (events) {
        gameEvents.startRecording();
        eventLines.addTurn();
    }
    const long turns = std::lround(seconds / turnSeconds);
    for (long i = 0; i < turns; ++i) {
        script.deliverUntil(i * turnSeconds, game);
        if (events) eventLines.addTurn();  // a police car sent by a key of the script
        if (game.offscreenPlatform.quitRequested) break;
        game.turn(turnSeconds);
        if (events) eventLines.addTurn();
        if (audio) renderGameSound((i + 1) * turnSeconds, pcm);
    }
    if (events && !eventLines.write(eventsPath)) return 1;
    if (audio) {
        stopGameSound();
        if (!writeWav(audioPath, pcm, 2, soundSampleRate, error)) {
            std::fprintf(stderr, "shot: %s\n", error.c_str());
            return 1;
        }
    }
    return writeFramePpm(outPath, width, height) ? 0 : 1;
}
