// file_bytes.h -- whole-file reads for the data-file readers.
//
// Every reader decodes from memory, so the game, the inspector and the
// fuzzers run the same decoding code on the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

// No data file of the game comes near this (the largest picture we decode
// is 64 MiB); a regular file that is larger is refused before a byte of it
// is read, a stream once it has delivered more.
constexpr std::size_t maxDataFileBytes = 256u * 1024u * 1024u;

enum class FileReadStatus { ok, cannotOpen, tooLarge, readFailed };

// Reads the file at path into bytes, refusing more than limit bytes. On
// failure bytes is empty and error holds the reason (the system's text when
// the file cannot be opened or read; errno is kept).
FileReadStatus readFileBytes(const char* path, std::vector<unsigned char>& bytes, std::string& error,
                             std::size_t limit = maxDataFileBytes);

// Says "Out of memory!" on stderr and ends the program with status 1: how
// the game's readers end when memory runs out.
[[noreturn]] void exitOutOfMemory();

// While one lives, an allocation that fails calls exitOutOfMemory instead of
// throwing (which, uncaught, would abort the game). The game's readers hold
// one for the whole read; malloc, which returns null, is not affected.
class OutOfMemoryExit {
public:
    OutOfMemoryExit() : previous_(std::set_new_handler(exitOutOfMemory)) {}
    ~OutOfMemoryExit() { std::set_new_handler(previous_); }
    OutOfMemoryExit(const OutOfMemoryExit&) = delete;
    OutOfMemoryExit& operator=(const OutOfMemoryExit&) = delete;

private:
    std::new_handler previous_;
};
