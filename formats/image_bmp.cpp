// BMP files and packed DIBs: every header the format has had (OS/2 core and 2.x, INFO, V2 to V5),
// 1/2/4/8-bit palettes, 16/24/32 bits with or without bit fields, RLE4 and RLE8, rows stored
// either way up. Limits: embedded JPEG or PNG data and the OS/2 Huffman and RLE24 codings are
// refused; a pixel index beyond the palette refuses the image rather than show undefined colour.
#include <bit>
#include <cstdint>

#include "formats/image_readers.hpp"

namespace formats::image {
namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kJpeg = 4, kPng = 5,
                   kAlphaBitFields = 6;

struct Channel {
  uint32_t mask = 0, max = 0;
  int shift = 0;
};

Channel MakeChannel(uint32_t mask) {
  if (!mask) return {};
  const int shift = std::countr_zero(mask);
  return {mask, mask >> shift, shift};
}

unsigned char Expand(const Channel& c, uint32_t value, unsigned char absent) {
  if (!c.mask) return absent;
  return static_cast<unsigned char>((uint64_t{(value & c.mask) >> c.shift} * 255 + c.max / 2) /
                                    c.max);
}

struct Layout {
  int64_t width = 0, rows = 0;
  bool topDown = false;
  uint32_t bits = 0, compression = kRgb;
  size_t pixelOffset = 0;
  Channel red, green, blue, alpha;
  unsigned char palette[256][4] = {};
  uint32_t paletteSize = 0;
};

bool ReadLayout(const std::string& bytes, bool hasFileHeader, Layout* l, std::string* why) {
  const size_t base = hasFileHeader ? 14 : 0;
  if (bytes.size() < base + 16) {
    *why = "the BMP header is cut short";
    return false;
  }
  const uint32_t headerSize = Le32(bytes, base);
  const bool core = headerSize == 12;
  const bool os2 = (headerSize >= 16 && headerSize < 40) || headerSize == 64;
  if (!core && !os2 && headerSize != 40 && headerSize != 52 && headerSize != 56 &&
      headerSize != 108 && headerSize != 124) {
    *why = "unknown BMP header size " + std::to_string(headerSize);
    return false;
  }
  if (bytes.size() < base + headerSize) {
    *why = "the BMP header is cut short";
    return false;
  }
  uint32_t planes, colours = 0;
  if (core) {
    l->width = Le16(bytes, base + 4);
    l->rows = Le16(bytes, base + 6);
    planes = Le16(bytes, base + 8);
    l->bits = Le16(bytes, base + 10);
  } else {
    l->width = static_cast<int32_t>(Le32(bytes, base + 4));
    const int64_t height = static_cast<int32_t>(Le32(bytes, base + 8));
    l->topDown = height < 0;
    l->rows = height < 0 ? -height : height;
    planes = Le16(bytes, base + 12);
    l->bits = Le16(bytes, base + 14);
    if (headerSize >= 20) l->compression = Le32(bytes, base + 16);
    if (headerSize >= 36) colours = Le32(bytes, base + 32);
  }
  if (planes != 1) {
    *why = "the BMP header says " + std::to_string(planes) + " planes (only 1 is valid)";
    return false;
  }
  const uint32_t c = l->compression, bits = l->bits;
  if (c == kJpeg || c == kPng || (os2 && (c == kBitFields || c == kJpeg))) {
    *why = "BMP compression " + std::to_string(c) + " (embedded or OS/2-specific) is not supported";
    return false;
  }
  const bool valid = (c == kRgb && (bits == 1 || bits == 2 || bits == 4 || bits == 8 ||
                                    bits == 16 || bits == 24 || bits == 32)) ||
                     (c == kRle8 && bits == 8) || (c == kRle4 && bits == 4) ||
                     ((c == kBitFields || c == kAlphaBitFields) && (bits == 16 || bits == 32));
  if (!valid) {
    *why = "BMP compression " + std::to_string(c) + " with " + std::to_string(bits) +
           " bits a pixel is not a valid combination";
    return false;
  }
  if (l->topDown && (c == kRle8 || c == kRle4)) {
    *why = "a run-length coded BMP cannot be stored top-down";
    return false;
  }
  if (!CheckSize(l->width, l->rows, PixelFormat::kRgba8, why)) return false;

  size_t paletteStart = base + headerSize;
  if (c == kBitFields || c == kAlphaBitFields) {
    // INFO headers keep the masks after the header; V2 and later inside it.
    size_t masks = base + 40;
    if (headerSize == 40) paletteStart += c == kAlphaBitFields ? 16 : 12;
    if (bytes.size() < masks + 16) {
      *why = "the BMP header is cut short";
      return false;
    }
    l->red = MakeChannel(Le32(bytes, masks));
    l->green = MakeChannel(Le32(bytes, masks + 4));
    l->blue = MakeChannel(Le32(bytes, masks + 8));
    if (c == kAlphaBitFields || headerSize >= 56) l->alpha = MakeChannel(Le32(bytes, masks + 12));
  } else if (bits == 16) {
    l->red = MakeChannel(0x7C00), l->green = MakeChannel(0x03E0), l->blue = MakeChannel(0x001F);
  } else if (bits == 24 || bits == 32) {
    l->red = MakeChannel(0xFF0000), l->green = MakeChannel(0xFF00), l->blue = MakeChannel(0xFF);
    if (bits == 32) l->alpha = MakeChannel(0xFF000000);
  }

  const size_t entry = core ? 3 : 4;
  uint32_t declared = 0;
  if (bits <= 8) declared = colours == 0 || colours > (1u << bits) ? 1u << bits : colours;
  if (hasFileHeader) {
    l->pixelOffset = Le32(bytes, 10);
    if (l->pixelOffset < paletteStart) {
      *why =
          "the BMP pixel data offset " + std::to_string(l->pixelOffset) + " lies inside its header";
      return false;
    }
    // Some writers count more colours than they store; the space before the pixels decides.
    declared =
        static_cast<uint32_t>(std::min<size_t>(declared, (l->pixelOffset - paletteStart) / entry));
  } else {
    l->pixelOffset = paletteStart + declared * entry;
  }
  if (l->pixelOffset > bytes.size()) {
    *why = "the image data is cut short";
    return false;
  }
  l->paletteSize = declared;
  for (uint32_t i = 0; i < declared; ++i) {
    const size_t at = paletteStart + i * entry;
    l->palette[i][0] = static_cast<unsigned char>(bytes[at + 2]);
    l->palette[i][1] = static_cast<unsigned char>(bytes[at + 1]);
    l->palette[i][2] = static_cast<unsigned char>(bytes[at]);
    l->palette[i][3] = 255;
  }
  return true;
}

bool BeyondPalette(const Layout& l, uint32_t index, std::string* why) {
  if (index < l.paletteSize) return false;
  *why = "pixel index " + std::to_string(index) + " is beyond the palette of " +
         std::to_string(l.paletteSize) + " colours";
  return true;
}

bool ReadUncompressed(const std::string& bytes, const Layout& l, unsigned char* out,
                      std::string* why) {
  const uint64_t width = static_cast<uint64_t>(l.width);
  const uint64_t stride = (width * l.bits + 31) / 32 * 4, used = (width * l.bits + 7) / 8;
  // The last row's padding may be missing; its pixels may not.
  if (bytes.size() - l.pixelOffset < stride * static_cast<uint64_t>(l.rows - 1) + used) {
    *why = "the image data is cut short";
    return false;
  }
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data()) + l.pixelOffset;
  const bool fileAlpha = l.alpha.mask != 0;
  bool anyAlpha = false;
  for (int64_t r = 0; r < l.rows; ++r) {
    const unsigned char* row = data + r * stride;
    unsigned char* dst = out + (l.topDown ? r : l.rows - 1 - r) * l.width * 4;
    for (int64_t x = 0; x < l.width; ++x, dst += 4) {
      if (l.bits <= 8) {
        const uint64_t bit = static_cast<uint64_t>(x) * l.bits;
        const uint32_t index = (row[bit / 8] >> (8 - l.bits - bit % 8)) & ((1u << l.bits) - 1);
        if (BeyondPalette(l, index, why)) return false;
        std::memcpy(dst, l.palette[index], 4);
        continue;
      }
      uint32_t v = 0;
      for (uint32_t b = 0; b < l.bits / 8; ++b) v |= uint32_t{row[x * (l.bits / 8) + b]} << (8 * b);
      dst[0] = Expand(l.red, v, 0), dst[1] = Expand(l.green, v, 0), dst[2] = Expand(l.blue, v, 0);
      dst[3] = Expand(l.alpha, v, 255);
      anyAlpha |= fileAlpha && dst[3] != 0;
    }
  }
  // An alpha channel that is zero everywhere is an unused byte, not a transparent picture.
  if (fileAlpha && !anyAlpha)
    for (int64_t i = 0; i < l.width * l.rows; ++i) out[i * 4 + 3] = 255;
  return true;
}

// Runs and escapes: a run paints one index (RLE8) or two alternating ones (RLE4); 0,0 ends a line,
// 0,1 the picture, 0,2,dx,dy skips; 0,n copies n literal pixels padded to a 16-bit boundary.
// Pixels the data never reaches keep palette colour 0; runs past a line's end are clipped.
bool ReadRle(const std::string& bytes, const Layout& l, unsigned char* out, std::string* why) {
  if (l.paletteSize == 0) {
    *why = "the BMP has no palette";
    return false;
  }
  for (int64_t i = 0; i < l.width * l.rows; ++i) std::memcpy(out + i * 4, l.palette[0], 4);
  const bool four = l.compression == kRle4;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t at = l.pixelOffset;
  const size_t end = bytes.size();
  int64_t x = 0, y = 0;  // y counts rows from the bottom
  auto put = [&](uint32_t index) {
    if (BeyondPalette(l, index, why)) return false;
    if (x < l.width && y < l.rows)
      std::memcpy(out + ((l.rows - 1 - y) * l.width + x) * 4, l.palette[index], 4);
    ++x;
    return true;
  };
  while (y < l.rows) {
    if (end - at < 2) {
      *why = "the image data is cut short";
      return false;
    }
    const uint32_t count = p[at], value = p[at + 1];
    at += 2;
    if (count > 0) {
      for (uint32_t i = 0; i < count; ++i)
        if (!put(four ? (i % 2 ? value & 15 : value >> 4) : value)) return false;
    } else if (value == 0) {
      x = 0, ++y;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (end - at < 2) {
        *why = "the image data is cut short";
        return false;
      }
      x += p[at], y += p[at + 1];
      at += 2;
    } else {
      const size_t size = four ? (value + 1) / 2 : value;
      if (end - at < size) {
        *why = "the image data is cut short";
        return false;
      }
      for (uint32_t i = 0; i < value; ++i)
        if (!put(four ? (i % 2 ? p[at + i / 2] & 15 : p[at + i / 2] >> 4) : p[at + i]))
          return false;
      at += (size + 1) & ~size_t{1};
      if (at > end) at = end;
    }
  }
  return true;
}

}  // namespace

bool LooksLikePackedDib(const std::string& bytes) {
  if (bytes.size() < 40) return false;
  const uint32_t header = Le32(bytes, 0);
  if (header != 40 && header != 52 && header != 56 && header != 108 && header != 124) return false;
  const uint32_t bits = Le16(bytes, 14);
  return Le16(bytes, 12) == 1 &&
         (bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 ||
          bits == 32) &&
         Le32(bytes, 16) <= kAlphaBitFields;
}

bool DecodeBmp(const std::string& bytes, bool hasFileHeader, DecodedImage* image,
               std::string* why) {
  // On the stack: about 1 KiB, most of it the palette.
  Layout layout;
  if (!ReadLayout(bytes, hasFileHeader, &layout, why)) return false;
  unsigned char* out = AllocateImage(image, PixelFormat::kRgba8, static_cast<int>(layout.width),
                                     static_cast<int>(layout.rows), why);
  if (!out) return false;
  if (layout.compression == kRle8 || layout.compression == kRle4)
    return ReadRle(bytes, layout, out, why);
  return ReadUncompressed(bytes, layout, out, why);
}

}  // namespace formats::image
