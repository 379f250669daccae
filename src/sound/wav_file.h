// wav_file.h -- writing 16-bit PCM as a RIFF WAVE file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes interleaved samples (channels per frame) at rate to path; false
// with a message in error when the file cannot be written whole.
bool writeWav(const std::string& path, const std::vector<std::int16_t>& samples, int channels, int rate,
              std::string& error);
