// tobrin_assetgen <output-dir>: writes the whole data tree the program runs in. The output is the
// same byte for byte on every run and machine (no clock, no unseeded randomness, no locale), so
// scripts/check-assets.sh can compare it with the committed data/.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "tools/assetgen/assetgen.hpp"

namespace fs = std::filesystem;
using namespace assetgen;

namespace {

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

struct Bounds {
  Vec3 lo, hi;
};

Bounds MeshBounds(const MeshData& mesh) {
  Bounds b{mesh.vertices[0].position, mesh.vertices[0].position};
  for (const Vertex& v : mesh.vertices) {
    const Vec3 p = v.position;
    b.lo = {p.x < b.lo.x ? p.x : b.lo.x, p.y < b.lo.y ? p.y : b.lo.y, p.z < b.lo.z ? p.z : b.lo.z};
    b.hi = {p.x > b.hi.x ? p.x : b.hi.x, p.y > b.hi.y ? p.y : b.hi.y, p.z > b.hi.z ? p.z : b.hi.z};
  }
  return b;
}

// The scene's spacing assumes these sizes: chairs stack 5 units apart, spheres are scaled from 20.
void CheckSize(const MeshData& mesh, const char* name, double height, double tolerance) {
  const Bounds b = MeshBounds(mesh);
  const Vec3 centre = (b.lo + b.hi) * 0.5;
  if (b.hi.y - b.lo.y < height - tolerance || b.hi.y - b.lo.y > height + tolerance) {
    throw std::runtime_error(std::string(name) + ": height " + FormatFixed(b.hi.y - b.lo.y) +
                             ", expected about " + FormatFixed(height));
  }
  if (Length(centre) > 0.01) {
    throw std::runtime_error(std::string(name) + ": not centred on its origin");
  }
}

void Generate(const fs::path& root) {
  const MeshData sphere = MakeSphere();
  CheckMesh(sphere, "sphere", kSphereVertices, kSphereFaces);
  CheckSize(sphere, "sphere", 40.0, 1e-9);
  const XMaterial sphereMaterial{"SphereMaterial", {1, 1, 1, 1}, 32.0,
                                 {0.3, 0.3, 0.3},  {0, 0, 0},    "tekstura2.bmp"};
  WriteFile(root / "modeli" / "sphere.x", XFileText(sphere, "Sphere", sphereMaterial));

  const MeshData chair = MakeChair();
  CheckMesh(chair, "chair", kChairVertices, kChairFaces);
  CheckSize(chair, "chair", 4.0, 0.1);
  const XMaterial wood{"Wood",    {1, 1, 1, 1},     24.0, {0.25, 0.22, 0.18},
                       {0, 0, 0}, kChairTextureName};
  WriteFile(root / "modeli" / "chair.x", XFileText(chair, "Chair", wood));

  WriteFile(root / "modeli" / kChairTextureName, BmpBytes(MakeWoodTexture()));
  WriteFile(root / "tekstura2.bmp", BmpBytes(MakeMarbleTexture()));
  WriteFile(root / "Za_rad_2.fx", EffectSource());
  WriteFile(root / "postavke.txt", SettingsSource());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tobrin_assetgen <output-dir>\n");
    return 2;
  }
  try {
    Generate(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tobrin_assetgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
