// Fuzz harness for image loading: the texture loader's decode step (format told by content, header
// checks, size limits, every reader) on any bytes, with stb_image's own code compiled into the
// harness so the sanitizers see inside it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "formats/image_decode.hpp"

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "image invariant broken: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  formats::DecodedImage image;
  std::string why;
  if (!formats::DecodeImage(bytes, &image, &why)) {
    Check(!why.empty() && image.levels.empty() && !image.storage,
          "a refused image has a reason and no pixels");
    return 0;
  }
  Check(image.width > 0 && image.height > 0 && image.width <= formats::kMaxImageSide &&
            image.height <= formats::kMaxImageSide &&
            int64_t{image.width} * image.height <= formats::kMaxImagePixels,
        "a decoded image has a sane size");
  Check(!image.levels.empty() && image.levels[0].width == image.width &&
            image.levels[0].height == image.height,
        "the first level is the picture");
  Check(image.levels.size() == 1 || image.levels.back().width * image.levels.back().height == 1,
        "a mip chain goes down to 1x1");
  for (size_t i = 0; i < image.levels.size(); ++i) {
    const formats::ImageLevel& level = image.levels[i];
    Check(level.width == std::max(1, image.width >> i) &&
              level.height == std::max(1, image.height >> i) &&
              level.size == formats::LevelBytes(image.format, level.width, level.height),
          "every level has the size its format and place give it");
    // Touch the first and last byte: the buffer must hold the whole level.
    volatile unsigned char first = level.data[0], last = level.data[level.size - 1];
    (void)first, (void)last;
  }
  return 0;
}
