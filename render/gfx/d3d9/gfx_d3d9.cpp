// The graphics-seam functions that are more than a rename: the program's mesh loader has no
// adjacency or effect-instance outputs and counts materials in a uint32_t; the back buffer's
// read-back is the platform's four steps in one call.
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

// A render target cannot be locked; its pixels reach the CPU only through a copy into a
// system-memory surface of the same size and format.
HRESULT ReadBackBuffer(Device* device, uint32_t width, uint32_t height, uint8_t* rgba) {
  if (!device || !rgba) return E_INVALIDARG;
  IDirect3DSurface9* target = nullptr;
  HRESULT result = device->GetRenderTarget(0, &target);
  if (FAILED(result)) return result;
  D3DSURFACE_DESC desc{};
  target->GetDesc(&desc);
  if (desc.Width != width || desc.Height != height ||
      (desc.Format != D3DFMT_X8R8G8B8 && desc.Format != D3DFMT_A8R8G8B8)) {
    target->Release();
    return E_INVALIDARG;
  }
  IDirect3DSurface9* copy = nullptr;
  result = device->CreateOffscreenPlainSurface(width, height, desc.Format, D3DPOOL_SYSTEMMEM, &copy,
                                               nullptr);
  if (SUCCEEDED(result)) result = device->GetRenderTargetData(target, copy);
  D3DLOCKED_RECT locked{};
  if (SUCCEEDED(result)) result = copy->LockRect(&locked, nullptr, D3DLOCK_READONLY);
  if (SUCCEEDED(result)) {
    // Each texel is B, G, R, A in memory; X8R8G8B8's fourth byte means nothing and reads opaque.
    const bool opaque = desc.Format == D3DFMT_X8R8G8B8;
    for (uint32_t y = 0; y < height; ++y) {
      const uint8_t* from = static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch;
      uint8_t* to = rgba + static_cast<size_t>(y) * width * 4;
      for (uint32_t x = 0; x < width; ++x, from += 4, to += 4) {
        to[0] = from[2];
        to[1] = from[1];
        to[2] = from[0];
        to[3] = opaque ? 255 : from[3];
      }
    }
    copy->UnlockRect();
  }
  if (copy) copy->Release();
  target->Release();
  return result;
}

}  // namespace gfx
