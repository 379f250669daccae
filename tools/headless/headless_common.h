// headless_common.h -- what the subcommands of searchlight-headless share:
// the data directory, window sizes, and frame read-back.
#pragma once

#include <string>

// Enters dir, or the build's data directory when dir is null. Prints why on
// failure.
bool enterDataDirectory(const char* dir);
// "1280x1024" -> 1280, 1024; sizes from 8 to 8192.
bool parseSize(const char* text, int& width, int& height);
// Reads the current colour buffer (width x height) and writes it as a binary
// P6 PPM, top row first.
bool writeFramePpm(const std::string& path, int width, int height);
