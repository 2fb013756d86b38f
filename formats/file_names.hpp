// File names as the program writes them ("modeli\sphere.x") turned into names this system opens.
// The literals keep the backslash of their original platform; where the separator is '/', every
// backslash becomes '/'. Nothing else is normalised: case, "..", and doubled separators stay.
#pragma once
#include <cstdio>
#include <string>

namespace formats {

std::string NativeFileName(const char* name);

// fopen on the native name; null (with errno set) when the file cannot be opened.
FILE* OpenFile(const char* name, const char* mode);

// Reads a whole file, refusing anything larger than maxBytes. On failure returns false and puts a
// short reason ("not found", "too large", …) in *why.
bool ReadWholeFile(const char* name, size_t maxBytes, std::string* contents, std::string* why);

}  // namespace formats
