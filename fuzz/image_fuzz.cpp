// Fuzz harness for image loading: the texture loader's decode steps on any bytes (header check,
// the side limit, decode to RGBA8), with the decoder's own code compiled into the harness so the
// sanitizers see inside it. The loader keeps these steps inside its GL upload function, so they are
// repeated here; keep the two in step.
#include <stb_image.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kMaxSide = 16384;  // the texture loader's limit

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "image invariant broken: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > INT32_MAX) return 0;
  const int length = static_cast<int>(size);
  int width = 0, height = 0, channels = 0;
  if (!stbi_info_from_memory(data, length, &width, &height, &channels)) return 0;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return 0;
  stbi_set_flip_vertically_on_load(0);
  int w = 0, h = 0;
  stbi_uc* pixels = stbi_load_from_memory(data, length, &w, &h, &channels, 4);
  if (!pixels) {
    Check(stbi_failure_reason() != nullptr, "a failed decode has a reason");
    return 0;
  }
  // The upload sizes its texture from these; they must be what the header promised.
  Check(w == width && h == height, "decoded size equals the header's size");
  // Touch the last pixel: the buffer must hold all of them.
  volatile stbi_uc last = pixels[(size_t{static_cast<size_t>(w)} * h - 1) * 4 + 3];
  (void)last;
  stbi_image_free(pixels);
  return 0;
}
