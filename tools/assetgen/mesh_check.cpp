// Self-checks run on every generated mesh before it is written: exact counts (the overlay's
// formulas assume them), indices in range, unit normals, no degenerate face, and a winding that
// agrees with the normals everywhere, so a part built inside out cannot slip through.
#include <stdexcept>

#include "tools/assetgen/assetgen.hpp"

namespace assetgen {

namespace {

[[noreturn]] void Fail(const char* name, const std::string& what) {
  throw std::runtime_error(std::string(name) + ": " + what);
}

}  // namespace

void CheckMesh(const MeshData& mesh, const char* name, size_t expectedVertices,
               size_t expectedFaces) {
  if (mesh.vertices.size() != expectedVertices || mesh.faces.size() != expectedFaces) {
    Fail(name, std::to_string(mesh.vertices.size()) + " vertices and " +
                   std::to_string(mesh.faces.size()) + " faces, expected " +
                   std::to_string(expectedVertices) + " and " + std::to_string(expectedFaces));
  }
  for (size_t i = 0; i < mesh.vertices.size(); ++i) {
    const double length = Length(mesh.vertices[i].normal);
    if (length < 0.999 || length > 1.001) {
      Fail(name, "normal of vertex " + std::to_string(i) + " is not unit length");
    }
  }
  for (size_t i = 0; i < mesh.faces.size(); ++i) {
    const auto& f = mesh.faces[i];
    for (uint32_t index : f) {
      if (index >= mesh.vertices.size()) {
        Fail(name, "face " + std::to_string(i) + " indexes past the vertices");
      }
    }
    const Vertex& a = mesh.vertices[f[0]];
    const Vertex& b = mesh.vertices[f[1]];
    const Vertex& c = mesh.vertices[f[2]];
    const Vec3 faceNormal = Cross(b.position - a.position, c.position - a.position);
    // Left-handed coordinates: clockwise seen from outside makes (b-a)x(c-a) point outward.
    const double area2 = Length(faceNormal);
    if (area2 < 1e-12) Fail(name, "face " + std::to_string(i) + " is degenerate");
    if (Dot(faceNormal, a.normal + b.normal + c.normal) <= 0.0) {
      Fail(name, "face " + std::to_string(i) + " winds against its normals");
    }
  }
}

}  // namespace assetgen
