// Maps the program's backslashed file names to native ones and reads whole files for the loaders.
// The mapping is compile-time: a system whose separator is '\' gets the names unchanged.
#include "formats/file_names.hpp"

#include <cerrno>
#include <cstring>

namespace formats {

std::string NativeFileName(const char* name) {
  std::string native = name ? name : "";
#if !defined(_WIN32)
  for (char& c : native)
    if (c == '\\') c = '/';
#endif
  return native;
}

FILE* OpenFile(const char* name, const char* mode) {
  return std::fopen(NativeFileName(name).c_str(), mode);
}

bool ReadWholeFile(const char* name, size_t maxBytes, std::string* contents, std::string* why) {
  FILE* file = OpenFile(name, "rb");
  if (!file) {
    *why = errno == ENOENT ? "file not found" : std::string("cannot open: ") + std::strerror(errno);
    return false;
  }
  contents->clear();
  char chunk[65536];
  size_t got = 0;
  bool ok = true;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    if (contents->size() + got > maxBytes) {
      *why = "file too large (over " + std::to_string(maxBytes) + " bytes)";
      ok = false;
      break;
    }
    contents->append(chunk, got);
  }
  if (ok && std::ferror(file)) {
    *why = "read error";
    ok = false;
  }
  std::fclose(file);
  return ok;
}

}  // namespace formats
