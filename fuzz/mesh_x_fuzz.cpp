// Fuzz harness for .x mesh loading without GL: the structural scan, then, for a file the scan
// accepts, the importer with the loader's flags. The scan's result must satisfy everything the
// loader later indexes by (corners within the vertices, materials within the list, face starts
// ascending), since the loader trusts it after this point.
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "formats/mesh_x_scan.hpp"

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, ".x scan invariant broken: %s\n", what);
  std::abort();
}

void CheckScan(const formats::XMesh& x) {
  Check(x.vertexCount > 0, "at least one vertex");
  Check(x.positions.size() == size_t{x.vertexCount} * 3, "three coordinates per vertex");
  Check(x.faceStart.size() >= 2, "at least one face");
  Check(x.faceStart.front() == 0 && x.faceStart.back() == x.corners.size(), "face starts span");
  for (size_t f = 0; f + 1 < x.faceStart.size(); ++f)
    Check(x.faceStart[f + 1] >= x.faceStart[f] + 3, "every face has at least three corners");
  for (uint32_t c : x.corners) Check(c < x.vertexCount, "corner within the vertices");
  Check(x.faceMaterial.size() == x.faceStart.size() - 1, "one material index per face");
  const size_t groups = x.materials.empty() ? 1 : x.materials.size();
  for (uint32_t m : x.faceMaterial) Check(m < groups, "face material within the list");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  formats::XMesh x;
  std::string error;
  if (!formats::ScanXFile(bytes, &x, &error)) {
    Check(!error.empty(), "a refused file has a reason");
    return 0;
  }
  CheckScan(x);

  // One importer for the whole run: making one per input costs more than the import itself.
  static Assimp::Importer importer;
  const aiScene* scene = importer.ReadFileFromMemory(
      bytes.data(), bytes.size(), aiProcess_ConvertToLeftHanded | aiProcess_ValidateDataStructure,
      "x");
  if (!scene) return 0;
  // The loader walks every mesh's faces and corners; with the validation step these must agree.
  for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
    const aiMesh& mesh = *scene->mMeshes[m];
    for (unsigned f = 0; f < mesh.mNumFaces; ++f)
      for (unsigned c = 0; c < mesh.mFaces[f].mNumIndices; ++c)
        Check(mesh.mFaces[f].mIndices[c] < mesh.mNumVertices, "importer corner within vertices");
  }
  importer.FreeScene();
  return 0;
}
