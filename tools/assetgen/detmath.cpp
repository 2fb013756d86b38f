// Deterministic maths for the generator: sine and cosine from fixed polynomials, a seeded
// integer hash and tiling value noise. libm's sin/cos may differ in the last bit between
// versions, which would change the committed bytes; these cannot.
#include <cmath>

#include "tools/assetgen/assetgen.hpp"

namespace assetgen {

double Length(Vec3 v) { return detmath::Sqrt(Dot(v, v)); }

Vec3 Normalize(Vec3 v) {
  const double length = Length(v);
  return length > 0.0 ? v * (1.0 / length) : Vec3{0.0, 1.0, 0.0};
}

namespace detmath {
namespace {

// Taylor series on [-pi/4, pi/4]; the terms kept are below 1e-17 at the interval's end.
double SinPoly(double r) {
  const double r2 = r * r;
  double term = r, sum = r;
  for (int k = 1; k <= 9; ++k) {
    term = -term * r2 / double((2 * k) * (2 * k + 1));
    sum += term;
  }
  return sum;
}

double CosPoly(double r) {
  const double r2 = r * r;
  double term = 1.0, sum = 1.0;
  for (int k = 1; k <= 9; ++k) {
    term = -term * r2 / double((2 * k - 1) * (2 * k));
    sum += term;
  }
  return sum;
}

// Reduces x by a multiple of pi/2 (split in two parts so the reduction loses little precision
// for the small angles the generator uses) and returns the quadrant.
double Reduce(double x, long* quadrant) {
  constexpr double kHalfPiHigh = 1.5707963267341256;  // 33 significant bits of pi/2
  constexpr double kHalfPiLow = 6.077100506506192e-11;
  const double k = Floor(x * (2.0 / kPi) + 0.5);
  *quadrant = static_cast<long>(k);
  return (x - k * kHalfPiHigh) - k * kHalfPiLow;
}

uint32_t Mix32(uint32_t h) {
  h ^= h >> 16;
  h *= 0x7feb352dU;
  h ^= h >> 15;
  h *= 0x846ca68bU;
  h ^= h >> 16;
  return h;
}

int32_t Wrap(int32_t value, int32_t period) { return ((value % period) + period) % period; }

}  // namespace

double Sin(double x) {
  long q = 0;
  const double r = Reduce(x, &q);
  switch (((q % 4) + 4) % 4) {
    case 0: return SinPoly(r);
    case 1: return CosPoly(r);
    case 2: return -SinPoly(r);
    default: return -CosPoly(r);
  }
}

double Cos(double x) {
  long q = 0;
  const double r = Reduce(x, &q);
  switch (((q % 4) + 4) % 4) {
    case 0: return CosPoly(r);
    case 1: return -SinPoly(r);
    case 2: return -CosPoly(r);
    default: return SinPoly(r);
  }
}

double Tan(double x) { return Sin(x) / Cos(x); }
double Sqrt(double x) { return std::sqrt(x); }  // correctly rounded by IEEE 754
double Floor(double x) { return std::floor(x); }
double Fract(double x) { return x - Floor(x); }
double Clamp(double x, double lo, double hi) { return x < lo ? lo : (x > hi ? hi : x); }
double Mix(double a, double b, double t) { return a + (b - a) * t; }

double Smoothstep(double e0, double e1, double x) {
  const double t = Clamp((x - e0) / (e1 - e0), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

double Hash(int32_t x, int32_t y, int32_t periodX, int32_t periodY, uint32_t seed) {
  const uint32_t wx = static_cast<uint32_t>(Wrap(x, periodX));
  const uint32_t wy = static_cast<uint32_t>(Wrap(y, periodY));
  const uint32_t h = Mix32(wx * 0x9e3779b1U ^ Mix32(wy + 0x632be5abU * seed) ^ seed);
  return double(h >> 8) / 16777216.0;
}

double ValueNoise(double x, double y, int32_t periodX, int32_t periodY, uint32_t seed) {
  const double fx = Floor(x), fy = Floor(y);
  const int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
  const double tx = Smoothstep(0.0, 1.0, x - fx), ty = Smoothstep(0.0, 1.0, y - fy);
  const auto at = [&](int32_t dx, int32_t dy) {
    return Hash(ix + dx, iy + dy, periodX, periodY, seed);
  };
  const double a = at(0, 0), b = at(1, 0), c = at(0, 1), d = at(1, 1);
  return Mix(Mix(a, b, tx), Mix(c, d, tx), ty);
}

double Fbm(double x, double y, int32_t periodX, int32_t periodY, int octaves, uint32_t seed) {
  double sum = 0.0, weight = 0.5, total = 0.0;
  for (int octave = 0; octave < octaves; ++octave) {
    sum += weight * ValueNoise(x, y, periodX, periodY, seed + 101U * uint32_t(octave));
    total += weight;
    x *= 2.0;
    y *= 2.0;
    periodX *= 2;
    periodY *= 2;
    weight *= 0.5;
  }
  return sum / total;
}

}  // namespace detmath
}  // namespace assetgen
