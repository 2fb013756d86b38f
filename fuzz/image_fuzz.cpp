// Fuzz harness for image loading: the texture loader's decode step (format gate, header check, the
// side limit, decode to RGBA8) on any bytes, with the decoder's own code compiled into the harness
// so the sanitizers see inside it.
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
    Check(!why.empty() && image.pixels == nullptr, "a refused image has a reason and no pixels");
    return 0;
  }
  Check(image.width > 0 && image.height > 0 && image.width <= formats::kMaxImageSide &&
            image.height <= formats::kMaxImageSide,
        "a decoded image has a sane size");
  // Touch the last pixel: the buffer must hold all of them.
  volatile unsigned char last =
      image.pixels[(size_t{static_cast<size_t>(image.width)} * image.height - 1) * 4 + 3];
  (void)last;
  formats::FreeImage(&image);
  return 0;
}
