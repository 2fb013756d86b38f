// File names as the program writes them ("modeli\sphere.x") turned into names this system opens,
// and the one way every reader opens a file: only regular files, opened without blocking, so a
// FIFO, a device, a directory or a socket in a file's place is refused instead of waited on.
// Names: every backslash becomes '/' where that is the separator; nothing else is normalised.
#pragma once
#include <cstdio>
#include <string>

namespace formats {

std::string NativeFileName(const char* name);

// Opens the native name for reading if it is a regular file; null otherwise, with errno set and,
// when why is given, a short reason there ("file not found", "not a regular file (a FIFO)", …).
// The open never blocks, whatever the name points to. mode must be a reading mode ("rb", "r").
FILE* OpenFile(const char* name, const char* mode, std::string* why = nullptr);

// Reads a whole file, refusing anything larger than maxBytes. On failure returns false and puts a
// short reason ("not found", "too large", …) in *why.
bool ReadWholeFile(const char* name, size_t maxBytes, std::string* contents, std::string* why);

// Reads at most maxBytes from the start of a file and ignores the rest; fails as ReadWholeFile
// does except for the size.
bool ReadFileStart(const char* name, size_t maxBytes, std::string* contents, std::string* why);

}  // namespace formats
