// Radiance HDR (RGBE) pictures as float RGBA: the text header, the resolution line, then flat or
// run-length coded scanlines. A reader of our own: the system's stb_image 2.27 loops for ever on a
// coded scanline cut short (it reads zero-length packets at the end of the data).
// Limits: the -Y/+Y, +X/-X orientations (rows top-down or bottom-up, columns either way); XYZE
// files are refused, and lines of the pre-1991 run-length coding read as flat pixels.
#include <cmath>

#include "formats/image_readers.hpp"
#include "formats/quote.hpp"

namespace formats::image {
namespace {

// Reads an unsigned decimal of at most 9 digits at *at, moving past it.
bool ReadNumber(const std::string& b, size_t* at, int64_t* value) {
  size_t digits = 0;
  *value = 0;
  while (*at < b.size() && b[*at] >= '0' && b[*at] <= '9' && digits < 9) {
    *value = *value * 10 + (b[*at] - '0');
    ++*at, ++digits;
  }
  return digits > 0 && (*at >= b.size() || b[*at] < '0' || b[*at] > '9');
}

bool ReadAxis(const std::string& b, size_t* at, char axis, bool* positive, int64_t* value) {
  if (b.size() - *at < 3 || (b[*at] != '-' && b[*at] != '+') || b[*at + 1] != axis ||
      b[*at + 2] != ' ')
    return false;
  *positive = b[*at] == '+';
  *at += 3;
  return ReadNumber(b, at, value);
}

}  // namespace

bool DecodeHdr(const std::string& b, DecodedImage* image, std::string* why) {
  // Header lines up to the empty one; only FORMAT matters here.
  size_t at = 0;
  for (;;) {
    const size_t end = b.find('\n', at);
    if (end == std::string::npos) {
      *why = "the HDR header is never ended by an empty line";
      return false;
    }
    const std::string_view line(b.data() + at, end - at);
    at = end + 1;
    if (line.empty()) break;
    if (line.starts_with("FORMAT=") && line != "FORMAT=32-bit_rle_rgbe") {
      *why = "HDR pixel format " + Quote(line.substr(7)) + " is not supported";
      return false;
    }
  }
  bool down = false, right = false;
  int64_t height = 0, width = 0;
  if (!ReadAxis(b, &at, 'Y', &down, &height) || at >= b.size() || b[at++] != ' ' ||
      !ReadAxis(b, &at, 'X', &right, &width) || at >= b.size() || b[at++] != '\n') {
    *why = "the HDR resolution line is not of the form \"-Y height +X width\"";
    return false;
  }
  down = !down;  // "-Y" is the usual top-down order
  if (!CheckSize(width, height, PixelFormat::kRgba32F, why)) return false;
  // The fewest bytes a line can take: coded, 4 + four channels of 2-byte runs of up to 127.
  const uint64_t coded = 4 + 8 * static_cast<uint64_t>((width + 126) / 127);
  const uint64_t smallest =
      width >= 8 && width < 32768 ? std::min<uint64_t>(coded, width * 4) : width * 4;
  if (b.size() - at < smallest * height) {
    *why = "the image data is cut short";
    return false;
  }
  auto* out = reinterpret_cast<float*>(AllocateImage(
      image, PixelFormat::kRgba32F, static_cast<int>(width), static_cast<int>(height), why));
  if (!out) return false;
  std::vector<unsigned char> line(static_cast<size_t>(width) * 4);
  const auto* p = reinterpret_cast<const unsigned char*>(b.data());
  for (int64_t y = 0; y < height; ++y) {
    const size_t left = b.size() - at;
    if (width >= 8 && width < 32768 && left >= 4 && p[at] == 2 && p[at + 1] == 2 &&
        !(p[at + 2] & 0x80)) {
      if ((p[at + 2] << 8 | p[at + 3]) != width) {
        *why = "an HDR scanline's length differs from the width";
        return false;
      }
      at += 4;
      for (int channel = 0; channel < 4; ++channel) {
        for (int64_t x = 0; x < width;) {
          if (at >= b.size()) {
            *why = "the image data is cut short";
            return false;
          }
          const unsigned count = p[at++];
          const bool run = count > 128;
          const int64_t n = run ? count - 128 : count;
          if (n == 0 || n > width - x || b.size() - at < static_cast<size_t>(run ? 1 : n)) {
            *why = n == 0 || n > width - x ? "corrupt HDR run-length data"
                                           : "the image data is cut short";
            return false;
          }
          for (int64_t i = 0; i < n; ++i, ++x) line[x * 4 + channel] = p[run ? at : at + i];
          at += run ? 1 : n;
        }
      }
    } else {
      if (left < line.size()) {
        *why = "the image data is cut short";
        return false;
      }
      std::memcpy(line.data(), p + at, line.size());
      at += line.size();
    }
    float* row = out + (down ? y : height - 1 - y) * width * 4;
    for (int64_t x = 0; x < width; ++x) {
      const unsigned char* rgbe = &line[x * 4];
      const float scale = rgbe[3] ? std::ldexp(1.0f, rgbe[3] - (128 + 8)) : 0.0f;
      float* dst = row + (right ? x : width - 1 - x) * 4;
      dst[0] = rgbe[0] * scale, dst[1] = rgbe[1] * scale, dst[2] = rgbe[2] * scale, dst[3] = 1;
    }
  }
  return true;
}

}  // namespace formats::image
