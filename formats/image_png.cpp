// PNG through stb_image, after our own reading of the IHDR chunk has bounded the size: a 32 KB
// file can claim 16384 x 16384 pixels, and the decoder would allocate for them before it noticed.
#include <stb_image.h>

#include <climits>

#include "formats/image_readers.hpp"

namespace formats::image {

bool DecodePng(const std::string& bytes, DecodedImage* image, std::string* why) {
  // Signature (8), then the first chunk: length, "IHDR", width, height (big-endian).
  if (bytes.size() < 33 || bytes.compare(12, 4, "IHDR") != 0) {
    *why = "the PNG has no IHDR chunk at its start";
    return false;
  }
  const int64_t width = Be32(bytes, 16), height = Be32(bytes, 20);
  if (!CheckSize(width, height, PixelFormat::kRgba8, why)) return false;
  // Deflate packs at most 1032 bytes into one, and the decoder allocates the inflated rows before
  // it inflates them: a file too small to hold them is refused before that.
  const uint64_t kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
  const uint64_t bits = static_cast<unsigned char>(bytes[24]),
                 type = static_cast<unsigned char>(bytes[25]) % 7;
  const uint64_t rowBytes = 1 + (uint64_t(width) * kChannels[type] * bits + 7) / 8;
  if (uint64_t{bytes.size()} * 1032 < rowBytes * uint64_t(height)) {
    *why = "the file is too small for the " + std::to_string(width) + "x" + std::to_string(height) +
           " picture its header claims";
    return false;
  }
  if (bytes.size() > INT_MAX) {
    *why = "the file is too large";
    return false;
  }
  // Row 0 of the image (its top) stays first, where texture coordinates put v = 0.
  stbi_set_flip_vertically_on_load(0);
  int decodedWidth = 0, decodedHeight = 0, channels = 0;
  stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                          static_cast<int>(bytes.size()), &decodedWidth,
                                          &decodedHeight, &channels, 4);
  if (!pixels) {
    const char* reason = stbi_failure_reason();
    *why = reason && *reason ? std::string("corrupt PNG (") + reason + ")" : "corrupt PNG";
    return false;
  }
  // stb_image allocates with malloc, so the storage's free() releases it.
  image->storage.reset(pixels);
  if (decodedWidth != width || decodedHeight != height) {
    *why = "the decoded size differs from the header's";
    return false;
  }
  image->format = PixelFormat::kRgba8;
  image->width = decodedWidth;
  image->height = decodedHeight;
  image->levels.assign(1, ImageLevel{decodedWidth, decodedHeight, pixels,
                                     LevelBytes(PixelFormat::kRgba8, decodedWidth, decodedHeight)});
  return true;
}

}  // namespace formats::image
