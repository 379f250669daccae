// headless_common.h -- what the subcommands of searchlight-headless share:
// the data directory, window sizes, frame read-back and the scene's
// fingerprint.
#pragma once

#include <cstdint>
#include <string>

// Enters dir, or the build's data directory when dir is null. Prints why on
// failure.
bool enterDataDirectory(const char* dir);
// "1280x1024" -> 1280, 1024; sizes from 8 to 8192.
bool parseSize(const char* text, int& width, int& height);
// --fps N: a whole number of frames a second, 1 to 1000, into the turn of
// the game loop (turnSecondsAtRate). Prints why, naming the command, and
// returns false on anything else.
bool parseFramesPerSecond(const char* command, const char* text, double& turnSeconds);
// Reads the current colour buffer (width x height) and writes it as a binary
// P6 PPM, top row first.
bool writeFramePpm(const std::string& path, int width, int height);
// FNV-1a 64 over the scene's moving state: every car (place, heading,
// speed, driving state, frozen), the helicopter's place and yaw and the
// badge's fill. Two runs that played the same game give the same value.
std::uint64_t sceneFingerprint();
