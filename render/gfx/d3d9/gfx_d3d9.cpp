// The one graphics-seam function that is more than a rename: the program's mesh loader has no
// adjacency or effect-instance outputs and counts materials in a uint32_t.
#include "render/gfx/gfx.hpp"

namespace gfx {

HRESULT LoadMeshFromX(const char* fileName, DWORD options, Device* device, Buffer** materials,
                      uint32_t* materialCount, Mesh** mesh, Buffer** errors) {
  if (errors) *errors = nullptr;
  DWORD count = 0;
  const HRESULT result =
      D3DXLoadMeshFromXA(fileName, options, device, nullptr, materials, nullptr, &count, mesh);
  if (materialCount) *materialCount = count;
  return result;
}

}  // namespace gfx
