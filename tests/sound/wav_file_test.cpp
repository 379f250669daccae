// wav_file_test.cpp -- what the game's WAV writer writes, the tests' reader
// reads back exactly; and the reader refuses broken files.
#include "sound/wav_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "sound_analysis.h"

namespace {

std::vector<unsigned char> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(WavFile, WrittenSamplesReadBackExactly) {
    const std::string path = std::string(SEARCHLIGHT_BINARY_DIR) + "/wav_file_test.wav";
    const std::vector<std::int16_t> samples = {0, 1, -1, 32767, -32768, 1234, -4321, 7};
    std::string error;
    ASSERT_TRUE(writeWav(path, samples, 2, 48000, error)) << error;
    const std::vector<unsigned char> bytes = fileBytes(path);
    EXPECT_EQ(bytes.size(), 44 + 2 * samples.size());
    WavSound w;
    ASSERT_TRUE(parseWav(bytes, w, error)) << error;
    EXPECT_EQ(w.channels, 2);
    EXPECT_EQ(w.rate, 48000);
    ASSERT_EQ(w.samples.size(), samples.size());
    for (size_t i = 0; i < samples.size(); ++i) EXPECT_EQ(w.samples[i] * 32768.0f, samples[i]);
    std::remove(path.c_str());

    EXPECT_FALSE(writeWav("/nonexistent-directory/x.wav", samples, 2, 48000, error));
    EXPECT_NE(error.find("x.wav"), std::string::npos);
}

// Every prefix of a good file, and a data chunk claiming more than is there,
// is refused with a reason rather than read past its end.
TEST(WavFile, BrokenFilesAreRefused) {
    const std::string path = std::string(SEARCHLIGHT_BINARY_DIR) + "/wav_file_test_broken.wav";
    std::string error;
    ASSERT_TRUE(writeWav(path, std::vector<std::int16_t>(20, 5), 2, 48000, error));
    const std::vector<unsigned char> good = fileBytes(path);
    std::remove(path.c_str());
    WavSound w;
    for (size_t n = 0; n < 44; ++n) {
        const std::vector<unsigned char> cut(good.begin(), good.begin() + static_cast<long>(n));
        EXPECT_FALSE(parseWav(cut, w, error)) << n << " bytes";
    }
    std::vector<unsigned char> lying = good;
    lying[40] = 0xff;  // data size low byte
    lying[42] = 0x7f;
    error.clear();
    EXPECT_FALSE(parseWav(lying, w, error));
    EXPECT_FALSE(error.empty());
}
