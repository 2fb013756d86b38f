// Quoting pieces of a user's file in error messages, shared by the effect and mesh readers.
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace formats {

// Quotes a piece of the file for a message: at most 40 characters, bytes outside printable ASCII
// as \xNN, so a message never carries control characters or broken UTF-8 into a log file or a
// message box.
inline std::string Quote(std::string_view text) {
  std::string out = "'";
  size_t shown = 0;
  for (char c : text) {
    if (shown++ == 40) {
      out += "...";
      break;
    }
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7f) {
      out += c;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", u);
      out += hex;
    }
  }
  return out + "'";
}

}  // namespace formats
