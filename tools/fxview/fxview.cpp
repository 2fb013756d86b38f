// Arguments, the device on a hidden window, the mesh and the checker, then each technique drawn
// and read back. Everything a user can get wrong ends with a message naming the file and one of
// the statuses in fxview.hpp.
#include "tools/fxview/fxview.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/window_system.hpp"
#include "render/gfx/gfx.hpp"
#include "tools/fxview/binding.hpp"
#include "tools/fxview/picture.hpp"
#include "tools/fxview/scene.hpp"

namespace fxview {
namespace {

constexpr const char* kClassName = "TOBRIN_FXVIEW";
constexpr uint32_t kDefaultSize = 256, kMinSize = 16, kMaxSize = 4096;
constexpr const char* kCheckerFile = "fxview-checker.png";

int Usage() {
  std::fprintf(
      stderr,
      "usage: tobrin-fxview [--out DIR] [--size N] [--mesh FILE] [--verbose] FILE.fx\n"
      "  Draws every technique of the effect FILE.fx on a mesh, its parameters bound by\n"
      "  semantic, annotation and name to a fixed camera, light and material, and writes\n"
      "  DIR/<FILE>-<TECHNIQUE>.png for each.\n"
      "  --out DIR    where the pictures go (default: the current folder; made if missing)\n"
      "  --size N     the pictures' width and height in pixels, %u to %u (default %u)\n"
      "  --mesh FILE  an .x mesh (default: data/modeli/sphere.x)\n"
      "  --verbose    what each parameter of the effect was given\n"
      "Exit status: 0 every technique drawn, 1 the effect does not build, 2 bad usage,\n"
      "3 no window or graphics device, 4 a technique not drawn, 5 the mesh or DIR\n"
      "cannot be used.\n",
      kMinSize, kMaxSize, kDefaultSize);
  return kUsage;
}

std::string Hex(gfx::HRESULT result) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(static_cast<uint32_t>(result)));
  return text;
}

bool Readable(const std::string& path) { return std::ifstream(path, std::ios::binary).good(); }

size_t LastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

std::string FolderOf(const std::string& path) {
  const size_t at = LastSeparator(path);
  return at == std::string::npos ? "" : path.substr(0, at);
}

std::string StemOf(const std::string& path) {
  const size_t at = LastSeparator(path);
  std::string name = at == std::string::npos ? path : path.substr(at + 1);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// Run from the repository's root, from the Linux build folder inside it, or from a folder that
// holds the program's data beside the executable (the Windows layout).
std::string DefaultMesh(const char* argv0) {
  std::vector<std::string> candidates = {"data/modeli/sphere.x"};
  const std::string exeFolder = FolderOf(argv0 ? argv0 : "");
  if (!exeFolder.empty()) {
    candidates.push_back(exeFolder + "/modeli/sphere.x");
    candidates.push_back(exeFolder + "/../data/modeli/sphere.x");
  }
  for (const std::string& candidate : candidates)
    if (Readable(candidate)) return candidate;
  return candidates.front();
}

// The compiler's text, which a loader may leave without its NUL.
std::string TextOf(gfx::Buffer* buffer) {
  if (!buffer) return "";
  const char* text = static_cast<const char*>(buffer->GetBufferPointer());
  const size_t size = buffer->GetBufferSize();
  std::string out = text ? std::string(text, std::find(text, text + size, '\0')) : "";
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

LRESULT QuietWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(window, message, wParam, lParam);
}

struct Options {
  std::string effect, out = ".", mesh;
  uint32_t size = kDefaultSize;
  bool verbose = false;
};

// Objects the run creates, released in reverse order however it ends.
struct Resources {
  gfx::Context* context = nullptr;
  gfx::Device* device = nullptr;
  gfx::Mesh* mesh = nullptr;
  gfx::Buffer* materials = nullptr;
  gfx::Texture* checker = nullptr;
  gfx::Effect* effect = nullptr;
  std::vector<gfx::Texture*> textures;
};

void Release(Resources* r) {
  // The effect holds references to its textures; it goes first.
  if (r->effect) r->effect->Release();
  for (gfx::Texture* texture : r->textures) texture->Release();
  if (r->checker) r->checker->Release();
  if (r->materials) r->materials->Release();
  if (r->mesh) r->mesh->Release();
  if (r->device) r->device->Release();
  if (r->context) r->context->Release();
  *r = Resources{};
}

// Draws the technique into the back buffer and reads it back; "" when drawn, else why not.
std::string DrawTechnique(const Resources& r, gfx::Handle technique, uint32_t subsets,
                          uint32_t size, std::vector<uint8_t>* rgba) {
  gfx::HRESULT result = r.effect->ValidateTechnique(technique);
  if (gfx::Failed(result)) return "not valid on this device (" + Hex(result) + ")";
  result = r.effect->SetTechnique(technique);
  if (gfx::Failed(result)) return "SetTechnique failed (" + Hex(result) + ")";
  result =
      r.device->Clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, kClearColour, 1.0f, 0);
  if (gfx::Failed(result)) return "Clear failed (" + Hex(result) + ")";
  result = r.device->BeginScene();
  if (gfx::Failed(result)) return "BeginScene failed (" + Hex(result) + ")";
  std::string why;
  uint32_t passes = 0;
  result = r.effect->Begin(&passes, 0);
  const bool begun = !gfx::Failed(result);
  if (!begun) why = "Begin failed (" + Hex(result) + ")";
  for (uint32_t pass = 0; why.empty() && pass < passes; ++pass) {
    result = r.effect->BeginPass(pass);
    if (gfx::Failed(result)) {
      why = "pass " + std::to_string(pass) + " did not begin (" + Hex(result) + ")";
      break;
    }
    for (uint32_t subset = 0; why.empty() && subset < subsets; ++subset) {
      result = r.mesh->DrawSubset(subset);
      if (gfx::Failed(result))
        why = "pass " + std::to_string(pass) + " did not draw (" + Hex(result) + ")";
    }
    r.effect->EndPass();
  }
  if (begun) r.effect->End();
  r.device->EndScene();
  if (!why.empty()) return why;
  rgba->assign(static_cast<size_t>(size) * size * 4, 0);
  result = gfx::ReadBackBuffer(r.device, size, size, rgba->data());
  if (gfx::Failed(result)) return "the picture could not be read back (" + Hex(result) + ")";
  return "";
}

int Run(const Options& options, Resources* r) {
  const char* file = options.effect.c_str();
  if (!Readable(options.effect)) {
    std::fprintf(stderr, "%s: error: cannot open the effect file\n", file);
    return kEffectFailed;
  }
  if (!Readable(options.mesh)) {
    std::fprintf(stderr, "%s: error: cannot open the mesh file\n", options.mesh.c_str());
    return kBadInput;
  }
  std::error_code error;
  std::filesystem::create_directories(options.out, error);
  if (!std::filesystem::is_directory(options.out)) {
    std::fprintf(stderr, "%s: error: cannot make the output folder\n", options.out.c_str());
    return kBadInput;
  }

  const HINSTANCE instance = GetModuleHandle(nullptr);
  WNDCLASSEX windowClass{};
  windowClass.cbSize = sizeof(WNDCLASSEX);
  windowClass.lpfnWndProc = QuietWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassEx(&windowClass)) {
    std::fprintf(stderr, "tobrin-fxview: error: no window system to draw with\n");
    return kNoDevice;
  }
  // Hidden: the pictures are read from the back buffer, never shown.
  const int size = static_cast<int>(options.size);
  HWND window = CreateWindowEx(0, kClassName, "tobrin-fxview", WS_OVERLAPPEDWINDOW, 0, 0, size,
                               size, nullptr, nullptr, instance, nullptr);
  if (!window) {
    std::fprintf(stderr, "tobrin-fxview: error: cannot create a window\n");
    return kNoDevice;
  }
  r->context = gfx::Create(gfx::SDK_VERSION);
  if (!r->context) {
    std::fprintf(stderr, "tobrin-fxview: error: no %s here\n", gfx::kGraphicsRequirement);
    return kNoDevice;
  }
  gfx::PresentParameters present{};
  present.BackBufferWidth = present.BackBufferHeight = options.size;
  present.BackBufferFormat = gfx::FMT_X8R8G8B8;
  present.BackBufferCount = 1;
  present.SwapEffect = gfx::SWAPEFFECT_DISCARD;
  present.hDeviceWindow = window;
  present.Windowed = true;
  present.EnableAutoDepthStencil = true;
  present.AutoDepthStencilFormat = gfx::FMT_D16;
  present.PresentationInterval = gfx::PRESENT_INTERVAL_IMMEDIATE;
  const gfx::HRESULT created =
      r->context->CreateDevice(gfx::ADAPTER_DEFAULT, gfx::DEVTYPE_HAL, window,
                               gfx::CREATE_SOFTWARE_VERTEXPROCESSING, &present, &r->device);
  if (gfx::Failed(created) || !r->device) {
    std::fprintf(stderr, "tobrin-fxview: error: cannot create a %s device (%s)\n",
                 gfx::kGraphicsRequirement, Hex(created).c_str());
    return kNoDevice;
  }

  uint32_t materialCount = 0;
  gfx::Buffer* meshErrors = nullptr;
  const gfx::HRESULT loaded =
      gfx::LoadMeshFromX(options.mesh.c_str(), gfx::MESH_SYSTEMMEM, r->device, &r->materials,
                         &materialCount, &r->mesh, &meshErrors);
  const std::string meshText = TextOf(meshErrors);
  if (meshErrors) meshErrors->Release();
  if (gfx::Failed(loaded) || !r->mesh) {
    std::fprintf(stderr, "%s: error: cannot load the mesh (%s)%s%s\n", options.mesh.c_str(),
                 Hex(loaded).c_str(), meshText.empty() ? "" : ": ", meshText.c_str());
    return kBadInput;
  }

  // Written and loaded like any texture file, so both builds sample the same pixels.
  std::string why;
  const std::string checker = options.out + "/" + kCheckerFile;
  if (!WriteChecker(checker, &why) ||
      gfx::Failed(gfx::CreateTextureFromFile(r->device, checker.c_str(), &r->checker))) {
    std::fprintf(stderr, "%s: error: %s\n", checker.c_str(),
                 why.empty() ? "cannot load the checker texture" : why.c_str());
    return kBadInput;
  }

  gfx::Buffer* effectErrors = nullptr;
  const gfx::HRESULT built = gfx::CreateEffectFromFile(r->device, file, nullptr, nullptr, 0,
                                                       nullptr, &r->effect, &effectErrors);
  const std::string effectText = TextOf(effectErrors);
  if (effectErrors) effectErrors->Release();
  if (gfx::Failed(built) || !r->effect) {
    if (!effectText.empty()) std::fprintf(stderr, "%s\n", effectText.c_str());
    std::fprintf(stderr, "%s: error: the effect did not build (%s)%s\n", file, Hex(built).c_str(),
                 effectText.empty() ? "; the compiler gave no message" : "");
    return kEffectFailed;
  }

  const FixedScene scene = MakeScene(options.size);
  const std::vector<ParameterInfo> parameters = ReadParameters(r->effect);
  if (options.verbose)
    for (const ParameterInfo& p : parameters) {
      const Binding binding = Classify(p);
      std::printf("%s: parameter %s: %s%s%s\n", file, p.name.c_str(), Describe(binding).c_str(),
                  binding.how.empty() ? "" : ", by ", binding.how.c_str());
    }
  std::vector<std::string> notes;
  Bind(r->device, r->effect, scene, parameters, FolderOf(options.effect), r->checker, &r->textures,
       &notes);
  for (const std::string& note : notes)
    std::fprintf(stderr, "%s: warning: %s\n", file, note.c_str());
  r->device->SetTransform(gfx::TS_WORLD, &scene.world);
  r->device->SetTransform(gfx::TS_VIEW, &scene.view);
  r->device->SetTransform(gfx::TS_PROJECTION, &scene.projection);

  gfx::EffectDesc desc{};
  r->effect->GetDesc(&desc);
  const std::string stem = StemOf(options.effect);
  const uint32_t subsets = materialCount > 0 ? materialCount : 1;
  uint32_t drawn = 0;
  std::vector<uint8_t> rgba;
  for (uint32_t i = 0; i < desc.Techniques; ++i) {
    const gfx::Handle technique = r->effect->GetTechnique(i);
    gfx::TechniqueDesc t{};
    if (!technique || gfx::Failed(r->effect->GetTechniqueDesc(technique, &t))) {
      std::printf("%s: technique %u: not drawn: the effect does not describe it\n", file, i);
      continue;
    }
    const std::string name = t.Name ? t.Name : "";
    std::string outcome = DrawTechnique(*r, technique, subsets, options.size, &rgba);
    const std::string picture = options.out + "/" + FilePart(stem) + "-" + FilePart(name) + ".png";
    if (outcome.empty() && !WritePng(picture, options.size, options.size, rgba.data(), &why))
      outcome = why;
    std::printf("%s: technique %s, %u pass%s: %s%s\n", file, name.c_str(), t.Passes,
                t.Passes == 1 ? "" : "es", outcome.empty() ? "wrote " : "not drawn: ",
                outcome.empty() ? picture.c_str() : outcome.c_str());
    if (outcome.empty()) ++drawn;
  }
  std::printf("%s: %u of %u techniques drawn\n", file, drawn, desc.Techniques);
  return drawn == desc.Techniques ? kAllDrawn : kNotAllDrawn;
}

}  // namespace

int Main(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if ((a == "--out" || a == "--size" || a == "--mesh") && i + 1 < argc) {
      const std::string value = argv[++i];
      if (a == "--out") options.out = value;
      if (a == "--mesh") options.mesh = value;
      if (a == "--size") {
        char* end = nullptr;
        const unsigned long n = std::strtoul(value.c_str(), &end, 10);
        if (value.empty() || *end || n < kMinSize || n > kMaxSize) {
          std::fprintf(stderr, "tobrin-fxview: error: --size takes %u to %u, not '%s'\n", kMinSize,
                       kMaxSize, value.c_str());
          return Usage();
        }
        options.size = static_cast<uint32_t>(n);
      }
    } else if (a == "--verbose" || a == "-v") {
      options.verbose = true;
    } else if (a == "--help" || a == "-h") {
      Usage();
      return kAllDrawn;
    } else if (!a.empty() && a[0] != '-' && options.effect.empty()) {
      options.effect = a;
    } else {
      return Usage();
    }
  }
  if (options.effect.empty() || options.out.empty()) return Usage();
  if (options.mesh.empty()) options.mesh = DefaultMesh(argc > 0 ? argv[0] : nullptr);
  std::fflush(stdout);
  Resources resources;
  const int status = Run(options, &resources);
  Release(&resources);
  UnregisterClass(kClassName, GetModuleHandle(nullptr));
  std::fflush(stdout);
  return status;
}

}  // namespace fxview
