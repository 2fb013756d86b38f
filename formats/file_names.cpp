// Maps the program's backslashed file names to native ones and reads files for the loaders.
// Every file is opened with O_NONBLOCK and checked with fstat before a byte is read: open() on a
// FIFO without a writer, and any read of a device such as /dev/stdin or /dev/zero, would otherwise
// wait or spin for ever. The mapping is compile-time: where the separator is '\' names stay as
// they are.
#include "formats/file_names.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace formats {
namespace {

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a file";
}

// limitWhole: a file over maxBytes fails; otherwise the first maxBytes are kept.
bool Read(const char* name, size_t maxBytes, bool limitWhole, std::string* contents,
          std::string* why) {
  FILE* file = OpenFile(name, "rb", why);
  if (!file) return false;
  contents->clear();
  char chunk[65536];
  size_t got = 0;
  bool ok = true;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    if (contents->size() + got > maxBytes) {
      if (!limitWhole) {
        contents->append(chunk, maxBytes - contents->size());
        break;
      }
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

}  // namespace

std::string NativeFileName(const char* name) {
  std::string native = name ? name : "";
#if !defined(_WIN32)
  for (char& c : native)
    if (c == '\\') c = '/';
#endif
  return native;
}

FILE* OpenFile(const char* name, const char* mode, std::string* why) {
  std::string ignored;
  if (!why) why = &ignored;
  if (!mode || mode[0] != 'r' || std::strchr(mode, '+')) {
    *why = "cannot open: only reading is supported";
    errno = EINVAL;
    return nullptr;
  }
  const int fd = ::open(NativeFileName(name).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    *why = errno == ENOENT ? "file not found" : std::string("cannot open: ") + std::strerror(errno);
    return nullptr;
  }
  struct stat status;
  if (::fstat(fd, &status) != 0) {
    *why = std::string("cannot open: ") + std::strerror(errno);
    ::close(fd);
    return nullptr;
  }
  if (!S_ISREG(status.st_mode)) {
    *why = std::string("not a regular file (") + KindOf(status.st_mode) + ")";
    ::close(fd);
    errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    return nullptr;
  }
  // Reads of a regular file never wait anyway; the flag goes so stdio sees a plain descriptor.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  FILE* file = ::fdopen(fd, mode);
  if (!file) {
    *why = std::string("cannot open: ") + std::strerror(errno);
    ::close(fd);
  }
  return file;
}

bool ReadWholeFile(const char* name, size_t maxBytes, std::string* contents, std::string* why) {
  return Read(name, maxBytes, true, contents, why);
}

bool ReadFileStart(const char* name, size_t maxBytes, std::string* contents, std::string* why) {
  return Read(name, maxBytes, false, contents, why);
}

}  // namespace formats
