// Writes a mesh as a DirectX .x text file ("xof 0303txt 0032"): Mesh with MeshMaterialList (one
// material for every face), MeshNormals and MeshTextureCoords. Numbers go through to_chars, so the
// text does not depend on the locale.
#include <charconv>
#include <stdexcept>

#include "tools/assetgen/assetgen.hpp"

namespace assetgen {

std::string FormatFixed(double value) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  if (result.ec != std::errc()) throw std::runtime_error("number does not fit: too large");
  std::string text(buffer, result.ptr);
  if (text == "-0.000000") text = "0.000000";  // tiny negatives would differ only by the sign
  return text;
}

namespace {

// Array elements are separated by "," and the array ends with ";", after the element's own ";".
const char* ElementEnd(size_t index, size_t count) { return index + 1 < count ? ",\n" : ";\n"; }

void AppendVector(std::string& out, Vec3 v) {
  out += FormatFixed(v.x) + ";" + FormatFixed(v.y) + ";" + FormatFixed(v.z) + ";";
}

void AppendFaces(std::string& out, const MeshData& mesh, const char* indent) {
  out += indent + std::to_string(mesh.faces.size()) + ";\n";
  for (size_t i = 0; i < mesh.faces.size(); ++i) {
    const auto& f = mesh.faces[i];
    out += indent + std::string("3;") + std::to_string(f[0]) + "," + std::to_string(f[1]) + "," +
           std::to_string(f[2]) + ";" + ElementEnd(i, mesh.faces.size());
  }
}

void AppendMaterial(std::string& out, const XMaterial& m) {
  out += "  Material " + m.name + " {\n";
  out += "   " + FormatFixed(m.diffuse[0]) + ";" + FormatFixed(m.diffuse[1]) + ";" +
         FormatFixed(m.diffuse[2]) + ";" + FormatFixed(m.diffuse[3]) + ";;\n";
  out += "   " + FormatFixed(m.power) + ";\n";
  out += "   " + FormatFixed(m.specular[0]) + ";" + FormatFixed(m.specular[1]) + ";" +
         FormatFixed(m.specular[2]) + ";;\n";
  out += "   " + FormatFixed(m.emissive[0]) + ";" + FormatFixed(m.emissive[1]) + ";" +
         FormatFixed(m.emissive[2]) + ";;\n";
  if (!m.textureFile.empty()) {
    out += "   TextureFilename {\n    \"" + m.textureFile + "\";\n   }\n";
  }
  out += "  }\n";
}

}  // namespace

std::string XFileText(const MeshData& mesh, const std::string& meshName,
                      const XMaterial& material) {
  std::string out;
  out.reserve(mesh.vertices.size() * 160 + mesh.faces.size() * 64);
  out += "xof 0303txt 0032\n\n";
  out += "// Made by tobrin_assetgen; regenerate rather than edit.\n\n";
  out += "Mesh " + meshName + " {\n";
  const size_t n = mesh.vertices.size();
  out += " " + std::to_string(n) + ";\n";
  for (size_t i = 0; i < n; ++i) {
    out += " ";
    AppendVector(out, mesh.vertices[i].position);
    out += ElementEnd(i, n);
  }
  AppendFaces(out, mesh, " ");

  out += "\n MeshMaterialList {\n  1;\n  " + std::to_string(mesh.faces.size()) + ";\n";
  for (size_t i = 0; i < mesh.faces.size(); ++i) {
    out += std::string("  0") + ElementEnd(i, mesh.faces.size());
  }
  AppendMaterial(out, material);
  out += " }\n";

  out += "\n MeshNormals {\n  " + std::to_string(n) + ";\n";
  for (size_t i = 0; i < n; ++i) {
    out += "  ";
    AppendVector(out, mesh.vertices[i].normal);
    out += ElementEnd(i, n);
  }
  AppendFaces(out, mesh, "  ");  // normals are per vertex: the same index triples
  out += " }\n";

  out += "\n MeshTextureCoords {\n  " + std::to_string(n) + ";\n";
  for (size_t i = 0; i < n; ++i) {
    out += "  " + FormatFixed(mesh.vertices[i].u) + ";" + FormatFixed(mesh.vertices[i].v) + ";" +
           ElementEnd(i, n);
  }
  out += " }\n}\n";
  return out;
}

}  // namespace assetgen
