// Graphics seam: the device, meshes, textures, effects and the overlay font the renderer draws
// with. Declared once here; implemented on OpenGL 3.3 core in render/gfx/gl/ and by the recording
// fake in tests/fakes/; on Windows the names are Direct3D 9's and D3DX 9's (render/gfx/d3d9/).
// Objects are reference-counted: each creation hands out one reference that the holder drops with
// Release(). Results follow the HRESULT convention (negative = failure). Effect parameters and
// techniques are addressed by handle or by name on every call; implementations must make those
// lookups cheap and allocation-free, since the frame makes about 400 of them.
#pragma once
#ifdef _WIN32
#include "render/gfx/d3d9/gfx_d3d9.hpp"
#else
#include <cstdint>

#include "app/window_system.hpp"
#include "render/gfx/matrix.hpp"

namespace gfx {

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_NOTFOUND = static_cast<HRESULT>(0x80070002u);  // file or name not found
constexpr bool Failed(HRESULT result) { return result < 0; }

// What the user's system must offer, for the message when Create finds nothing.
constexpr const char* kGraphicsRequirement = "OpenGL 3.3 core";
constexpr uint32_t SDK_VERSION = 32;
constexpr uint32_t ADAPTER_DEFAULT = 0;
constexpr uint32_t DEVTYPE_HAL = 1;
constexpr uint32_t CREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr uint32_t MESH_SYSTEMMEM = 0x110;

enum Format : uint32_t { FMT_UNKNOWN = 0, FMT_X8R8G8B8 = 22, FMT_A8R8G8B8 = 21, FMT_D16 = 80 };
constexpr uint32_t MULTISAMPLE_NONE = 0;
constexpr uint32_t SWAPEFFECT_DISCARD = 1;
constexpr uint32_t PRESENT_INTERVAL_IMMEDIATE = 0x80000000u;

enum RenderStateType : uint32_t {
  RS_ZENABLE = 7,
  RS_FILLMODE = 8,
  RS_ZWRITEENABLE = 14,
  RS_ALPHABLENDENABLE = 27,
  RS_CULLMODE = 22
};
constexpr uint32_t CULL_NONE = 1, CULL_CW = 2, CULL_CCW = 3;
enum TransformStateType : uint32_t { TS_VIEW = 2, TS_PROJECTION = 3, TS_WORLD = 256 };

constexpr uint32_t CLEAR_TARGET = 1, CLEAR_ZBUFFER = 2, CLEAR_STENCIL = 4;

// DrawText format flags; 0 is left/top aligned, clipped, broken only at line feeds.
constexpr uint32_t DT_LEFT = 0, DT_TOP = 0;

struct Rect {
  int32_t left, top, right, bottom;
};

struct DisplayMode {
  uint32_t Width, Height, RefreshRate;
  gfx::Format Format;
};

struct PresentParameters {
  uint32_t BackBufferWidth, BackBufferHeight;  // 0: the window's client size at creation
  gfx::Format BackBufferFormat;
  uint32_t BackBufferCount;
  uint32_t MultiSampleType, MultiSampleQuality;
  uint32_t SwapEffect;
  HWND hDeviceWindow;
  bool Windowed;
  bool EnableAutoDepthStencil;
  gfx::Format AutoDepthStencilFormat;
  uint32_t Flags;
  uint32_t FullScreen_RefreshRateInHz;
  uint32_t PresentationInterval;
};

// One material of a loaded mesh; pTextureFilename is exactly as the file stores it, or null.
struct Material {
  float Diffuse[4], Ambient[4], Specular[4], Emissive[4];
  float Power;
  char* pTextureFilename;
};

class Unknown {
 public:
  virtual uint32_t AddRef() = 0;
  // Drops one reference; the object is destroyed when the last one goes. Returns what is left.
  virtual uint32_t Release() = 0;

 protected:
  virtual ~Unknown() = default;
};

class Buffer : public Unknown {
 public:
  virtual void* GetBufferPointer() = 0;
  virtual uint32_t GetBufferSize() = 0;
};

class Texture : public Unknown {};

class Mesh : public Unknown {
 public:
  virtual HRESULT DrawSubset(uint32_t subset) = 0;
  virtual uint32_t GetNumVertices() = 0;
  virtual uint32_t GetNumFaces() = 0;
};

// What an effect declares a parameter as, in the original library's terms.
enum ParameterClass : uint32_t {
  PC_SCALAR = 0,
  PC_VECTOR = 1,
  PC_MATRIX_ROWS = 2,
  PC_MATRIX_COLUMNS = 3,
  PC_OBJECT = 4,
  PC_STRUCT = 5
};
enum ParameterType : uint32_t {
  PT_VOID = 0,
  PT_BOOL = 1,
  PT_INT = 2,
  PT_FLOAT = 3,
  PT_STRING = 4,
  PT_TEXTURE = 5,
  PT_TEXTURE2D = 7,
  PT_SAMPLER2D = 12
};
// A parameter, annotation or technique of an effect, as the effect hands it out: the name string
// the effect owns, so that a name can be passed wherever a handle can. An annotation's handle is
// its own string, since annotations of different parameters share names.
using Handle = const char*;

struct ParameterDesc {
  const char* Name;      // owned by the effect
  const char* Semantic;  // owned by the effect; null when the parameter has none
  ParameterClass Class;
  ParameterType Type;
  uint32_t Rows, Columns;  // 1 x 1 for a scalar, 1 x n for a vector, 0 x 0 for an object
  uint32_t Elements;       // array length; 0 for a single value
  uint32_t Annotations;
  uint32_t StructMembers;
  uint32_t Flags;
  uint32_t Bytes;  // the value's size; 0 for an object
};

struct EffectDesc {
  const char* Creator;  // null when the compiler leaves no name
  uint32_t Parameters, Techniques, Functions;
};

struct TechniqueDesc {
  const char* Name;  // owned by the effect
  uint32_t Passes, Annotations;
};

class Effect : public Unknown {
 public:
  virtual HRESULT GetDesc(EffectDesc* desc) = 0;
  // With a null parent the index-th parameter of the effect; null past the last one.
  virtual Handle GetParameter(Handle parent, uint32_t index) = 0;
  // Of a parameter or an annotation. E_NOTFOUND when the effect declares no parameter of that name.
  virtual HRESULT GetParameterDesc(Handle parameter, ParameterDesc* desc) = 0;
  // The index-th annotation of a parameter or a technique; null past the last one.
  virtual Handle GetAnnotation(Handle object, uint32_t index) = 0;
  // The text of a string annotation; it lives as long as the effect.
  virtual HRESULT GetString(Handle parameter, const char** text) = 0;
  // The (first) value of a numeric parameter or annotation.
  virtual HRESULT GetFloat(Handle parameter, float* value) = 0;
  // The index-th technique in file order; null past the last one.
  virtual Handle GetTechnique(uint32_t index) = 0;
  virtual HRESULT GetTechniqueDesc(Handle technique, TechniqueDesc* desc) = 0;
  // Whether every pass of the technique can be drawn on this device.
  virtual HRESULT ValidateTechnique(Handle technique) = 0;
  virtual HRESULT SetTechnique(Handle technique) = 0;
  virtual HRESULT SetTexture(Handle parameter, Texture* texture) = 0;
  virtual HRESULT SetFloat(Handle parameter, float value) = 0;
  virtual HRESULT SetFloatArray(Handle parameter, const float* values, uint32_t count) = 0;
  virtual HRESULT SetMatrix(Handle parameter, const Matrix* matrix) = 0;
  // Writes the pass count of the current technique. With flags 0 it saves the state that the
  // passes change, and End restores it.
  virtual HRESULT Begin(uint32_t* passes, uint32_t flags) = 0;
  virtual HRESULT BeginPass(uint32_t pass) = 0;
  // Values set inside an active pass reach the GPU here (and at BeginPass).
  virtual HRESULT CommitChanges() = 0;
  virtual HRESULT EndPass() = 0;
  virtual HRESULT End() = 0;
};

class Font : public Unknown {
 public:
  // count -1: text is NUL-terminated. colour is ARGB. Returns the height drawn, 0 on failure.
  virtual int DrawText(void* sprite, const char* text, int count, Rect* rect, uint32_t format,
                       uint32_t colour) = 0;
};

class Device : public Unknown {
 public:
  virtual HRESULT SetRenderState(RenderStateType state, uint32_t value) = 0;
  virtual HRESULT SetTransform(TransformStateType state, const Matrix* matrix) = 0;
  virtual HRESULT Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, uint32_t colour,
                        float z, uint32_t stencil) = 0;
  virtual HRESULT BeginScene() = 0;
  virtual HRESULT EndScene() = 0;
  virtual HRESULT Present(const Rect* source, const Rect* destination, HWND window,
                          const void* dirtyRegion) = 0;
};

class Context : public Unknown {
 public:
  virtual HRESULT GetAdapterDisplayMode(uint32_t adapter, DisplayMode* mode) = 0;
  virtual HRESULT CreateDevice(uint32_t adapter, uint32_t deviceType, HWND focusWindow,
                               uint32_t behaviourFlags, PresentParameters* parameters,
                               Device** device) = 0;
};

// The matrix as Effect::SetMatrix takes it: the same object here; on Windows the D3DX view of it.
inline const Matrix* EffectMatrix(const Matrix* matrix) { return matrix; }

// Null when no graphics system can be reached.
Context* Create(uint32_t sdkVersion);

// Subset k holds the faces of the file's k-th material. materials receives an array of
// materialCount Material records whose strings live in the same buffer. On failure every output is
// null and errors (when asked for) receives a NUL-terminated text naming the file and the fault.
HRESULT LoadMeshFromX(const char* fileName, uint32_t options, Device* device, Buffer** materials,
                      uint32_t* materialCount, Mesh** mesh, Buffer** errors);

// The back buffer's pixels as RGBA8, rows from the top of the picture down, into width * height * 4
// bytes; E_INVALIDARG when the back buffer is not width x height. For tools and tests: it waits for
// every draw before it.
HRESULT ReadBackBuffer(Device* device, uint32_t width, uint32_t height, uint8_t* rgba);

// A missing or unreadable image is a failed result and *texture stays null.
HRESULT CreateTextureFromFile(Device* device, const char* fileName, Texture** texture);

// Compiles every pass of every technique up front. On failure *effect is null and errors receives
// a NUL-terminated text "file(line): message" that points into the effect file itself.
HRESULT CreateEffectFromFile(Device* device, const char* fileName, const void* defines,
                             void* include, uint32_t flags, void* pool, Effect** effect,
                             Buffer** errors);

HRESULT CreateFont(Device* device, int height, uint32_t width, uint32_t weight, uint32_t mipLevels,
                   bool italic, uint32_t charSet, uint32_t outputPrecision, uint32_t quality,
                   uint32_t pitchAndFamily, const char* faceName, Font** font);

// Monotonic elapsed time in milliseconds, 64 bits so it never wraps in practice.
int64_t ReadClockMilliseconds();

}  // namespace gfx

#endif  // _WIN32
