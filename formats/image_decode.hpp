// Turning the bytes of an image file into pixels a texture upload takes, without GL, so the texture
// loader and the image fuzz target run exactly the same checks. The format is told by content,
// never by name: BMP/DIB, PNG, JPEG, TGA, DDS, PPM/PGM/PBM, PFM and Radiance HDR.
// Limits: at most kMaxImageSide pixels on a side, kMaxImagePixels in all, kMaxImageBytes decoded;
// every size a header claims is checked against these and against the file before anything is
// allocated for it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace formats {

constexpr int kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = int64_t{1} << 26;  // 64 Mpixel: 8192 x 8192
constexpr int64_t kMaxImageBytes = int64_t{1} << 28;   // 256 MiB: float images 16 Mpixel at most

enum class PixelFormat {
  kRgba8,    // 4 bytes a pixel, R first
  kRgba16F,  // 4 half floats a pixel (DDS A16B16G16R16F as stored)
  kRgba32F,  // 4 floats a pixel (HDR, PFM, DDS A32B32G32R32F)
  kDxt1,     // S3TC blocks as stored: 8 bytes per 4x4 block, 1-bit alpha
  kDxt3,     // 16 bytes per block, explicit alpha
  kDxt5,     // 16 bytes per block, interpolated alpha
};

// Bytes of one level of the given size: whole 4x4 blocks for the compressed formats.
size_t LevelBytes(PixelFormat format, int width, int height);

struct ImageLevel {
  int width = 0, height = 0;
  const unsigned char* data = nullptr;  // LevelBytes(format, width, height) bytes, top row first
  size_t size = 0;
};

struct FreeBytes {
  void operator()(unsigned char* p) const { std::free(p); }
};

struct DecodedImage {
  PixelFormat format = PixelFormat::kRgba8;
  int width = 0, height = 0;
  // levels[0] is the picture; more levels are the file's own complete mip chain down to 1x1, one
  // level means the uploader makes the chain. Levels point into `storage` or, for formats the GPU
  // takes as stored, into the file's bytes, which must then outlive the image.
  std::vector<ImageLevel> levels;
  std::string note;  // what the user should hear although the image loads, or empty
  std::unique_ptr<unsigned char, FreeBytes> storage;
};

// False, with the reason in *why, for anything that is not a whole, sane image of a known format.
bool DecodeImage(const std::string& bytes, DecodedImage* image, std::string* why);

}  // namespace formats
