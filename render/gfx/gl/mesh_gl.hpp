// Internal to the OpenGL backend: what a loaded mesh holds on the GPU, read back for tests.
// Not part of the graphics seam.
#pragma once
#include <cstdint>
#include <vector>

#include "render/gfx/gfx.hpp"

namespace gfx::gl {

// Vertices as 8 floats each (position, normal, texcoord), indices as triangles grouped by subset,
// and each subset's first index and index count. False when the mesh is not an OpenGL mesh.
bool ReadMeshData(Mesh* mesh, std::vector<float>* vertices, std::vector<uint32_t>* indices,
                  std::vector<uint32_t>* subsetFirst, std::vector<uint32_t>* subsetCount);

}  // namespace gfx::gl
