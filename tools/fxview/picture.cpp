// PNG through stb_image_write, the one writer both builds have: Debian's stb headers on Linux, and
// the same header folder on the Windows build's include path for this file alone.
#include "tools/fxview/picture.hpp"

#include <cctype>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace fxview {

bool WritePng(const std::string& path, uint32_t width, uint32_t height, const uint8_t* rgba,
              std::string* why) {
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i)
    for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = rgba[i * 4 + c];
  if (stbi_write_png(path.c_str(), static_cast<int>(width), static_cast<int>(height), 3, rgb.data(),
                     static_cast<int>(width * 3)))
    return true;
  *why = "cannot write " + path;
  return false;
}

bool WriteChecker(const std::string& path, std::string* why) {
  constexpr int kSize = 256, kSquare = 32;
  constexpr uint8_t kLight[4] = {230, 220, 190, 255}, kDark[4] = {70, 110, 170, 255};
  std::vector<uint8_t> rgba(kSize * kSize * 4);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const uint8_t* colour = ((x / kSquare + y / kSquare) % 2) ? kDark : kLight;
      for (int c = 0; c < 4; ++c) rgba[(y * kSize + x) * 4 + c] = colour[c];
    }
  return WritePng(path, kSize, kSize, rgba.data(), why);
}

std::string FilePart(const std::string& name) {
  std::string out = name;
  for (char& c : out)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') c = '_';
  return out.empty() ? "_" : out;
}

}  // namespace fxview
