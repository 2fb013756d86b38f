// What D3DX 9 (d3dx9_42) makes of each file named on the command line, one line per file in the
// format probe_format.hpp fixes, so its output can be set beside our own readers'. A .x file is
// loaded as a mesh on a real device (a hidden window's); anything else is read as an image.
// Limits: the first texture name only; the image's format is the one the file holds, not the
// texture's, since D3DX converts on upload where our reader keeps blocks and floats as stored.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <d3d9.h>
#include <d3dx9.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "tools/d3dx_probe/probe_format.hpp"

namespace {

// D3DX's file-format names, as the probe prints them: the few a reader can disagree about get
// their own name, the rest are printed as the number the header gives them.
std::string FormatName(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_DXT1: return "dxt1";
    case D3DFMT_DXT2:
    case D3DFMT_DXT3: return "dxt3";
    case D3DFMT_DXT4:
    case D3DFMT_DXT5: return "dxt5";
    case D3DFMT_A16B16G16R16F: return "rgba16f";
    case D3DFMT_A32B32G32R32F: return "rgba32f";
    case D3DFMT_R16F:
    case D3DFMT_G16R16F: return "float16";
    case D3DFMT_R32F:
    case D3DFMT_G32R32F: return "float32";
    default: return "int8";  // everything our reader widens to 8-bit RGBA
  }
}

std::string FormatDetail(D3DFORMAT format) {
  char text[32];
  std::snprintf(text, sizeof text, "d3dfmt=%lu", static_cast<unsigned long>(format));
  return text;
}

std::string Failure(const char* call, HRESULT hr) {
  char text[64];
  std::snprintf(text, sizeof text, "%s 0x%08lX", call, static_cast<unsigned long>(hr));
  return text;
}

probe::Result ProbeMesh(IDirect3DDevice9* device, const char* path) {
  probe::Result result;
  result.kind = "mesh";
  ID3DXMesh* mesh = nullptr;
  ID3DXBuffer* materials = nullptr;
  DWORD materialCount = 0;
  const HRESULT hr = D3DXLoadMeshFromXA(path, D3DXMESH_MANAGED, device, nullptr, &materials,
                                        nullptr, &materialCount, &mesh);
  if (FAILED(hr)) {
    result.failure = Failure("D3DXLoadMeshFromXA", hr);
    return result;
  }
  result.vertices = mesh->GetNumVertices();
  result.faces = mesh->GetNumFaces();
  result.materials = materialCount;
  if (materials) {
    const auto* list = static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer());
    if (materialCount > 0 && list[0].pTextureFilename) result.texture = list[0].pTextureFilename;
    materials->Release();
  }
  void* vertices = nullptr;
  if (SUCCEEDED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices))) {
    D3DXVECTOR3 lo, hi;
    // Every FVF D3DX loads a mesh into starts with the position.
    D3DXComputeBoundingBox(static_cast<const D3DXVECTOR3*>(vertices), mesh->GetNumVertices(),
                           mesh->GetNumBytesPerVertex(), &lo, &hi);
    mesh->UnlockVertexBuffer();
    result.boxMin[0] = lo.x, result.boxMin[1] = lo.y, result.boxMin[2] = lo.z;
    result.boxMax[0] = hi.x, result.boxMax[1] = hi.y, result.boxMax[2] = hi.z;
  }
  mesh->Release();
  return result;
}

probe::Result ProbeImage(IDirect3DDevice9* device, const char* path) {
  probe::Result result;
  result.kind = "image";
  D3DXIMAGE_INFO info = {};
  HRESULT hr = D3DXGetImageInfoFromFileA(path, &info);
  if (FAILED(hr)) {
    result.failure = Failure("D3DXGetImageInfoFromFileA", hr);
    return result;
  }
  // The header alone can pass where the pixels cannot: the texture load decodes them.
  IDirect3DTexture9* texture = nullptr;
  hr = D3DXCreateTextureFromFileA(device, path, &texture);
  if (FAILED(hr)) {
    result.failure = Failure("D3DXCreateTextureFromFileA", hr);
    return result;
  }
  texture->Release();
  // The picture itself, decoded by D3DX into 8-bit BGRA at its own size (a texture may have been
  // rounded up to a power of two).
  IDirect3DSurface9* surface = nullptr;
  if (SUCCEEDED(device->CreateOffscreenPlainSurface(info.Width, info.Height, D3DFMT_A8R8G8B8,
                                                    D3DPOOL_SYSTEMMEM, &surface, nullptr))) {
    D3DLOCKED_RECT rect;
    if (SUCCEEDED(D3DXLoadSurfaceFromFileA(surface, nullptr, nullptr, path, nullptr,
                                           D3DX_FILTER_NONE, 0, nullptr)) &&
        SUCCEEDED(surface->LockRect(&rect, nullptr, D3DLOCK_READONLY))) {
      static constexpr int kBgra[4] = {2, 1, 0, 3};
      result.pixels = probe::Quarters(static_cast<const unsigned char*>(rect.pBits), info.Width,
                                      info.Height, rect.Pitch, kBgra);
      surface->UnlockRect();
    }
    surface->Release();
  }
  result.width = info.Width;
  result.height = info.Height;
  result.format = FormatName(info.Format);
  result.levels = info.MipLevels;
  result.detail = FormatDetail(info.Format);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: d3dx_probe FILE...\n");
    return 2;
  }
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "D3DX_PROBE";
  RegisterClassExA(&windowClass);
  HWND window = CreateWindowExA(0, "D3DX_PROBE", "d3dx_probe", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (!window || !d3d) {
    std::fprintf(stderr, "d3dx_probe: no window or no Direct3D 9\n");
    return 1;
  }
  D3DPRESENT_PARAMETERS present = {};
  present.Windowed = TRUE;
  present.SwapEffect = D3DSWAPEFFECT_DISCARD;
  present.BackBufferFormat = D3DFMT_UNKNOWN;
  present.hDeviceWindow = window;
  IDirect3DDevice9* device = nullptr;
  const HRESULT hr = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                       D3DCREATE_HARDWARE_VERTEXPROCESSING, &present, &device);
  if (FAILED(hr)) {
    std::fprintf(stderr, "d3dx_probe: CreateDevice failed with 0x%08lX\n",
                 static_cast<unsigned long>(hr));
    return 1;
  }
  for (int i = 1; i < argc; ++i) {
    const probe::Result result =
        probe::EndsWithX(argv[i]) ? ProbeMesh(device, argv[i]) : ProbeImage(device, argv[i]);
    std::printf("%s\n", probe::FormatLine(argv[i], result).c_str());
    std::fflush(stdout);
  }
  device->Release();
  d3d->Release();
  DestroyWindow(window);
  return 0;
}
