// The sphere: 32 slices by 16 stacks, radius 20, centred on the origin. The seam column is
// duplicated (u runs 0..1 without wrapping) and each pole keeps one vertex per column, so the
// pole rows carry their own u; the pole triangles that would be degenerate are left out.
#include "tools/assetgen/assetgen.hpp"

namespace assetgen {

namespace {
constexpr int kSlices = 32, kStacks = 16;
constexpr double kRadius = 20.0;
}  // namespace

MeshData MakeSphere() {
  using namespace detmath;
  MeshData mesh;
  for (int stack = 0; stack <= kStacks; ++stack) {
    const double phi = kPi * stack / kStacks;  // 0 at the top (+y)
    const double ring = stack == 0 || stack == kStacks ? 0.0 : Sin(phi);
    const double y = stack == 0 ? 1.0 : (stack == kStacks ? -1.0 : Cos(phi));
    for (int slice = 0; slice <= kSlices; ++slice) {
      // u grows left to right on the side facing a viewer on -z, so the image is not mirrored.
      const double theta = 2.0 * kPi * (slice % kSlices) / kSlices;
      const Vec3 n{ring * Sin(theta), y, -ring * Cos(theta)};
      mesh.vertices.push_back({n * kRadius, n, double(slice) / kSlices, double(stack) / kStacks});
    }
  }
  const auto at = [](int stack, int slice) { return uint32_t(stack * (kSlices + 1) + slice); };
  for (int stack = 0; stack < kStacks; ++stack) {
    for (int slice = 0; slice < kSlices; ++slice) {
      const uint32_t a = at(stack, slice), b = at(stack, slice + 1);
      const uint32_t c = at(stack + 1, slice), d = at(stack + 1, slice + 1);
      if (stack != 0) mesh.faces.push_back({a, b, d});            // a and b meet at the top pole
      if (stack != kStacks - 1) mesh.faces.push_back({a, d, c});  // c and d meet at the bottom
    }
  }
  return mesh;
}

}  // namespace assetgen
