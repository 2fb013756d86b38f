// A structural reading of a .x file (text, binary or MSZIP compressed), without GL: it recovers
// what Assimp discards (the file's own vertex indexing, faces in order,
// material per face, texture names byte for byte) and rejects files that would mislead it.
#pragma once
#include <cstdint>
#include <string>
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

struct XMesh {
  uint32_t vertexCount = 0;
  std::vector<float> positions;        // 3 per vertex
  std::vector<uint32_t> faceStart;     // face f's corners are corners[faceStart[f]..faceStart[f+1])
  std::vector<uint32_t> corners;       // vertex indices, every face in file order
  std::vector<uint32_t> faceMaterial;  // one per face; all 0 when the file has no material list
  std::vector<XMaterial> materials;    // in file order, references resolved
  bool hasNormals = false, hasTexCoords = false;
};

// Reads the whole file image. On failure returns false with the fault in *error (without the file
// name, which the caller adds).
bool ScanXFile(const std::string& bytes, XMesh* mesh, std::string* error);

}  // namespace formats
