// data_directory_hint.h -- what the game adds when a data file is missing.
//
// The loaders report a missing file in their own words; the window's game
// then adds one line saying where it looked and how to point it elsewhere.
// Tools and tests set no hint, so they print exactly the loaders' messages.
#pragma once

#include <string>

// The line to print (without its newline) after the first missing data file.
void setDataDirectoryHint(const std::string& line);
// Prints the hint once, on a line of its own; afterMessageWithoutNewline
// when the loader's message just printed does not end its line.
void hintAtDataDirectory(bool afterMessageWithoutNewline = false);
