// DDS: the 124-byte header and the DX10 extension. S3TC blocks (DXT1 to DXT5, BC1 to BC3) and the
// half and float RGBA formats are handed on as stored, pointing into the file; the 8- to 32-bit
// RGB, luminance and alpha formats are expanded to RGBA8 through their channel masks. Every size is
// checked against the file in 64-bit arithmetic before anything is read. The file's mip chain is
// used when it goes down to 1x1; otherwise only the top level is, and the uploader makes the rest.
// Limits: a cube map gives its first face, a volume its first slice, an array its first element,
// each with a note; bump-map, YUV and the other DXGI formats are refused.
#include <algorithm>
#include <bit>

#include "formats/image_readers.hpp"
#include "formats/quote.hpp"

namespace formats::image {
namespace {

constexpr size_t kHeaderEnd = 128, kDx10End = 148;
constexpr uint32_t kMipMapCountFlag = 0x20000, kCapsMipMap = 0x400000, kCaps2CubeMap = 0x200,
                   kCaps2Volume = 0x200000;
constexpr uint32_t kPfAlphaPixels = 0x1, kPfAlpha = 0x2, kPfFourCc = 0x4, kPfRgb = 0x40,
                   kPfLuminance = 0x20000;

constexpr uint32_t FourCc(const char (&s)[5]) {
  return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
         uint32_t(uint8_t(s[3])) << 24;
}

// How the stored texels are laid out: as one of our formats, or masked channels to expand.
struct Source {
  bool direct = false;
  PixelFormat format = PixelFormat::kRgba8;
  uint32_t bits = 0, red = 0, green = 0, blue = 0, alpha = 0;
  bool luminance = false;
};

Source Direct(PixelFormat format) { return {true, format}; }
Source Masked(uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a, bool l = false) {
  return {false, PixelFormat::kRgba8, bits, r, g, b, a, l};
}

bool FromDxgi(uint32_t dxgi, Source* s) {
  switch (dxgi) {
    case 71:
    case 72: *s = Direct(PixelFormat::kDxt1); return true;
    case 74:
    case 75: *s = Direct(PixelFormat::kDxt3); return true;
    case 77:
    case 78: *s = Direct(PixelFormat::kDxt5); return true;
    case 10: *s = Direct(PixelFormat::kRgba16F); return true;
    case 2: *s = Direct(PixelFormat::kRgba32F); return true;
    case 28:
    case 29: *s = Masked(32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000); return true;
    case 87:
    case 91: *s = Masked(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000); return true;
    case 88:
    case 93: *s = Masked(32, 0xFF0000, 0xFF00, 0xFF, 0); return true;
    case 85: *s = Masked(16, 0xF800, 0x07E0, 0x001F, 0); return true;
    case 86: *s = Masked(16, 0x7C00, 0x03E0, 0x001F, 0x8000); return true;
    case 115: *s = Masked(16, 0x0F00, 0x00F0, 0x000F, 0xF000); return true;
    case 61: *s = Masked(8, 0xFF, 0, 0, 0); return true;
    case 65: *s = Masked(8, 0, 0, 0, 0xFF); return true;
  }
  return false;
}

bool FromPixelFormat(const std::string& b, Source* s, bool* dx10, std::string* why) {
  const uint32_t flags = Le32(b, 80), fourCc = Le32(b, 84), bits = Le32(b, 88);
  if (flags & kPfFourCc) {
    switch (fourCc) {
      case FourCc("DXT1"): *s = Direct(PixelFormat::kDxt1); return true;
      case FourCc("DXT2"):
      case FourCc("DXT3"): *s = Direct(PixelFormat::kDxt3); return true;
      case FourCc("DXT4"):
      case FourCc("DXT5"): *s = Direct(PixelFormat::kDxt5); return true;
      case FourCc("DX10"): *dx10 = true; return true;
      case 113: *s = Direct(PixelFormat::kRgba16F); return true;  // A16B16G16R16F
      case 116: *s = Direct(PixelFormat::kRgba32F); return true;  // A32B32G32R32F
    }
    *why = "DDS pixel format " + std::to_string(fourCc) + " (FourCC " + Quote(b.substr(84, 4)) +
           ") is not supported";
    return false;
  }
  if ((flags & (kPfRgb | kPfLuminance | kPfAlpha)) &&
      (bits == 8 || bits == 16 || bits == 24 || bits == 32)) {
    const uint32_t alpha = flags & (kPfAlphaPixels | kPfAlpha) ? Le32(b, 104) : 0;
    if (flags & (kPfRgb | kPfLuminance)) {
      *s = Masked(bits, Le32(b, 92), Le32(b, 96), Le32(b, 100), alpha, !(flags & kPfRgb));
    } else {
      *s = Masked(bits, 0, 0, 0, alpha);
    }
    return true;
  }
  *why = "DDS pixel format with flags " + std::to_string(flags) + " and " + std::to_string(bits) +
         " bits is not supported";
  return false;
}

uint64_t StoredBytes(const Source& s, int width, int height) {
  if (s.direct) return LevelBytes(s.format, width, height);
  return uint64_t(width) * uint64_t(height) * (s.bits / 8);
}

unsigned char Expand(uint32_t mask, uint32_t value, unsigned char absent) {
  if (!mask) return absent;
  const int shift = std::countr_zero(mask);
  const uint64_t max = mask >> shift;
  return static_cast<unsigned char>((uint64_t((value & mask) >> shift) * 255 + max / 2) / max);
}

void ExpandLevel(const Source& s, const unsigned char* in, size_t pixels, unsigned char* out) {
  const size_t step = s.bits / 8;
  for (size_t i = 0; i < pixels; ++i, in += step, out += 4) {
    uint32_t v = 0;
    for (size_t k = 0; k < step; ++k) v |= uint32_t(in[k]) << (8 * k);
    out[0] = Expand(s.red, v, 0);
    out[1] = s.luminance ? out[0] : Expand(s.green, v, 0);
    out[2] = s.luminance ? out[0] : Expand(s.blue, v, 0);
    out[3] = Expand(s.alpha, v, 255);
  }
}

}  // namespace

bool DecodeDds(const std::string& b, DecodedImage* image, std::string* why) {
  if (b.size() < kHeaderEnd || Le32(b, 4) != 124) {
    *why = "the DDS header is cut short or not 124 bytes long";
    return false;
  }
  const int64_t height = Le32(b, 12), width = Le32(b, 16);
  const uint32_t flags = Le32(b, 8), caps = Le32(b, 108), caps2 = Le32(b, 112);
  uint32_t mipCount = (flags & kMipMapCountFlag) || (caps & kCapsMipMap) ? Le32(b, 28) : 1;
  Source source;
  bool dx10 = false;
  if (!FromPixelFormat(b, &source, &dx10, why)) return false;
  size_t offset = kHeaderEnd;
  bool cube = caps2 & kCaps2CubeMap, volume = caps2 & kCaps2Volume;
  uint32_t arraySize = 1;
  if (dx10) {
    if (b.size() < kDx10End) {
      *why = "the DDS header is cut short";
      return false;
    }
    const uint32_t dxgi = Le32(b, 128), dimension = Le32(b, 132);
    if (!FromDxgi(dxgi, &source)) {
      *why = "DXGI format " + std::to_string(dxgi) + " is not supported";
      return false;
    }
    cube = Le32(b, 136) & 0x4;
    volume = dimension == 4;
    arraySize = Le32(b, 140);
    offset = kDx10End;
  }
  const PixelFormat format = source.direct ? source.format : PixelFormat::kRgba8;
  if (!CheckSize(width, height, format, why)) return false;

  const uint32_t fullChain = std::bit_width(static_cast<uint32_t>(std::max(width, height)));
  // A volume's later levels are thinner stacks of slices, not the first slice's chain.
  const uint32_t levels = mipCount >= fullChain && !volume ? fullChain : 1;
  uint64_t total = 0;
  for (uint32_t i = 0; i < levels; ++i)
    total +=
        StoredBytes(source, std::max<int>(1, int(width >> i)), std::max<int>(1, int(height >> i)));
  if (b.size() - offset < total) {
    *why = "the DDS data is cut short (" + std::to_string(total) + " bytes needed, " +
           std::to_string(b.size() - offset) + " there)";
    return false;
  }

  image->format = format;
  image->width = static_cast<int>(width);
  image->height = static_cast<int>(height);
  unsigned char* converted = nullptr;
  if (!source.direct) {
    uint64_t outBytes = 0;
    for (uint32_t i = 0; i < levels; ++i)
      outBytes +=
          LevelBytes(format, std::max<int>(1, int(width >> i)), std::max<int>(1, int(height >> i)));
    converted = static_cast<unsigned char*>(std::malloc(outBytes));
    if (!converted) {
      *why = "not enough memory for the image";
      return false;
    }
    image->storage.reset(converted);
  }
  const auto* in = reinterpret_cast<const unsigned char*>(b.data()) + offset;
  for (uint32_t i = 0; i < levels; ++i) {
    const int w = std::max<int>(1, int(width >> i)), h = std::max<int>(1, int(height >> i));
    const size_t size = LevelBytes(format, w, h);
    if (source.direct) {
      image->levels.push_back({w, h, in, size});
    } else {
      ExpandLevel(source, in, size_t(w) * h, converted);
      image->levels.push_back({w, h, converted, size});
      converted += size;
    }
    in += StoredBytes(source, w, h);
  }
  if (cube)
    image->note = "a cube map: only its first face is used";
  else if (volume)
    image->note = "a volume texture: only its first slice is used";
  else if (arraySize > 1)
    image->note = "an array of " + std::to_string(arraySize) + " textures: only the first is used";
  return true;
}

}  // namespace formats::image
