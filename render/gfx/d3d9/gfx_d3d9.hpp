// The graphics seam on Windows: the gfx names are the platform's own Direct3D 9 and D3DX 9
// (d3dx9_42.dll) types, and each gfx function passes straight through to its D3DX counterpart.
// Included only through render/gfx/gfx.hpp. Results are what the platform returns, unexamined.
#pragma once
#include <d3d9.h>
#include <d3dx9.h>

#include <cstdint>

#include "app/window_system.hpp"  // <windows.h> with the program's settings, before D3D's headers

// <windows.h> spells these as macros, which would turn the program's gfx::DT_LEFT and
// gfx::CreateFont into gfx::0x00000000 and gfx::CreateFontA. DrawText stays a macro: it is what
// maps the program's font->DrawText onto ID3DXFont::DrawTextA.
#undef DT_LEFT
#undef DT_TOP
#undef CreateFont

namespace gfx {

using ::HRESULT;
constexpr bool Failed(HRESULT result) { return result < 0; }

using Context = IDirect3D9;
using Device = IDirect3DDevice9;
using Mesh = ID3DXMesh;
using Effect = ID3DXEffect;
using Font = ID3DXFont;
using Buffer = ID3DXBuffer;
using Texture = IDirect3DTexture9;
// D3DMATRIX rather than D3DXMATRIX: the latter's empty constructor is not constexpr, and the
// program's records must be constant-initialised. D3DXMATRIX adds only member functions, so the
// D3DX calls below see the same 16 floats.
using Matrix = D3DMATRIX;
using Material = D3DXMATERIAL;
using ParameterDesc = D3DXPARAMETER_DESC;
using EffectDesc = D3DXEFFECT_DESC;
using TechniqueDesc = D3DXTECHNIQUE_DESC;
using Handle = D3DXHANDLE;
using PresentParameters = D3DPRESENT_PARAMETERS;
using DisplayMode = D3DDISPLAYMODE;
using Rect = RECT;
using Format = D3DFORMAT;
using RenderStateType = D3DRENDERSTATETYPE;
using TransformStateType = D3DTRANSFORMSTATETYPE;
using ParameterClass = D3DXPARAMETER_CLASS;
using ParameterType = D3DXPARAMETER_TYPE;

// What the user's system must offer, for the message when Create finds nothing.
constexpr const char* kGraphicsRequirement = "Direct3D 9";
// The SDK version the program was written against, whatever the headers at hand say.
constexpr UINT SDK_VERSION = 32;
constexpr UINT ADAPTER_DEFAULT = D3DADAPTER_DEFAULT;
constexpr D3DDEVTYPE DEVTYPE_HAL = D3DDEVTYPE_HAL;
constexpr DWORD CREATE_SOFTWARE_VERTEXPROCESSING = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
constexpr DWORD MESH_SYSTEMMEM = D3DXMESH_SYSTEMMEM;

constexpr D3DFORMAT FMT_UNKNOWN = D3DFMT_UNKNOWN;
constexpr D3DFORMAT FMT_X8R8G8B8 = D3DFMT_X8R8G8B8;
constexpr D3DFORMAT FMT_A8R8G8B8 = D3DFMT_A8R8G8B8;
constexpr D3DFORMAT FMT_D16 = D3DFMT_D16;
constexpr D3DMULTISAMPLE_TYPE MULTISAMPLE_NONE = D3DMULTISAMPLE_NONE;
constexpr D3DSWAPEFFECT SWAPEFFECT_DISCARD = D3DSWAPEFFECT_DISCARD;
constexpr UINT PRESENT_INTERVAL_IMMEDIATE = D3DPRESENT_INTERVAL_IMMEDIATE;

constexpr D3DRENDERSTATETYPE RS_ZENABLE = D3DRS_ZENABLE;
constexpr D3DRENDERSTATETYPE RS_FILLMODE = D3DRS_FILLMODE;
constexpr D3DRENDERSTATETYPE RS_ZWRITEENABLE = D3DRS_ZWRITEENABLE;
constexpr D3DRENDERSTATETYPE RS_ALPHABLENDENABLE = D3DRS_ALPHABLENDENABLE;
constexpr D3DRENDERSTATETYPE RS_CULLMODE = D3DRS_CULLMODE;
constexpr DWORD CULL_NONE = D3DCULL_NONE, CULL_CW = D3DCULL_CW, CULL_CCW = D3DCULL_CCW;
constexpr D3DTRANSFORMSTATETYPE TS_VIEW = D3DTS_VIEW, TS_PROJECTION = D3DTS_PROJECTION,
                                TS_WORLD = D3DTS_WORLD;

constexpr DWORD CLEAR_TARGET = D3DCLEAR_TARGET, CLEAR_ZBUFFER = D3DCLEAR_ZBUFFER,
                CLEAR_STENCIL = D3DCLEAR_STENCIL;

// The values <winuser.h> gives DT_LEFT and DT_TOP (undefined above).
constexpr DWORD DT_LEFT = 0x00000000, DT_TOP = 0x00000000;

constexpr D3DXPARAMETER_CLASS PC_SCALAR = D3DXPC_SCALAR, PC_VECTOR = D3DXPC_VECTOR,
                              PC_MATRIX_ROWS = D3DXPC_MATRIX_ROWS,
                              PC_MATRIX_COLUMNS = D3DXPC_MATRIX_COLUMNS, PC_OBJECT = D3DXPC_OBJECT,
                              PC_STRUCT = D3DXPC_STRUCT;
constexpr D3DXPARAMETER_TYPE PT_VOID = D3DXPT_VOID, PT_BOOL = D3DXPT_BOOL, PT_INT = D3DXPT_INT,
                             PT_FLOAT = D3DXPT_FLOAT, PT_STRING = D3DXPT_STRING,
                             PT_TEXTURE = D3DXPT_TEXTURE, PT_TEXTURE2D = D3DXPT_TEXTURE2D,
                             PT_SAMPLER2D = D3DXPT_SAMPLER2D;

inline Context* Create(UINT sdkVersion) { return Direct3DCreate9(sdkVersion); }

// The one adapter: the program asks for neither adjacency nor effect instances, and D3DX gives
// no error text, so *errors is always null and the program names the file itself.
HRESULT LoadMeshFromX(const char* fileName, DWORD options, Device* device, Buffer** materials,
                      uint32_t* materialCount, Mesh** mesh, Buffer** errors);

// The back buffer copied into system memory (GetRenderTargetData) and read from there, as RGBA8
// rows from the top down. For tools and tests; the back buffer must be X8R8G8B8 or A8R8G8B8.
HRESULT ReadBackBuffer(Device* device, uint32_t width, uint32_t height, uint8_t* rgba);

inline HRESULT CreateTextureFromFile(Device* device, const char* fileName, Texture** texture) {
  return D3DXCreateTextureFromFileA(device, fileName, texture);
}

inline HRESULT CreateEffectFromFile(Device* device, const char* fileName, const D3DXMACRO* defines,
                                    ID3DXInclude* include, DWORD flags, ID3DXEffectPool* pool,
                                    Effect** effect, Buffer** errors) {
  return D3DXCreateEffectFromFileA(device, fileName, defines, include, flags, pool, effect, errors);
}

inline HRESULT CreateFont(Device* device, INT height, UINT width, UINT weight, UINT mipLevels,
                          BOOL italic, DWORD charSet, DWORD outputPrecision, DWORD quality,
                          DWORD pitchAndFamily, const char* faceName, Font** font) {
  return D3DXCreateFontA(device, height, width, weight, mipLevels, italic, charSet, outputPrecision,
                         quality, pitchAndFamily, faceName, font);
}

inline D3DXMATRIX* AsD3DX(Matrix* matrix) { return static_cast<D3DXMATRIX*>(matrix); }
inline const D3DXMATRIX* EffectMatrix(const Matrix* matrix) {
  return static_cast<const D3DXMATRIX*>(matrix);
}

inline Matrix* MatrixIdentity(Matrix* out) { return D3DXMatrixIdentity(AsD3DX(out)); }
inline Matrix* MatrixPerspectiveFovLH(Matrix* out, float fovY, float aspect, float zNear,
                                      float zFar) {
  return D3DXMatrixPerspectiveFovLH(AsD3DX(out), fovY, aspect, zNear, zFar);
}
inline Matrix* MatrixTranslation(Matrix* out, float x, float y, float z) {
  return D3DXMatrixTranslation(AsD3DX(out), x, y, z);
}
inline Matrix* MatrixRotationYawPitchRoll(Matrix* out, float yaw, float pitch, float roll) {
  return D3DXMatrixRotationYawPitchRoll(AsD3DX(out), yaw, pitch, roll);
}
inline Matrix* MatrixScaling(Matrix* out, float sx, float sy, float sz) {
  return D3DXMatrixScaling(AsD3DX(out), sx, sy, sz);
}
inline Matrix* MatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b) {
  return D3DXMatrixMultiply(AsD3DX(out), EffectMatrix(a), EffectMatrix(b));
}
inline Matrix* MatrixInverse(Matrix* out, float* determinant, const Matrix* m) {
  return D3DXMatrixInverse(AsD3DX(out), determinant, EffectMatrix(m));
}
inline Matrix* MatrixTranspose(Matrix* out, const Matrix* m) {
  return D3DXMatrixTranspose(AsD3DX(out), EffectMatrix(m));
}
inline void TransformPoint(const Matrix* m, const float in[3], float out[4]) {
  const D3DXVECTOR3 point(in[0], in[1], in[2]);
  D3DXVECTOR4 result;
  D3DXVec3Transform(&result, &point, EffectMatrix(m));
  out[0] = result.x;
  out[1] = result.y;
  out[2] = result.z;
  out[3] = result.w;
}

// Monotonic elapsed time in milliseconds, 64 bits so it never wraps in practice.
int64_t ReadClockMilliseconds();

}  // namespace gfx
