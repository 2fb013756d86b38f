// Maps the program's backslashed file names to native ones and reads files for the loaders.
// Every file is opened with O_NONBLOCK and checked with fstat before a byte is read: open() on a
// FIFO without a writer, and any read of a device such as /dev/stdin or /dev/zero, would otherwise
// wait or spin for ever (on Windows the handle's type is checked instead). The mapping is
// compile-time: where the separator is '\' names stay as they are.
#include "formats/file_names.hpp"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>

namespace formats {
namespace {

#if !defined(_WIN32)
const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a file";
}
#endif

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
#if defined(_WIN32)
  // Windows opens a directory only on request and a named pipe without a waiting reader, but a
  // device name ("CON", "NUL", "COM1") opens anywhere: the handle's type is checked before use.
  HANDLE handle = ::CreateFileA(NativeFileName(name).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesA(NativeFileName(name).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      *why = "not a regular file (a directory)";
      errno = EISDIR;
      return nullptr;
    }
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    *why = missing ? "file not found"
                   : "cannot open: system error " + std::to_string(static_cast<unsigned>(error));
    errno = missing ? ENOENT : EACCES;
    return nullptr;
  }
  const DWORD type = ::GetFileType(handle);
  if (type != FILE_TYPE_DISK) {
    *why = std::string("not a regular file (") +
           (type == FILE_TYPE_CHAR   ? "a character device"
            : type == FILE_TYPE_PIPE ? "a pipe"
                                     : "not a file") +
           ")";
    ::CloseHandle(handle);
    errno = EINVAL;
    return nullptr;
  }
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
  if (fd < 0) {
    *why = "cannot open: no descriptor";
    ::CloseHandle(handle);
    return nullptr;
  }
  FILE* file = ::_fdopen(fd, mode);
  if (!file) {
    *why = std::string("cannot open: ") + std::strerror(errno);
    ::_close(fd);
  }
  return file;
#else
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
#endif
}

bool ReadWholeFile(const char* name, size_t maxBytes, std::string* contents, std::string* why) {
  return Read(name, maxBytes, true, contents, why);
}

bool ReadFileStart(const char* name, size_t maxBytes, std::string* contents, std::string* why) {
  return Read(name, maxBytes, false, contents, why);
}

}  // namespace formats
