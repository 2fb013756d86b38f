// Creates the device and everything drawn with it, once at start-up, and releases it at the end.
// Limits: no device reset or re-creation; the effect is optional (a failed build is reported and
// the program runs without it), the device, the meshes and the font are not.
#include "render/device.hpp"

#include <cstdio>
#include <cstring>
#include <numbers>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/app_state.hpp"
#include "app/window_system.hpp"
#include "formats/quote.hpp"
#include "render/gfx/gfx.hpp"

namespace {

constexpr const char* kSphereMeshFile = "modeli\\sphere.x";
constexpr const char* kChairMeshFile = "modeli\\chair.x";
constexpr const char* kSphereTextureFile = "tekstura2.bmp";
constexpr const char* kEffectFile = "Za_rad_2.fx";
// A box taller than the screen hides its OK button, and a huge one kills the X box outright.
constexpr int kBoxLines = 20;
constexpr size_t kBoxLineBytes = 200;

// The loader's text names the file and the fault; we still name the file ourselves in case the
// loader gave no text.
void LoadMesh(const char* file, gfx::Buffer** materials, uint32_t* materialCount,
              gfx::Mesh** mesh) {
  gfx::Buffer* errors = nullptr;
  gfx::LoadMeshFromX(file, gfx::MESH_SYSTEMMEM, AppState.device, materials, materialCount, mesh,
                     &errors);
  std::string reason;
  if (errors) {
    reason = static_cast<const char*>(errors->GetBufferPointer());
    errors->Release();
  }
  if (*mesh) return;
  throw std::runtime_error(std::string("Cannot load the mesh \"") + file + "\"" +
                           (reason.empty() ? "" : ": " + reason));
}

// First material's texture name, or null when the chair has no material or names no texture.
const char* ChairTextureName() {
  if (!AppState.chairMaterials || AppState.chairMaterialCount == 0) return nullptr;
  const auto* materials =
      static_cast<const gfx::Material*>(AppState.chairMaterials->GetBufferPointer());
  const char* name = materials[0].pTextureFilename;
  return name && name[0] != '\0' ? name : nullptr;
}

// A missing texture is not fatal (the effect samples white instead), but the user should learn
// which file it was. The chair's name comes from its mesh file, so it is quoted.
void LoadTexture(const char* file, gfx::Texture** texture) {
  gfx::CreateTextureFromFile(AppState.device, file, texture);
  if (!*texture)
    std::fprintf(stderr, "Cannot load the texture %s; drawing without it.\n",
                 formats::Quote(file).c_str());
}

// A name from the mesh file that climbs out of modeli\ (a ".." component, an absolute path, a
// drive) could make us read any file the user can, a device such as standard input included.
bool StaysInModelFolder(const char* name) {
  const std::string_view text(name);
  if (text.empty() || text[0] == '\\' || text[0] == '/') return false;
  if (text.size() >= 2 && text[1] == ':') return false;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find_first_of("\\/", start);
    if (text.substr(start, end == std::string_view::npos ? end : end - start) == "..") return false;
    if (end == std::string_view::npos) return true;
    start = end + 1;
  }
}

// The text goes to standard error whole, with bytes that are no printable text written as \xNN so
// a driver's echo of the file cannot drive the terminal; the box gets its first lines.
void ShowEffectErrors(const char* text) {
  std::string shown;
  for (const char* p = text; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if ((c >= 0x20 && c < 0x7f) || c == '\n') {
      shown += *p;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      shown += hex;
    }
  }
  while (!shown.empty() && shown.back() == '\n') shown.pop_back();
  std::fprintf(stderr, "%s\n", shown.c_str());

  std::string box;
  int lines = 0, more = 0;
  size_t start = 0;
  while (start <= shown.size()) {
    size_t end = shown.find('\n', start);
    if (end == std::string::npos) end = shown.size();
    if (lines < kBoxLines) {
      std::string line = shown.substr(start, end - start);
      if (line.size() > kBoxLineBytes) line = line.substr(0, kBoxLineBytes) + "...";
      box += (lines ? "\n" : "") + line;
      ++lines;
    } else {
      ++more;
    }
    start = end + 1;
  }
  if (more > 0)
    box += "\n\x85 and " + std::to_string(more) + " more line" + (more == 1 ? "" : "s") +
           " (see standard error)";
  MessageBox(nullptr, box.c_str(), "Fx Compile Error", MB_OK | MB_ICONWARNING);
}

// What the frame sets, by name and type: an effect that declares one otherwise draws black or
// wrong without a word. Only a warning: the program sets the values all the same.
struct ContractParameter {
  const char* name;
  gfx::ParameterClass parameterClass;
  gfx::ParameterType type;
  uint32_t columns;
  const char* declaredAs;
};
constexpr ContractParameter kContract[] = {
    {"inTexture", gfx::PC_OBJECT, gfx::PT_TEXTURE, 0, "texture"},
    {"fCosTime0_X", gfx::PC_SCALAR, gfx::PT_FLOAT, 1, "float"},
    {"fSinTime0_X", gfx::PC_SCALAR, gfx::PT_FLOAT, 1, "float"},
    {"light_position", gfx::PC_VECTOR, gfx::PT_FLOAT, 3, "float3"},
    {"kAmbient", gfx::PC_SCALAR, gfx::PT_FLOAT, 1, "float"},
    {"kDifuse", gfx::PC_SCALAR, gfx::PT_FLOAT, 1, "float"},
    {"iSource", gfx::PC_VECTOR, gfx::PT_FLOAT, 3, "float3"},
    {"iAmbient", gfx::PC_VECTOR, gfx::PT_FLOAT, 3, "float3"},
    {"matViewProjection", gfx::PC_MATRIX_ROWS, gfx::PT_FLOAT, 4, "float4x4"},
    {"matWorld", gfx::PC_MATRIX_ROWS, gfx::PT_FLOAT, 4, "float4x4"},
};

std::string Describe(const gfx::ParameterDesc& d) {
  std::string text;
  if (d.Class == gfx::PC_OBJECT)
    text = d.Type == gfx::PT_TEXTURE || d.Type == gfx::PT_TEXTURE2D ? "texture" : "an object";
  else if (d.Class == gfx::PC_STRUCT)
    text = "a struct";
  else
    text = (d.Type == gfx::PT_FLOAT  ? std::string("float")
            : d.Type == gfx::PT_INT  ? "int"
            : d.Type == gfx::PT_BOOL ? "bool"
                                     : "?") +
           (d.Class == gfx::PC_SCALAR   ? std::string()
            : d.Class == gfx::PC_VECTOR ? std::to_string(d.Columns)
                                        : std::to_string(d.Rows) + "x" + std::to_string(d.Columns));
  if (d.Elements > 0) text += "[" + std::to_string(d.Elements) + "]";
  return text;
}

void WarnAboutTheContract(gfx::Effect* effect) {
  for (const ContractParameter& wanted : kContract) {
    gfx::ParameterDesc desc{};
    if (gfx::Failed(effect->GetParameterDesc(wanted.name, &desc))) {
      std::fprintf(stderr,
                   "%s: warning: the effect declares no parameter \"%s\"; the program sets it as "
                   "%s\n",
                   kEffectFile, wanted.name, wanted.declaredAs);
      continue;
    }
    const bool matrix = desc.Class == gfx::PC_MATRIX_ROWS || desc.Class == gfx::PC_MATRIX_COLUMNS;
    const bool fits = desc.Elements == 0 && desc.Type == wanted.type &&
                      (wanted.parameterClass == gfx::PC_MATRIX_ROWS
                           ? matrix && desc.Rows == 4 && desc.Columns == 4
                           : desc.Class == wanted.parameterClass &&
                                 (desc.Class == gfx::PC_OBJECT || desc.Columns == wanted.columns));
    const bool texture = wanted.type == gfx::PT_TEXTURE && desc.Class == gfx::PC_OBJECT &&
                         (desc.Type == gfx::PT_TEXTURE || desc.Type == gfx::PT_TEXTURE2D);
    if (!fits && !texture)
      std::fprintf(stderr,
                   "%s: warning: the parameter \"%s\" is declared as %s; the program sets it as "
                   "%s\n",
                   kEffectFile, wanted.name, Describe(desc).c_str(), wanted.declaredAs);
  }
}

template <class T>
void ReleaseField(T*& field) {
  if (!field) return;
  field->Release();
  field = nullptr;
}

}  // namespace

void InitDevice() {
  AppState.d3d = gfx::Create(gfx::SDK_VERSION);
  if (!AppState.d3d)
    throw std::runtime_error(std::string("Cannot create the graphics context (") +
                             gfx::kGraphicsRequirement + " is required)");

  // A failed query leaves FMT_UNKNOWN, which a windowed device accepts as "the desktop's format",
  // so only the device creation below decides whether start-up can go on.
  gfx::DisplayMode mode{};
  AppState.d3d->GetAdapterDisplayMode(gfx::ADAPTER_DEFAULT, &mode);

  gfx::PresentParameters parameters{};
  parameters.BackBufferWidth = 0;
  parameters.BackBufferHeight = 0;
  parameters.BackBufferFormat = mode.Format;
  parameters.BackBufferCount = 0;
  parameters.MultiSampleType = gfx::MULTISAMPLE_NONE;
  parameters.MultiSampleQuality = 0;
  parameters.SwapEffect = gfx::SWAPEFFECT_DISCARD;
  parameters.hDeviceWindow = nullptr;
  parameters.Windowed = true;
  parameters.EnableAutoDepthStencil = true;
  parameters.AutoDepthStencilFormat = gfx::FMT_D16;
  parameters.Flags = 0;
  parameters.FullScreen_RefreshRateInHz = 0;
  parameters.PresentationInterval = gfx::PRESENT_INTERVAL_IMMEDIATE;
  AppState.d3d->CreateDevice(gfx::ADAPTER_DEFAULT, gfx::DEVTYPE_HAL, AppState.window,
                             gfx::CREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &AppState.device);
  if (!AppState.device) throw std::runtime_error("Cannot create the graphics device");

  LoadMesh(kSphereMeshFile, &AppState.sphereMaterials, &AppState.sphereMaterialCount,
           &AppState.sphereMesh);
  LoadMesh(kChairMeshFile, &AppState.chairMaterials, &AppState.chairMaterialCount,
           &AppState.chairMesh);

  // Sampled here rather than at the first frame so that the first time step covers the textures
  // and the effect build as well.
  AppState.lastClock = gfx::ReadClockMilliseconds();

  AppState.device->SetRenderState(gfx::RS_CULLMODE, gfx::CULL_NONE);
  // The aspect ratio stays 4/3 whatever the window's shape: the back buffer is stretched to it.
  gfx::MatrixPerspectiveFovLH(&AppState.projection, std::numbers::pi_v<float> / 4.0f, 4.0f / 3.0f,
                              0.1f, 100.0f);
  AppState.device->SetTransform(gfx::TS_PROJECTION, &AppState.projection);
  gfx::MatrixIdentity(&AppState.view);

  gfx::CreateFont(AppState.device, 15, 8, 400, 1, false, 0, 0, 0, 0, "Arial", &AppState.font);
  if (!AppState.font) throw std::runtime_error("Cannot create the overlay font \"Arial\"");
}

void LoadResources() {
  LoadTexture(kSphereTextureFile, &AppState.sphereTexture);

  if (const char* name = ChairTextureName()) {
    if (StaysInModelFolder(name)) {
      const std::unique_ptr<char[]> path = ModelPath(name);
      LoadTexture(path.get(), &AppState.chairTexture);
    } else {
      std::fprintf(stderr,
                   "The chair's texture name %s leads out of the folder modeli; drawing the chair "
                   "without a texture.\n",
                   formats::Quote(name).c_str());
    }
  } else {
    std::fprintf(stderr, "The chair's first material names no texture; drawing it without one.\n");
  }

  gfx::Buffer* errors = nullptr;
  const gfx::HRESULT result = gfx::CreateEffectFromFile(
      AppState.device, kEffectFile, nullptr, nullptr, 0, nullptr, &AppState.effect, &errors);
  if (gfx::Failed(result)) {
    // Some D3DX implementations hand the text back without its NUL: read no further than the
    // buffer's size.
    const std::string text =
        errors ? std::string(static_cast<const char*>(errors->GetBufferPointer()),
                             strnlen(static_cast<const char*>(errors->GetBufferPointer()),
                                     errors->GetBufferSize()))
               : "Za_rad_2.fx: the effect could not be built and gave no reason.\n"
                 "The program runs on without it: only the background and the statistics show.";
    ShowEffectErrors(text.c_str());
  }
  // The buffer may hold warnings even on success; it is ours to drop either way.
  ReleaseField(errors);

  if (AppState.effect) {
    WarnAboutTheContract(AppState.effect);
    if (gfx::Failed(AppState.effect->SetTechnique("ColorAnimation")))
      std::fprintf(stderr,
                   "%s: warning: the effect has no technique \"ColorAnimation\"; the technique it "
                   "starts with is drawn instead\n",
                   kEffectFile);
  }
  AppState.colorAnimationActive = true;
}

void ReleaseResources() {
  // Everything made on the device goes before the device, and the context goes last.
  ReleaseField(AppState.sphereTexture);
  ReleaseField(AppState.effect);
  ReleaseField(AppState.sphereMesh);
  ReleaseField(AppState.chairMesh);
  ReleaseField(AppState.chairTexture);
  ReleaseField(AppState.chairMaterials);
  ReleaseField(AppState.sphereMaterials);
  ReleaseField(AppState.font);
  ReleaseField(AppState.device);
  ReleaseField(AppState.d3d);
}

std::unique_ptr<char[]> ModelPath(const char* name) {
  static constexpr char kPrefix[] = "modeli\\";
  static_assert(sizeof(kPrefix) == 8, "seven characters and the terminator");
  const size_t length = std::strlen(name);
  std::unique_ptr<char[]> path(new char[length + 8]);
  std::memcpy(path.get(), kPrefix, 7);
  std::memcpy(path.get() + 7, name, length + 1);
  return path;
}
