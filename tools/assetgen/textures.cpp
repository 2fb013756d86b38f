// The two textures and the BMP writer. Both images tile (every noise repeats within the image):
// the samplers wrap and the chair maps wood in world units. Wood grain runs along u; marble cells
// are twice as tall as wide, so they look round on the sphere, whose u spans twice the distance.
#include "tools/assetgen/assetgen.hpp"

namespace assetgen {

namespace {

using namespace detmath;

struct Rgb {
  double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) {
  return {detmath::Mix(a.r, b.r, t), detmath::Mix(a.g, b.g, t), detmath::Mix(a.b, b.b, t)};
}
Rgb Scale(Rgb c, double s) { return {c.r * s, c.g * s, c.b * s}; }

uint8_t ToByte(double c) { return uint8_t(Clamp(c, 0.0, 1.0) * 255.0 + 0.5); }

template <class Shade>
Image Render(int size, Shade shade) {
  Image image{size, size, std::vector<uint8_t>(size_t(size) * size * 3)};
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const Rgb c = shade((x + 0.5) / size, (y + 0.5) / size);
      uint8_t* px = &image.rgb[(size_t(y) * size + x) * 3];
      px[0] = ToByte(c.r);
      px[1] = ToByte(c.g);
      px[2] = ToByte(c.b);
    }
  }
  return image;
}

double Pow(double x, int n) {
  double result = 1.0;
  for (int i = 0; i < n; ++i) result *= x;
  return result;
}

}  // namespace

Image MakeWoodTexture() {
  return Render(256, [](double s, double t) {
    // Growth rings: whole rings per tile, bent by low-frequency noise so they wander.
    const double wander = Fbm(s * 2, t * 4, 2, 4, 4, 11) - 0.5;
    const double fine = Fbm(s * 4, t * 16, 4, 16, 3, 12) - 0.5;
    const double ring = Fract(t * 6 + 1.6 * wander + 0.25 * fine);
    const double late = Smoothstep(0.55, 0.9, ring) * (1.0 - Smoothstep(0.92, 1.0, ring));
    const Rgb early{0.87, 0.65, 0.41}, lateWood{0.54, 0.32, 0.15};
    Rgb c = Mix(early, lateWood, 0.8 * late + 0.12 * ring);
    // Long thin streaks along the grain, and the odd pore.
    const double streak = Fbm(s * 3, t * 96, 3, 96, 3, 13);
    c = Scale(c, 0.82 + 0.32 * streak);
    if (Hash(int32_t(s * 48), int32_t(t * 256), 48, 256, 14) > 0.965) c = Scale(c, 0.78);
    return Scale(c, 0.9 + 0.2 * Fbm(s * 2, t * 2, 2, 2, 3, 15));
  });
}

Image MakeMarbleTexture() {
  return Render(512, [](double s, double t) {
    // Domain-warped noise: each warp is itself periodic, so the result still tiles.
    const double q1 = Fbm(s * 4, t * 2, 4, 2, 5, 21);
    const double q2 = Fbm(s * 4 + 5.2, t * 2 + 1.3, 4, 2, 5, 22);
    const double f = Fbm(s * 4 + 3.0 * q1, t * 2 + 3.0 * q2, 4, 2, 5, 23);
    const double wave = Sin(2.0 * kPi * (2.0 * s + t) + 11.0 * f);
    // Veins fade towards the top and bottom rows, where the sphere gathers them into its poles.
    const double poles = Smoothstep(0.0, 0.15, t) * Smoothstep(1.0, 0.85, t);
    const double vein = Pow(1.0 - (wave < 0 ? -wave : wave), 7) * (0.35 + 0.65 * poles);
    const Rgb deep{0.10, 0.18, 0.46}, teal{0.05, 0.62, 0.66}, rose{0.82, 0.26, 0.50};
    const Rgb gold{0.99, 0.76, 0.28}, cream{1.0, 0.97, 0.90};
    Rgb c = Mix(deep, teal, Smoothstep(0.3, 0.7, f));
    c = Mix(c, rose, 0.8 * Smoothstep(0.48, 0.72, q1));
    c = Mix(c, gold, 0.85 * Smoothstep(0.5, 0.75, q2));
    return Mix(c, cream, vein);
  });
}

std::string BmpBytes(const Image& image) {
  const uint32_t rowBytes = (uint32_t(image.width) * 3 + 3) & ~3u;
  const uint32_t pixelBytes = rowBytes * uint32_t(image.height);
  std::string out(54 + pixelBytes, '\0');
  const auto put16 = [&](size_t at, uint32_t v) {
    out[at] = char(v & 0xff);
    out[at + 1] = char((v >> 8) & 0xff);
  };
  const auto put32 = [&](size_t at, uint32_t v) {
    put16(at, v & 0xffff);
    put16(at + 2, v >> 16);
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, 54 + pixelBytes);  // file size
  put32(10, 54);              // offset of the pixels
  put32(14, 40);              // BITMAPINFOHEADER
  put32(18, uint32_t(image.width));
  put32(22, uint32_t(image.height));  // positive: rows stored bottom-up
  put16(26, 1);                       // planes
  put16(28, 24);                      // bits per pixel
  put32(34, pixelBytes);
  put32(38, 2835);  // 72 dpi
  put32(42, 2835);
  for (int y = 0; y < image.height; ++y) {
    const uint8_t* src = &image.rgb[size_t(image.height - 1 - y) * image.width * 3];
    char* dst = &out[54 + size_t(y) * rowBytes];
    for (int x = 0; x < image.width; ++x) {  // BMP stores blue, green, red
      dst[x * 3 + 0] = char(src[x * 3 + 2]);
      dst[x * 3 + 1] = char(src[x * 3 + 1]);
      dst[x * 3 + 2] = char(src[x * 3 + 0]);
    }
  }
  return out;
}

}  // namespace assetgen
