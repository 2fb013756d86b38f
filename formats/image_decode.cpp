#include "formats/image_decode.hpp"

#include <stb_image.h>

#include <climits>
#include <cstdint>
#include <cstring>

namespace formats {
namespace {

bool IsBmp(const std::string& bytes) { return bytes.size() >= 2 && bytes.compare(0, 2, "BM") == 0; }

bool IsPng(const std::string& bytes) {
  static const char kSignature[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1A', '\n'};
  return bytes.size() >= 8 && std::memcmp(bytes.data(), kSignature, 8) == 0;
}

// stb_image fills a short uncompressed BMP up with whatever it finds, so a cut-off file would load
// as a picture with garbage in it; the header says how long the pixel data must be.
bool BmpIsTruncated(const std::string& bytes) {
  if (bytes.size() < 54 || !IsBmp(bytes)) return false;
  auto read32 = [&](size_t at) {
    uint32_t v;
    std::memcpy(&v, &bytes[at], 4);
    return v;
  };
  const uint32_t offset = read32(10), compression = read32(30);
  const int32_t width = static_cast<int32_t>(read32(18)), height = static_cast<int32_t>(read32(22));
  uint16_t bits;
  std::memcpy(&bits, &bytes[28], 2);
  if (compression != 0 || width <= 0 || height == 0) return false;
  const uint64_t stride = (uint64_t{static_cast<uint32_t>(width)} * bits + 31) / 32 * 4;
  const uint64_t rows = height < 0 ? -int64_t{height} : height;
  return bytes.size() < uint64_t{offset} + stride * rows;
}

}  // namespace

bool DecodeImage(const std::string& bytes, DecodedImage* image, std::string* why) {
  *image = DecodedImage{};
  if (!IsBmp(bytes) && !IsPng(bytes)) {
    *why = "not a BMP or PNG image";
    return false;
  }
  if (bytes.size() > INT_MAX) {
    *why = "the file is too large";
    return false;
  }
  const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  const int size = static_cast<int>(bytes.size());
  int width = 0, height = 0, channels = 0;
  // The header first, so a hostile size is refused before anything is allocated for it.
  if (!stbi_info_from_memory(data, size, &width, &height, &channels)) {
    *why = std::string("not a readable image (") + stbi_failure_reason() + ")";
    return false;
  }
  if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) {
    *why =
        "image size " + std::to_string(width) + "x" + std::to_string(height) + " is not supported";
    return false;
  }
  if (BmpIsTruncated(bytes)) {
    *why = "the image data is cut short";
    return false;
  }
  // Row 0 of the image (its top) stays first, where texture coordinates put v = 0.
  stbi_set_flip_vertically_on_load(0);
  int decodedWidth = 0, decodedHeight = 0;
  stbi_uc* pixels = stbi_load_from_memory(data, size, &decodedWidth, &decodedHeight, &channels, 4);
  if (!pixels) {
    *why = std::string("corrupt image (") + stbi_failure_reason() + ")";
    return false;
  }
  if (decodedWidth != width || decodedHeight != height) {
    stbi_image_free(pixels);
    *why = "the decoded size differs from the header's";
    return false;
  }
  image->width = width;
  image->height = height;
  image->pixels = pixels;
  return true;
}

void FreeImage(DecodedImage* image) {
  stbi_image_free(image->pixels);
  *image = DecodedImage{};
}

}  // namespace formats
