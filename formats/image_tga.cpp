// TGA: grey, true-colour (15/16/24/32 bits) and colour-mapped pictures, raw or run-length coded,
// stored from either corner. A reader of our own: the format has no signature and a header of
// loose fields, and a decoder that fills a cut-off file up from uninitialised memory would show it.
// Limits: colour maps of 15/16/24/32-bit entries with 8- or 16-bit indices; interleaved files are
// refused; packets may run across lines, as many writers make them.
#include "formats/image_readers.hpp"

namespace formats::image {
namespace {

struct Header {
  uint32_t idLength, mapType, type, mapFirst, mapLength, mapEntryBits, width, height, bits,
      descriptor;
};

Header ReadHeader(const std::string& b) {
  return {static_cast<unsigned char>(b[0]),
          static_cast<unsigned char>(b[1]),
          static_cast<unsigned char>(b[2]),
          Le16(b, 3),
          Le16(b, 5),
          static_cast<unsigned char>(b[7]),
          Le16(b, 12),
          Le16(b, 14),
          static_cast<unsigned char>(b[16]),
          static_cast<unsigned char>(b[17])};
}

bool ColourMapped(const Header& h) { return h.type == 1 || h.type == 9; }
bool Grey(const Header& h) { return h.type == 3 || h.type == 11; }
bool EntryBitsValid(uint32_t bits) { return bits == 15 || bits == 16 || bits == 24 || bits == 32; }

// One stored colour (true-colour pixel or colour-map entry) as RGBA.
void ToRgba(const unsigned char* p, uint32_t bits, bool grey, bool alpha, unsigned char* out) {
  if (grey) {
    out[0] = out[1] = out[2] = p[0];
    out[3] = bits == 16 ? p[1] : 255;
  } else if (bits == 15 || bits == 16) {
    const uint32_t v = p[0] | uint32_t{p[1]} << 8;
    out[0] = static_cast<unsigned char>(((v >> 10) & 31) * 255 / 31);
    out[1] = static_cast<unsigned char>(((v >> 5) & 31) * 255 / 31);
    out[2] = static_cast<unsigned char>((v & 31) * 255 / 31);
    out[3] = bits == 16 && alpha ? (v >> 15 ? 255 : 0) : 255;
  } else {
    out[0] = p[2], out[1] = p[1], out[2] = p[0];
    out[3] = bits == 32 && alpha ? p[3] : 255;
  }
}

}  // namespace

bool LooksLikeTga(const std::string& b) {
  if (b.size() < 18) return false;
  const Header h = ReadHeader(b);
  const bool typeValid =
      h.type == 1 || h.type == 2 || h.type == 3 || h.type == 9 || h.type == 10 || h.type == 11;
  if (!typeValid || h.mapType > 1 || h.width == 0 || h.height == 0 || (h.descriptor & 0xC0))
    return false;
  if (ColourMapped(h))
    return h.mapType == 1 && h.mapLength > 0 && EntryBitsValid(h.mapEntryBits) &&
           (h.bits == 8 || h.bits == 16);
  if (h.mapType == 1 && !EntryBitsValid(h.mapEntryBits)) return false;
  return Grey(h) ? h.bits == 8 || h.bits == 16 : EntryBitsValid(h.bits);
}

bool DecodeTga(const std::string& b, DecodedImage* image, std::string* why) {
  const Header h = ReadHeader(b);
  if (!CheckSize(h.width, h.height, PixelFormat::kRgba8, why)) return false;
  const bool alpha = (h.descriptor & 15) != 0, rle = h.type >= 9;
  const size_t entryBytes = (h.mapEntryBits + 7) / 8, pixelBytes = (h.bits + 7) / 8;
  size_t at = 18 + h.idLength;
  const size_t mapBytes = h.mapType == 1 ? h.mapLength * entryBytes : 0;
  if (b.size() < at + mapBytes) {
    *why = "the TGA colour map is cut short";
    return false;
  }
  const auto* p = reinterpret_cast<const unsigned char*>(b.data());
  std::vector<unsigned char> map;
  if (ColourMapped(h)) {
    map.resize(size_t{h.mapLength} * 4);
    for (uint32_t i = 0; i < h.mapLength; ++i)
      ToRgba(p + at + i * entryBytes, h.mapEntryBits, false, alpha, &map[i * 4]);
  }
  at += mapBytes;
  const uint64_t count = uint64_t{h.width} * h.height, left = b.size() - at;
  // Refuse before allocating: raw data is all there, or packets of at most 128 pixels could be.
  if (rle ? left < (count + 127) / 128 * (1 + pixelBytes) : left < count * pixelBytes) {
    *why = "the image data is cut short";
    return false;
  }
  unsigned char* out = AllocateImage(image, PixelFormat::kRgba8, static_cast<int>(h.width),
                                     static_cast<int>(h.height), why);
  if (!out) return false;
  const bool topDown = h.descriptor & 0x20, rightToLeft = h.descriptor & 0x10;
  auto store = [&](uint64_t n, const unsigned char* value) {
    const uint64_t row = n / h.width, column = n % h.width;
    const uint64_t y = topDown ? row : h.height - 1 - row;
    const uint64_t x = rightToLeft ? h.width - 1 - column : column;
    unsigned char* dst = out + (y * h.width + x) * 4;
    if (!ColourMapped(h)) {
      ToRgba(value, h.bits, Grey(h), alpha, dst);
      return true;
    }
    const uint32_t index = h.bits == 8 ? value[0] : value[0] | uint32_t{value[1]} << 8;
    if (index < h.mapFirst || index - h.mapFirst >= h.mapLength) {
      *why = "pixel index " + std::to_string(index) + " is outside the colour map";
      return false;
    }
    std::memcpy(dst, &map[(index - h.mapFirst) * 4], 4);
    return true;
  };
  for (uint64_t n = 0; n < count;) {
    uint64_t run = 1;
    bool repeat = false;
    if (rle) {
      if (at >= b.size()) {
        *why = "the image data is cut short";
        return false;
      }
      repeat = p[at] & 0x80;
      run = (p[at] & 0x7F) + 1;
      ++at;
    }
    for (uint64_t i = 0; i < run && n < count; ++i, ++n) {
      if (b.size() - at < pixelBytes) {
        *why = "the image data is cut short";
        return false;
      }
      if (!store(n, p + at)) return false;
      if (!repeat) at += pixelBytes;
    }
    if (repeat) at += pixelBytes;
  }
  return true;
}

}  // namespace formats::image
