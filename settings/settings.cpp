// Settings reader: "postavke.txt" is key lines, each followed by its values, read with the stream
// library's formatted extraction in the classic locale. Limits: no comments, no key aliases; the
// first value that cannot be read ends the reading; only the first 1 MiB of the file is read.
// Nothing is reported, except a name that is no regular file (one line on standard error).
#include "settings/settings.hpp"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <locale>
#include <sstream>
#include <string>
#include <string_view>

#include "app/app_state.hpp"
#include "formats/file_names.hpp"

namespace {

// Extraction goes through a temporary: on a failed read the stream library stores 0, or the type's
// limit on overflow, and the field must keep the value it held before the attempt.
template <typename T>
bool ReadValue(std::istream& in, T& field) {
  T value{};
  if (!(in >> value)) return false;
  field = value;
  return true;
}

void ReadBoundedInt(std::istream& in, int32_t& field, int32_t low, int32_t high) {
  if (!ReadValue(in, field)) return;
  if (field < low) {
    field = low;
  } else if (field > high) {
    field = high;
  }
}

// Values read before a failure stay stored; the failed stream then ends the whole reading.
void ReadFloats(std::istream& in, float* fields, int count) {
  for (int i = 0; i < count; ++i) {
    if (!ReadValue(in, fields[i])) return;
  }
}

// Longer than any key with its CR: a line that does not fit cannot be a key.
constexpr size_t kLineCapacity = 64;

struct Line {
  char text[kLineCapacity];
  size_t length;  // bytes kept in text, NULs included
  bool tooLong;   // more bytes came than text holds; they were skipped, not stored
};

// Takes one line as std::getline does, with the same stream states (nothing taken at end of file
// fails the stream; a last line without LF sets end of file only), but keeps at most
// kLineCapacity bytes: a huge file with no line end must not be held in memory.
bool ReadLine(std::istream& in, Line& line) {
  line.length = 0;
  line.tooLong = false;
  if (!in.good()) {
    in.setstate(std::ios_base::failbit);
    return false;
  }
  std::streambuf* buffer = in.rdbuf();
  bool tookAny = false;
  for (;;) {
    const std::streambuf::int_type c = buffer->sbumpc();
    if (std::streambuf::traits_type::eq_int_type(c, std::streambuf::traits_type::eof())) {
      in.setstate(tookAny ? std::ios_base::eofbit : std::ios_base::eofbit | std::ios_base::failbit);
      return tookAny;
    }
    tookAny = true;
    if (c == '\n') return true;
    if (line.length < kLineCapacity) {
      line.text[line.length++] = static_cast<char>(c);
    } else {
      line.tooLong = true;
    }
  }
}

// A line ended by CR LF must compare like the same line ended by LF. Only a CR directly before a
// consumed LF goes; a CR as the very last byte of the file (the read stopped at end of file, so no
// LF was consumed) stays in the line, as a lone CR anywhere else does.
void DropCarriageReturn(const std::istream& in, Line& line) {
  if (!in.eof() && line.length > 0 && line.text[line.length - 1] == '\r') --line.length;
}

bool Is(const Line& line, std::string_view key) {
  return !line.tooLong && std::string_view(line.text, line.length) == key;
}

}  // namespace

void ReadSettings(std::istream& in) {
  // The user's locale must not turn "0,5" into a number or group digits.
  in.imbue(std::locale::classic());
  in.setf(std::ios_base::dec, std::ios_base::basefield);
  in.setf(std::ios_base::skipws);
  SceneSettingsRecord& s = SceneSettings;
  try {
    Line line;
    // Reading a line fails (and ends the loop) on a stream already failed, on a failed value
    // read, and at end of file when it took no character; a last line without LF is still handled.
    while (ReadLine(in, line)) {
      DropCarriageReturn(in, line);
      // A CR left after a value ("5\r\n") reads as "\r" + LF, so it becomes the empty line an LF
      // file would give here.
      if (line.length == 0) continue;
      if (Is(line, "number_objects")) {
        ReadBoundedInt(in, s.number_objects, 1, 50);
      } else if (Is(line, "number_objects_step")) {
        ReadBoundedInt(in, s.number_objects_step, 1, 10);
      } else if (Is(line, "light_position")) {
        ReadFloats(in, s.light_position, 3);
      } else if (Is(line, "kAmbient")) {
        ReadValue(in, s.kAmbient);
      } else if (Is(line, "kDifuse")) {
        ReadValue(in, s.kDifuse);
      } else if (Is(line, "intensity_source")) {
        ReadFloats(in, s.intensity_source, 3);
      } else if (Is(line, "intensity_ambient")) {
        ReadFloats(in, s.intensity_ambient, 3);
      }
    }
  } catch (const std::exception&) {
    // Out of memory in the stream, a read error from the file buffer, or a caller's stream with
    // exceptions switched on: the reading ends here and what was stored stays in force.
  }
}

void LoadSettings() {
  try {
    // Far more than any settings file needs; a file linked to something endless (or just huge)
    // costs one bounded read, and what lies beyond is ignored.
    constexpr size_t kMaxSettingsBytes = size_t{1} << 20;
    std::string text, why;
    if (!formats::ReadFileStart("postavke.txt", kMaxSettingsBytes, &text, &why)) {
      // A missing or unreadable file is no error; something else in its place is worth a word,
      // since the user put it there.
      if (why.rfind("not a regular file", 0) == 0)
        std::fprintf(stderr, "postavke.txt: %s; the settings keep their initial values.\n",
                     why.c_str());
      return;
    }
    std::istringstream file(std::move(text));
    ReadSettings(file);
  } catch (const std::exception&) {
    // The text or the stream could not be allocated: nothing was read, nothing is reported.
  }
}
