// command_line.h -- the game's options, parsed apart from GLUT's own.
//
// GLUT takes single-dash options of its own (-display NAME, -geometry
// WxH+X+Y, -iconic, -direct, -indirect, -gldebug, -sync); they are set
// aside for glutInit, and the rest is read with getopt_long.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct GameOptions {
    bool help = false;
    bool version = false;
    bool windowed = false;  // a window of windowWidth x windowHeight, not full screen
    int windowWidth = 1280, windowHeight = 1024;
    bool seedGiven = false;  // else the city is seeded from the clock
    std::uint32_t seed = 0;
    bool mute = false;                       // no sound device is opened
    std::string dataDirectory;               // "" for the working directory
    std::vector<std::string> glutArguments;  // argv[0] first, for glutInit
};

enum class ParseResult { ok, bad };

// Reads argv. On a bad option or value returns bad with a one-line message
// (without the program's name) in error.
ParseResult parseGameOptions(int argc, char** argv, GameOptions& options, std::string& error);

// The text of --help and of --version.
std::string gameUsage();
std::string gameVersion();
