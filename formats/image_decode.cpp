// Which reader a file goes to, decided by its first bytes as the original loader does, and the
// size limits every reader applies before it allocates.
#include "formats/image_decode.hpp"

#include <cstring>

#include "formats/image_readers.hpp"

namespace formats {

size_t LevelBytes(PixelFormat format, int width, int height) {
  const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);
  switch (format) {
    case PixelFormat::kRgba8: return w * h * 4;
    case PixelFormat::kRgba16F: return w * h * 8;
    case PixelFormat::kRgba32F: return w * h * 16;
    case PixelFormat::kDxt1: return (w + 3) / 4 * ((h + 3) / 4) * 8;
    case PixelFormat::kDxt3:
    case PixelFormat::kDxt5: return (w + 3) / 4 * ((h + 3) / 4) * 16;
  }
  return 0;
}

namespace image {

bool CheckSize(int64_t width, int64_t height, PixelFormat format, std::string* why) {
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) {
    *why = "image size " + size + " is not supported (at most " + std::to_string(kMaxImageSide) +
           " pixels on a side)";
    return false;
  }
  if (width * height > kMaxImagePixels) {
    *why = "image size " + size + " is over the limit of " + std::to_string(kMaxImagePixels) +
           " pixels";
    return false;
  }
  const int64_t bytes =
      static_cast<int64_t>(LevelBytes(format, static_cast<int>(width), static_cast<int>(height)));
  if (bytes > kMaxImageBytes) {
    *why = "image size " + size + " would take " + std::to_string(bytes >> 20) +
           " MiB, over the limit of " + std::to_string(kMaxImageBytes >> 20) + " MiB";
    return false;
  }
  return true;
}

unsigned char* AllocateImage(DecodedImage* image, PixelFormat format, int width, int height,
                             std::string* why) {
  if (!CheckSize(width, height, format, why)) return nullptr;
  const size_t size = LevelBytes(format, width, height);
  auto* pixels = static_cast<unsigned char*>(std::malloc(size));
  if (!pixels) {
    *why = "not enough memory for the image";
    return nullptr;
  }
  image->storage.reset(pixels);
  image->format = format;
  image->width = width;
  image->height = height;
  image->levels.assign(1, ImageLevel{width, height, pixels, size});
  return pixels;
}

}  // namespace image

namespace {

bool StartsWith(const std::string& bytes, const char* prefix, size_t length) {
  return bytes.size() >= length && std::memcmp(bytes.data(), prefix, length) == 0;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// "P1".."P6", "PF" or "Pf", then the whitespace before the width.
bool IsNetpbm(const std::string& bytes) {
  if (bytes.size() < 3 || bytes[0] != 'P' || !IsSpace(bytes[2])) return false;
  return (bytes[1] >= '1' && bytes[1] <= '6') || bytes[1] == 'F' || bytes[1] == 'f';
}

}  // namespace

bool DecodeImage(const std::string& bytes, DecodedImage* image, std::string* why) {
  *image = DecodedImage{};
  bool ok = false;
  if (bytes.empty()) {
    *why = "the file is empty";
  } else if (StartsWith(bytes, "DDS ", 4)) {
    ok = image::DecodeDds(bytes, image, why);
  } else if (StartsWith(bytes, "\x89PNG\r\n\x1A\n", 8)) {
    ok = image::DecodePng(bytes, image, why);
  } else if (StartsWith(bytes, "\xFF\xD8\xFF", 3)) {
    ok = image::DecodeJpeg(bytes, image, why);
  } else if (StartsWith(bytes, "BM", 2)) {
    ok = image::DecodeBmp(bytes, true, image, why);
  } else if (StartsWith(bytes, "#?", 2)) {
    ok = image::DecodeHdr(bytes, image, why);
  } else if (IsNetpbm(bytes)) {
    ok = image::DecodePnm(bytes, image, why);
  } else if (image::LooksLikePackedDib(bytes)) {
    ok = image::DecodeBmp(bytes, false, image, why);
  } else if (image::LooksLikeTga(bytes)) {
    ok = image::DecodeTga(bytes, image, why);
  } else {
    *why = "not an image format the loader reads (BMP, DIB, PNG, JPEG, TGA, DDS, PPM, PFM, HDR)";
  }
  if (!ok) *image = DecodedImage{};
  return ok;
}

}  // namespace formats
