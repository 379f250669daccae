// replay_main.cpp -- runs a fuzz target's entry point once on each input
// file, without libFuzzer: the sanitized gcc build replays the committed
// inputs with it, and the coverage build measures what they reach.
//
//   replay_FORMAT FILE_OR_DIRECTORY...
//
// Directories give their regular files in name order. A fault is the
// sanitizer's (or a trap's) and ends the run; the input being run is named
// on stderr first, so the log says which one it was.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::string> inputsOf(const std::string& path) {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code error;
    if (!fs::is_directory(path, error)) {
        files.push_back(path);
        return files;
    }
    for (const auto& entry : fs::directory_iterator(path, error)) {
        if (entry.is_regular_file(error)) files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE_OR_DIRECTORY...\n", argv[0]);
        return 2;
    }
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        for (const std::string& file : inputsOf(argv[i])) {
            std::ifstream in(file, std::ios::binary);
            if (!in) {
                std::fprintf(stderr, "%s: cannot read %s\n", argv[0], file.c_str());
                return 1;
            }
            const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                                  std::istreambuf_iterator<char>());
            std::fprintf(stderr, "Running: %s\n", file.c_str());
            // An empty input still gets a valid pointer, as libFuzzer gives.
            static const std::uint8_t nothing = 0;
            LLVMFuzzerTestOneInput(bytes.empty() ? &nothing : bytes.data(), bytes.size());
            ++count;
        }
    }
    std::printf("%s: %d inputs, no fault\n", argv[0], count);
    return 0;
}
