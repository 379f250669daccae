// data_directory_hint.cpp -- the line after a missing data file.
#include "assets/data_directory_hint.h"

#include <cstdio>

namespace {
std::string hint;
bool hinted = false;
}  // namespace

void setDataDirectoryHint(const std::string& line) {
    hint = line;
    hinted = false;
}

void hintAtDataDirectory(bool afterMessageWithoutNewline) {
    if (hint.empty() || hinted) return;
    hinted = true;
    std::fprintf(stderr, "%s%s\n", afterMessageWithoutNewline ? "\n" : "", hint.c_str());
}
