// Our matrix builders (render/gfx/matrix.cpp, GLM) against D3DX's over a sweep of angles,
// translations, scales and fields of view, run under Wine: every element within kMaxUlp units in
// the last place. The Windows program uses D3DX's builders and the Linux one ours, so this is
// what keeps the two drawing the same scene. Prints the worst distance seen per builder.
#include <d3dx9.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <numbers>

#include "render/gfx/matrix.hpp"

namespace {

constexpr int64_t kMaxUlp = 2;
// Two inverses are two different eliminations, and a matrix conditioned like a scaled world times
// a projection amplifies their rounding: 1024 ulps of the row is a relative 6e-5, far below what a
// pixel shows. Seen at most 251 under Wine 8.
constexpr int64_t kMaxInverseUlp = 1024;

// Distance in representable floats; +0 and -0 are the same place.
int64_t UlpDistance(float a, float b) {
  auto ordered = [](float f) {
    int32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits < 0 ? int64_t{INT32_MIN} - bits : int64_t{bits};
  };
  const int64_t d = ordered(a) - ordered(b);
  return d < 0 ? -d : d;
}

// The same sixteen floats as an operand for D3DX.
D3DXMATRIX AsD3DX(const gfx::Matrix& m) { return D3DXMATRIX(&m.m[0][0]); }

// An element that is a small difference of two products of sines and cosines (a rotation's
// element near zero) carries the rounding of those unit-sized terms: a hundred thousand of its own
// ulps apart while both are right to within a rounding of 1. So each element is measured in ulps
// of the largest element of its row as D3DX makes it, and its own ulps are only reported.
double RowUlps(float a, float b, float rowScale) {
  if (rowScale == 0.0f) return static_cast<double>(UlpDistance(a, b));
  const float unit = std::nextafter(rowScale, INFINITY) - rowScale;
  return std::fabs(static_cast<double>(a) - static_cast<double>(b)) / unit;
}

struct Tally {
  const char* name;
  double worst = 0;          // in ulps of the row's scale: what is checked
  int64_t worstElement = 0;  // in the element's own ulps
  long cases = 0, failures = 0;
};

void Compare(Tally* tally, const gfx::Matrix& ours, const D3DXMATRIX& theirs, const char* what,
             int64_t maxUlp = kMaxUlp) {
  ++tally->cases;
  bool reported = false;
  for (int r = 0; r < 4; ++r) {
    float rowScale = 0.0f;
    for (int c = 0; c < 4; ++c) rowScale = std::max(rowScale, std::fabs(theirs.m[r][c]));
    for (int c = 0; c < 4; ++c) {
      const double d = RowUlps(ours.m[r][c], theirs.m[r][c], rowScale);
      const int64_t own = UlpDistance(ours.m[r][c], theirs.m[r][c]);
      tally->worst = std::max(tally->worst, d);
      tally->worstElement = std::max(tally->worstElement, own);
      if (d > maxUlp && !reported) {
        // One line per failing case is enough to see the pattern without flooding the log.
        std::printf("FAIL %s %s: [%d][%d] ours %.9g, D3DX %.9g (%.2f ulp of the row)\n",
                    tally->name, what, r, c, ours.m[r][c], theirs.m[r][c], d);
        reported = true;
      }
    }
  }
  tally->failures += reported;
}

void Report(const Tally& tally) {
  std::printf(
      "%-26s %6ld cases, worst %.2f ulp of the row (%lld of the element), %ld over the "
      "limit\n",
      tally.name, tally.cases, tally.worst, static_cast<long long>(tally.worstElement),
      tally.failures);
}

// Whole turns both ways, in steps that are not a fraction of π, plus the exact quarter turns
// where sines and cosines meet zero.
constexpr int kAngleSteps = 49;
float Angle(int i) {
  if (i < 8) return static_cast<float>(i) * std::numbers::pi_v<float> / 4.0f - 3.0f;
  return -6.3f + 12.6f * static_cast<float>(i - 8) / static_cast<float>(kAngleSteps - 9);
}

constexpr float kValues[] = {0.0f,   -0.0f, 1.0f,  -1.0f, 0.003f,   0.02f, 0.09f, 0.3f,
                             -14.0f, 30.0f, 38.5f, 1e-6f, 123.456f, -7.5f, 1e4f,  -0.7f};

}  // namespace

int main() {
  Tally identity{"MatrixIdentity"}, perspective{"MatrixPerspectiveFovLH"},
      translation{"MatrixTranslation"}, rotation{"MatrixRotationYawPitchRoll"},
      scaling{"MatrixScaling"}, multiply{"MatrixMultiply"}, inverse{"MatrixInverse"},
      transpose{"MatrixTranspose"};
  gfx::Matrix ours;
  D3DXMATRIX theirs;
  char what[96];

  gfx::MatrixIdentity(&ours);
  D3DXMatrixIdentity(&theirs);
  Compare(&identity, ours, theirs, "");

  // The program's own projection first, then fields of view from 1° to 179°.
  const float fovs[] = {
      std::numbers::pi_v<float> / 4.0f, 0.017453f, 0.5f, 1.0f, 1.5707964f, 2.0f, 3.0f, 3.124f};
  const float aspects[] = {4.0f / 3.0f, 1.0f, 16.0f / 9.0f, 0.5f};
  const float ranges[][2] = {{0.1f, 100.0f}, {1.0f, 10.0f}, {0.01f, 1e4f}, {5.0f, 5.5f}};
  for (float fov : fovs)
    for (float aspect : aspects)
      for (const auto& range : ranges) {
        gfx::MatrixPerspectiveFovLH(&ours, fov, aspect, range[0], range[1]);
        D3DXMatrixPerspectiveFovLH(&theirs, fov, aspect, range[0], range[1]);
        std::snprintf(what, sizeof what, "fov %g aspect %g near %g far %g", fov, aspect, range[0],
                      range[1]);
        Compare(&perspective, ours, theirs, what);
      }

  for (float x : kValues)
    for (float y : kValues)
      for (float z : kValues) {
        std::snprintf(what, sizeof what, "(%g, %g, %g)", x, y, z);
        gfx::MatrixTranslation(&ours, x, y, z);
        D3DXMatrixTranslation(&theirs, x, y, z);
        Compare(&translation, ours, theirs, what);
        gfx::MatrixScaling(&ours, x, y, z);
        D3DXMatrixScaling(&theirs, x, y, z);
        Compare(&scaling, ours, theirs, what);
      }

  for (int i = 0; i < kAngleSteps; ++i)
    for (int j = 0; j < kAngleSteps; ++j)
      for (int k = 0; k < kAngleSteps; k += 4) {
        const float yaw = Angle(i), pitch = Angle(j), roll = Angle(k);
        std::snprintf(what, sizeof what, "yaw %.9g pitch %.9g roll %.9g", yaw, pitch, roll);
        gfx::MatrixRotationYawPitchRoll(&ours, yaw, pitch, roll);
        D3DXMatrixRotationYawPitchRoll(&theirs, yaw, pitch, roll);
        Compare(&rotation, ours, theirs, what);
      }

  // The products the scene forms: scale × rotation × translation, then × the projection, each
  // product fed the same operands on both sides so only the multiplication is compared.
  for (int i = 0; i < kAngleSteps; i += 3)
    for (float s : {1.0f, 0.3f, 0.09f, 0.02f, 0.003f})
      for (float t : {-14.0f, -7.5f, 10.3f, 38.5f}) {
        gfx::Matrix a, b, product;
        D3DXMATRIX dproduct;
        gfx::MatrixScaling(&a, s, s, s);
        gfx::MatrixRotationYawPitchRoll(&b, Angle(i), Angle(kAngleSteps - 1 - i), 0.0f);
        gfx::MatrixMultiply(&product, &a, &b);
        D3DXMATRIX da = AsD3DX(a), db = AsD3DX(b);
        D3DXMatrixMultiply(&dproduct, &da, &db);
        std::snprintf(what, sizeof what, "scale %g × rotation %d", s, i);
        Compare(&multiply, product, dproduct, what);

        gfx::MatrixTranslation(&b, t, -10.0f, 30.0f - t);
        da = AsD3DX(product), db = AsD3DX(b);
        D3DXMatrixMultiply(&dproduct, &da, &db);
        gfx::MatrixMultiply(&product, &product, &b);  // aliasing, as the scene multiplies
        std::snprintf(what, sizeof what, "world %g %d × translation %g", s, i, t);
        Compare(&multiply, product, dproduct, what);

        gfx::MatrixPerspectiveFovLH(&b, std::numbers::pi_v<float> / 4.0f, 4.0f / 3.0f, 0.1f,
                                    100.0f);
        da = AsD3DX(product), db = AsD3DX(b);
        D3DXMatrixMultiply(&dproduct, &da, &db);
        gfx::MatrixMultiply(&product, &product, &b);
        std::snprintf(what, sizeof what, "world × projection, %g %d %g", s, i, t);
        Compare(&multiply, product, dproduct, what);
      }

  // The inverses the effect viewer forms: of worlds, views and their products with the
  // projection (tools/fxview/binding.cpp), and their transposes.
  for (int i = 0; i < kAngleSteps; i += 3)
    for (float s : {1.0f, 0.3f, 0.02f})
      for (float t : {-14.0f, 10.3f, 70.0f}) {
        gfx::Matrix a, b, m, ours;
        gfx::MatrixScaling(&a, s, s * 2.0f, s);
        gfx::MatrixRotationYawPitchRoll(&b, Angle(i), Angle(kAngleSteps - 1 - i), 0.3f);
        gfx::MatrixMultiply(&m, &a, &b);
        gfx::MatrixTranslation(&b, t, -10.0f, 30.0f - t);
        gfx::MatrixMultiply(&m, &m, &b);
        for (int projected = 0; projected < 2; ++projected) {
          if (projected) {
            gfx::MatrixPerspectiveFovLH(&b, std::numbers::pi_v<float> / 4.0f, 1.0f, 1.0f, 1000.0f);
            gfx::MatrixMultiply(&m, &m, &b);
          }
          const D3DXMATRIX dm = AsD3DX(m);
          std::snprintf(what, sizeof what, "%s %g %d %g", projected ? "projected" : "world", s, i,
                        t);
          float ourDeterminant = 0, theirDeterminant = 0;
          const bool ourSingular = !gfx::MatrixInverse(&ours, &ourDeterminant, &m);
          const bool theirSingular = !D3DXMatrixInverse(&theirs, &theirDeterminant, &dm);
          if (ourSingular || theirSingular) {
            std::printf("FAIL MatrixInverse %s: singular (ours %d, D3DX %d)\n", what, ourSingular,
                        theirSingular);
            ++inverse.failures;
            continue;
          }
          Compare(&inverse, ours, theirs, what, kMaxInverseUlp);
          gfx::MatrixTranspose(&ours, &m);
          D3DXMatrixTranspose(&theirs, &dm);
          Compare(&transpose, ours, theirs, what);
        }
      }

  long failures = 0;
  for (const Tally* t : {&identity, &perspective, &translation, &rotation, &scaling, &multiply,
                         &inverse, &transpose}) {
    Report(*t);
    failures += t->failures;
  }
  std::printf("%s\n", failures ? "matrix_d3dx_test: FAILED" : "matrix_d3dx_test: passed");
  return failures ? 1 : 0;
}
