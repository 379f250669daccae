// command_line.cpp -- the game's options.
#include "app/command_line.h"

#include <getopt.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#ifndef SEARCHLIGHT_VERSION
#define SEARCHLIGHT_VERSION "unknown"
#endif

namespace {
// The largest window --size accepts, a side.
constexpr long largestWindowSide = 16384;

// GLUT's options and whether each takes a value.
struct GlutOption {
    const char* name;
    bool takesValue;
};
constexpr GlutOption glutOptions[] = {{"-display", true}, {"-geometry", true},  {"-iconic", false},
                                      {"-direct", false}, {"-indirect", false}, {"-gldebug", false},
                                      {"-sync", false}};

const GlutOption* findGlutOption(const char* argument) {
    for (const GlutOption& o : glutOptions)
        if (std::strcmp(argument, o.name) == 0) return &o;
    return nullptr;
}

bool parseSide(const char* text, const char* end, int& side) {
    if (text == end) return false;
    long value = 0;
    for (const char* p = text; p != end; ++p) {
        if (*p < '0' || *p > '9') return false;
        value = value * 10 + (*p - '0');
        if (value > largestWindowSide) return false;
    }
    if (value < 1) return false;
    side = static_cast<int>(value);
    return true;
}

bool parseWindowSize(const char* text, int& width, int& height) {
    const char* x = std::strchr(text, 'x');
    if (!x) return false;
    return parseSide(text, x, width) && parseSide(x + 1, x + std::strlen(x), height);
}

bool parseSeed(const char* text, std::uint32_t& seed) {
    if (*text < '0' || *text > '9') return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || value > 0xffffffffULL) return false;
    seed = static_cast<std::uint32_t>(value);
    return true;
}
}  // namespace

ParseResult parseGameOptions(int argc, char** argv, GameOptions& options, std::string& error) {
    // GLUT's options go aside; getopt sees the rest.
    std::vector<char*> ours;
    ours.push_back(argv[0]);
    options.glutArguments.assign(1, argv[0]);
    for (int i = 1; i < argc; ++i) {
        const GlutOption* glut = findGlutOption(argv[i]);
        if (!glut) {
            ours.push_back(argv[i]);
            continue;
        }
        if (glut->takesValue && i + 1 >= argc) {
            error = std::string("option '") + argv[i] + "' requires an argument";
            return ParseResult::bad;
        }
        options.glutArguments.push_back(argv[i]);
        if (glut->takesValue) options.glutArguments.push_back(argv[++i]);
    }
    ours.push_back(nullptr);

    enum { optHelp = 'h', optVersion = 'V', optWindowed = 256, optSize, optSeed, optMute, optData };
    const option longOptions[] = {
        {"help", no_argument, nullptr, optHelp},         {"version", no_argument, nullptr, optVersion},
        {"windowed", no_argument, nullptr, optWindowed}, {"size", required_argument, nullptr, optSize},
        {"seed", required_argument, nullptr, optSeed},   {"mute", no_argument, nullptr, optMute},
        {"data", required_argument, nullptr, optData},   {nullptr, 0, nullptr, 0}};
    // getopt keeps its place in globals: start afresh, and say nothing
    // itself (the message here names the option the same way for all).
    optind = 0;
    opterr = 0;
    const int count = static_cast<int>(ours.size()) - 1;
    for (;;) {
        const int previous = optind == 0 ? 1 : optind;
        const int c = getopt_long(count, ours.data(), ":hV", longOptions, nullptr);
        if (c == -1) break;
        const char* given = previous < count ? ours[previous] : "";
        switch (c) {
            case optHelp:
                options.help = true;
                break;
            case optVersion:
                options.version = true;
                break;
            case optWindowed:
                options.windowed = true;
                break;
            case optSize:
                if (!parseWindowSize(optarg, options.windowWidth, options.windowHeight)) {
                    error = std::string("bad window size '") + optarg +
                            "' (expected WIDTHxHEIGHT, such as 1280x1024)";
                    return ParseResult::bad;
                }
                options.windowed = true;
                break;
            case optSeed:
                if (!parseSeed(optarg, options.seed)) {
                    error = std::string("bad seed '") + optarg +
                            "' (expected a whole number from 0 to 4294967295)";
                    return ParseResult::bad;
                }
                options.seedGiven = true;
                break;
            case optMute:
                options.mute = true;
                break;
            case optData:
                if (*optarg == '\0') {
                    error = "option '--data' requires a directory";
                    return ParseResult::bad;
                }
                options.dataDirectory = optarg;
                break;
            case ':':
                error = std::string("option '") + given + "' requires an argument";
                return ParseResult::bad;
            default:
                error = std::string("unknown option '") + given + "'";
                return ParseResult::bad;
        }
    }
    if (optind < count) {
        error = std::string("unexpected argument '") + ours[optind] + "'";
        return ParseResult::bad;
    }
    return ParseResult::ok;
}

std::string gameUsage() {
    return "Usage: searchlight [OPTION]...\n"
           "Fly a police helicopter over a night city, find the fugitive car with the\n"
           "searchlight and hold it in the beam until the police box it in.\n"
           "\n"
           "  --windowed      play in a 1280x1024 window instead of full screen\n"
           "  --size WxH      play in a window of this size (implies --windowed)\n"
           "  --seed N        the first city's seed (0 to 4294967295) instead of the clock\n"
           "  --mute          open no sound device (\"m\" mutes and unmutes in play)\n"
           "  --data DIR      read the data files from DIR (default: the working directory)\n"
           "  -h, --help      show this help and exit\n"
           "  -V, --version   show the version and exit\n"
           "\n"
           "GLUT's own options (-display NAME, -geometry WxH+X+Y, ...) are passed on to it.\n"
           "Keys: w s a d fly, q e turn, z c turn the view, mouse steers the beam,\n"
           "x dispatches a police car, p pauses, m mutes, Enter starts a new chase\n"
           "after a capture, Esc quits. See searchlight(6).\n";
}

std::string gameVersion() { return std::string("searchlight ") + SEARCHLIGHT_VERSION + "\n"; }
