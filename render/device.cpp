// Creates the device and everything drawn with it, once at start-up, and releases it at the end.
// Limits: no device reset or re-creation; the effect is optional (a failed build is reported and
// the program runs without it), the device, the meshes and the font are not.
#include "render/device.hpp"

#include <cstdio>
#include <cstring>
#include <numbers>
#include <stdexcept>
#include <string>

#include "app/app_state.hpp"
#include "app/window_system.hpp"
#include "render/gfx/gfx.hpp"

namespace {

constexpr const char* kSphereMeshFile = "modeli\\sphere.x";
constexpr const char* kChairMeshFile = "modeli\\chair.x";
constexpr const char* kSphereTextureFile = "tekstura2.bmp";
constexpr const char* kEffectFile = "Za_rad_2.fx";

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
// which file it was.
void LoadTexture(const char* file, gfx::Texture** texture) {
  gfx::CreateTextureFromFile(AppState.device, file, texture);
  if (!*texture)
    std::fprintf(stderr, "Cannot load the texture \"%s\"; drawing without it.\n", file);
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
    throw std::runtime_error("Cannot create the graphics context (OpenGL 3.3 core is required)");

  // A failed query leaves FMT_UNKNOWN, which a windowed device accepts as "the desktop's format",
  // so only the device creation below decides whether start-up can go on.
  gfx::DisplayMode mode{};
  AppState.d3d->GetAdapterDisplayMode(gfx::ADAPTER_DEFAULT, &mode);

  gfx::PresentParameters parameters{};
  parameters.BackBufferWidth = 0;
  parameters.BackBufferHeight = 0;
  parameters.BackBufferFormat = mode.Format;
  parameters.BackBufferCount = 0;
  parameters.MultiSampleType = 0;
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
    const std::unique_ptr<char[]> path = ModelPath(name);
    LoadTexture(path.get(), &AppState.chairTexture);
  } else {
    std::fprintf(stderr, "The chair's first material names no texture; drawing it without one.\n");
  }

  gfx::Buffer* errors = nullptr;
  const gfx::HRESULT result = gfx::CreateEffectFromFile(
      AppState.device, kEffectFile, nullptr, nullptr, 0, nullptr, &AppState.effect, &errors);
  if (gfx::Failed(result)) {
    const char* text =
        errors ? static_cast<const char*>(errors->GetBufferPointer())
               : "Za_rad_2.fx: the effect could not be built and gave no reason.\n"
                 "The program runs on without it: only the background and the statistics show.";
    MessageBox(nullptr, text, "Fx Compile Error", MB_OK | MB_ICONWARNING);
  }
  // The buffer may hold warnings even on success; it is ours to drop either way.
  ReleaseField(errors);

  if (AppState.effect) AppState.effect->SetTechnique("ColorAnimation");
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
