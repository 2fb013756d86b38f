// Netpbm pictures (PBM, PGM, PPM; plain and raw, maxval up to 65535) as RGBA8, and PFM (grey or
// colour floats, either byte order, rows stored bottom-up) as float RGBA. A reader of our own: the
// system's stb_image 2.27 reads past its buffer on a 16-bit PGM.
// Limits: one picture per file (a raw file's later pictures are ignored); samples over maxval
// refuse the file; 16-bit samples are scaled to 8 bits.
#include <cmath>
#include <cstdlib>

#include "formats/image_readers.hpp"

namespace formats::image {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Whitespace and '#' comments (to the end of the line) before the next token.
void SkipSpace(const std::string& b, size_t* at) {
  while (*at < b.size()) {
    if (b[*at] == '#') {
      while (*at < b.size() && b[*at] != '\n') ++*at;
    } else if (IsSpace(b[*at])) {
      ++*at;
    } else {
      return;
    }
  }
}

// A decimal of at most 9 digits; false on anything else.
bool ReadNumber(const std::string& b, size_t* at, int64_t* value) {
  SkipSpace(b, at);
  size_t digits = 0;
  *value = 0;
  while (*at < b.size() && b[*at] >= '0' && b[*at] <= '9') {
    if (++digits > 9) return false;
    *value = *value * 10 + (b[*at] - '0');
    ++*at;
  }
  return digits > 0;
}

bool DecodePfm(const std::string& b, DecodedImage* image, std::string* why) {
  const int channels = b[1] == 'F' ? 3 : 1;
  size_t at = 2;
  int64_t width = 0, height = 0;
  if (!ReadNumber(b, &at, &width) || !ReadNumber(b, &at, &height)) {
    *why = "the PFM header does not give a width and a height";
    return false;
  }
  SkipSpace(b, &at);
  const size_t start = at;
  while (at < b.size() && !IsSpace(b[at]) && at - start < 32) ++at;
  const std::string scaleText = b.substr(start, at - start);
  char* end = nullptr;
  const double scale = std::strtod(scaleText.c_str(), &end);
  if (scaleText.empty() || *end || scale == 0 || !std::isfinite(scale) || at >= b.size()) {
    *why = "the PFM header has no valid scale";
    return false;
  }
  ++at;  // the one whitespace byte before the data
  if (!CheckSize(width, height, PixelFormat::kRgba32F, why)) return false;
  const uint64_t needed = static_cast<uint64_t>(width * height) * channels * 4;
  if (b.size() - at < needed) {
    *why = "the image data is cut short";
    return false;
  }
  auto* out = reinterpret_cast<float*>(AllocateImage(
      image, PixelFormat::kRgba32F, static_cast<int>(width), static_cast<int>(height), why));
  if (!out) return false;
  const bool little = scale < 0;
  const auto* p = reinterpret_cast<const unsigned char*>(b.data()) + at;
  for (int64_t y = 0; y < height; ++y) {
    float* row = out + (height - 1 - y) * width * 4;  // the file's first row is the bottom one
    for (int64_t x = 0; x < width; ++x) {
      float v[3];
      for (int c = 0; c < channels; ++c, p += 4) {
        const uint32_t bits = little ? uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
                                           uint32_t{p[3]} << 24
                                     : uint32_t{p[3]} | uint32_t{p[2]} << 8 | uint32_t{p[1]} << 16 |
                                           uint32_t{p[0]} << 24;
        std::memcpy(&v[c], &bits, 4);
      }
      float* dst = row + x * 4;
      dst[0] = v[0], dst[1] = v[channels == 3 ? 1 : 0], dst[2] = v[channels == 3 ? 2 : 0];
      dst[3] = 1;
    }
  }
  return true;
}

}  // namespace

bool DecodePnm(const std::string& b, DecodedImage* image, std::string* why) {
  if (b[1] == 'F' || b[1] == 'f') return DecodePfm(b, image, why);
  const int kind = b[1] - '0';  // 1..6
  const bool bitmap = kind == 1 || kind == 4, plain = kind <= 3;
  const int channels = kind == 3 || kind == 6 ? 3 : 1;
  size_t at = 2;
  int64_t width = 0, height = 0, maxval = 1;
  if (!ReadNumber(b, &at, &width) || !ReadNumber(b, &at, &height) ||
      (!bitmap && !ReadNumber(b, &at, &maxval))) {
    *why = "the PNM header does not give a width, a height and a maximum value";
    return false;
  }
  if (maxval < 1 || maxval > 65535) {
    *why = "PNM maximum value " + std::to_string(maxval) + " is outside 1..65535";
    return false;
  }
  if (!CheckSize(width, height, PixelFormat::kRgba8, why)) return false;
  if (!plain) {
    if (at >= b.size() || !IsSpace(b[at])) {
      *why = "the image data is cut short";
      return false;
    }
    ++at;  // exactly one whitespace byte before raw data
  }
  const uint64_t samples = static_cast<uint64_t>(width * height) * channels;
  const uint64_t sampleBytes = maxval > 255 ? 2 : 1;
  const uint64_t left = b.size() - at;
  // Plain samples take at least a digit each, and all but PBM's a separator too.
  const uint64_t needed = kind == 4   ? static_cast<uint64_t>((width + 7) / 8 * height)
                          : kind == 1 ? samples
                          : plain     ? samples * 2 - 1
                                      : samples * sampleBytes;
  if (left < needed) {
    *why = "the image data is cut short";
    return false;
  }
  unsigned char* out = AllocateImage(image, PixelFormat::kRgba8, static_cast<int>(width),
                                     static_cast<int>(height), why);
  if (!out) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(b.data());
  auto next = [&](int64_t x, int64_t y, uint32_t* value) {
    if (kind == 4) {
      *value = (p[at + y * ((width + 7) / 8) + x / 8] >> (7 - x % 8)) & 1;
    } else if (kind == 1) {
      SkipSpace(b, &at);
      if (at >= b.size() || (b[at] != '0' && b[at] != '1')) return false;
      *value = b[at++] - '0';
    } else if (plain) {
      int64_t v = 0;
      if (!ReadNumber(b, &at, &v)) return false;
      *value = static_cast<uint32_t>(v);
    } else {
      *value = sampleBytes == 2 ? uint32_t{p[at]} << 8 | p[at + 1] : p[at];
      at += sampleBytes;
    }
    return true;
  };
  for (int64_t y = 0; y < height; ++y)
    for (int64_t x = 0; x < width; ++x) {
      unsigned char* dst = out + (y * width + x) * 4;
      for (int c = 0; c < channels; ++c) {
        uint32_t v = 0;
        if (!next(x, y, &v)) {
          *why = "the PNM data is cut short or holds something other than a number";
          return false;
        }
        if (v > maxval) {
          *why = "PNM sample " + std::to_string(v) + " exceeds the maximum value " +
                 std::to_string(maxval);
          return false;
        }
        // In a bitmap 1 is black.
        dst[c] =
            bitmap ? (v ? 0 : 255) : static_cast<unsigned char>((v * 255 + maxval / 2) / maxval);
      }
      if (channels == 1) dst[1] = dst[2] = dst[0];
      dst[3] = 255;
    }
  return true;
}

}  // namespace formats::image
