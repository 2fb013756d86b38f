// Turning the bytes of an image file into RGBA8 pixels, without GL, so the texture loader and the
// image fuzz target run exactly the same checks. Reads BMP and PNG; other formats are refused,
// since the decoder this builds on corrupts memory on hostile JPEG and 16-bit PNM input.
#pragma once
#include <string>

namespace formats {

constexpr int kMaxImageSide = 16384;

struct DecodedImage {
  int width = 0, height = 0;
  unsigned char* pixels = nullptr;  // width * height * 4 bytes, top row first; FreeImage() it
};

// False, with the reason in *why, for anything that is not a whole, sane BMP or PNG.
bool DecodeImage(const std::string& bytes, DecodedImage* image, std::string* why);
void FreeImage(DecodedImage* image);

}  // namespace formats
