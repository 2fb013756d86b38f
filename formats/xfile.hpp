// Reads a .x file (text, binary or MSZIP compressed; 32- or 64-bit floats) into one merged,
// drawable mesh, without GL: every Mesh of the file, placed by its enclosing frames, with a vertex
// per distinct (position, normal) pair and triangles grouped by material. docs/mesh-format.md
// says what is accepted and how the cases the format leaves open are settled.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace formats {

struct XMaterial {
  float diffuse[4];
  float power;
  float specular[3];
  float emissive[3];
  bool hasTexture;
  std::string texture;  // exactly as the file stores it
};

struct XModel {
  std::vector<float> vertices;    // 8 floats per vertex: position, normal, texture coordinate
  std::vector<uint32_t> indices;  // triangles grouped by subset, in file order within each
  // Subset k is the faces of materials[k] (one subset and no materials when the file has none).
  std::vector<uint32_t> subsetFirst, subsetCount;  // in indices
  std::vector<XMaterial> materials;                // in file order, references resolved
  uint32_t VertexCount() const { return static_cast<uint32_t>(vertices.size() / 8); }
};

// Reads the whole file image. On failure returns false with the fault and its place ("line 12:
// …", "at byte 96: …") in *error, without the file name, which the caller adds.
bool ReadXFile(std::string_view bytes, XModel* model, std::string* error);

}  // namespace formats
