// The per-format image readers behind DecodeImage and the checks they share. Each reader is handed
// a file the dispatcher has already told apart by its first bytes, and checks everything else.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>

#include "formats/image_decode.hpp"

namespace formats::image {

bool DecodeBmp(const std::string& bytes, bool hasFileHeader, DecodedImage* image, std::string* why);
bool DecodePng(const std::string& bytes, DecodedImage* image, std::string* why);
bool DecodeJpeg(const std::string& bytes, DecodedImage* image, std::string* why);
bool DecodeTga(const std::string& bytes, DecodedImage* image, std::string* why);
bool DecodeHdr(const std::string& bytes, DecodedImage* image, std::string* why);
bool DecodePnm(const std::string& bytes, DecodedImage* image, std::string* why);  // P1..P6, PF, Pf
bool DecodeDds(const std::string& bytes, DecodedImage* image, std::string* why);

// TGA has no signature; a header whose every field is one the format allows is the test.
bool LooksLikeTga(const std::string& bytes);
// A BMP without its 14-byte file header, as the clipboard and some .dib files hold it.
bool LooksLikePackedDib(const std::string& bytes);

// The side, pixel and byte limits for a picture of this size; the reason names the size.
bool CheckSize(int64_t width, int64_t height, PixelFormat format, std::string* why);

// Checks the size, then allocates one level of it (uninitialised) as the image's only level.
unsigned char* AllocateImage(DecodedImage* image, PixelFormat format, int width, int height,
                             std::string* why);

inline uint32_t Le16(const std::string& b, size_t at) {
  return uint32_t{static_cast<unsigned char>(b[at])} |
         uint32_t{static_cast<unsigned char>(b[at + 1])} << 8;
}
inline uint32_t Le32(const std::string& b, size_t at) {
  return Le16(b, at) | Le16(b, at + 2) << 16;
}
inline uint32_t Be32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
  return v;
}

}  // namespace formats::image
