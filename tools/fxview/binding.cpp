// The conventions are those of the effect viewers and samples of the time: the standard
// annotations and semantics (SAS), DXSAS bind addresses, the UI labels of effect editors, and the
// names the DirectX SDK samples and game frameworks gave their parameters (g_mWorld, matViewProj,
// WorldViewProj, g_vLightDir…).
#include "tools/fxview/binding.hpp"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace fxview {
namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The type prefixes of Hungarian-style names: mWorld, matViewProj, vLightDir, fTime, txScene.
constexpr std::string_view kTypePrefixes[] = {"m",  "mat", "mtx", "v",   "vec", "f",  "fl",
                                              "av", "t",   "tx",  "tex", "col", "clr"};

// A name as the tables below spell it: "g_mWorldViewProjection" and "WorldViewProjection" are both
// "worldviewprojection", "Light Direction" (a UI label) is "lightdirection", "viewProjectionMatrix"
// is "viewprojection".
std::string NameKey(std::string_view name) {
  size_t start = 0;
  while (start < name.size() && name[start] == '_') ++start;
  if (name.substr(start, 2) == "g_" || name.substr(start, 2) == "m_") start += 2;
  size_t upper = start;
  while (upper < name.size() && std::islower(static_cast<unsigned char>(name[upper]))) ++upper;
  if (upper < name.size() && std::isupper(static_cast<unsigned char>(name[upper])) &&
      std::find(std::begin(kTypePrefixes), std::end(kTypePrefixes),
                name.substr(start, upper - start)) != std::end(kTypePrefixes))
    start = upper;
  std::string key;
  for (const char c : name.substr(start))
    if (c != '_' && c != ' ') key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (StartsWith(key, "matrix") && key.size() > 6) key.erase(0, 6);
  if (EndsWith(key, "matrix") && key.size() > 6) key.erase(key.size() - 6);
  return key;
}

struct MatrixWord {
  std::string_view word;
  MatrixBase base;
};
constexpr MatrixWord kMatrixBases[] = {
    {"worldviewprojection", MatrixBase::WorldViewProjection},
    {"worldviewproj", MatrixBase::WorldViewProjection},
    {"modelviewprojection", MatrixBase::WorldViewProjection},
    {"wvp", MatrixBase::WorldViewProjection},
    {"mvp", MatrixBase::WorldViewProjection},
    {"transform", MatrixBase::WorldViewProjection},
    {"worldview", MatrixBase::WorldView},
    {"modelview", MatrixBase::WorldView},
    {"objecttoview", MatrixBase::WorldView},
    {"viewprojection", MatrixBase::ViewProjection},
    {"viewproj", MatrixBase::ViewProjection},
    {"world", MatrixBase::World},
    {"model", MatrixBase::World},
    {"objecttoworld", MatrixBase::World},
    {"view", MatrixBase::View},
    {"worldtoview", MatrixBase::View},
    {"projection", MatrixBase::Projection},
    {"proj", MatrixBase::Projection},
};

struct VariantWord {
  std::string_view word;
  MatrixVariant variant;
};
constexpr VariantWord kMatrixVariants[] = {
    {"", MatrixVariant::Plain},
    {"inverse", MatrixVariant::Inverse},
    {"inv", MatrixVariant::Inverse},
    {"i", MatrixVariant::Inverse},
    {"transpose", MatrixVariant::Transpose},
    {"transposed", MatrixVariant::Transpose},
    {"trans", MatrixVariant::Transpose},
    {"t", MatrixVariant::Transpose},
    {"inversetranspose", MatrixVariant::InverseTranspose},
    {"inversetransposed", MatrixVariant::InverseTranspose},
    {"invtranspose", MatrixVariant::InverseTranspose},
    {"invtrans", MatrixVariant::InverseTranspose},
    {"it", MatrixVariant::InverseTranspose},
};

// A transform's word and its variant: "worldviewprojection", "viewinverse", "worldit". A still
// picture's previous frame is this one, so "...last" and "...prev" (motion blur) are the same.
bool ParseMatrix(std::string_view key, Binding* binding) {
  for (const std::string_view stale : {"previous", "prev", "last"})
    if (EndsWith(key, stale) && key.size() > stale.size()) key.remove_suffix(stale.size());
  for (const MatrixWord& base : kMatrixBases) {
    if (!StartsWith(key, base.word)) continue;
    for (const VariantWord& variant : kMatrixVariants)
      if (key.substr(base.word.size()) == variant.word) {
        binding->input = Input::Matrix;
        binding->base = base.base;
        binding->variant = variant.variant;
        return true;
      }
  }
  return false;
}

struct NameWord {
  std::string_view word;
  Input input;
};
// Keys of names and UI labels (NameKey). Only the first light is lit: DirLight1Direction and the
// like keep their values. A light direction by name points at the light, as the DirectX SDK's
// samples take it (they light with dot(N, g_LightDir)); XNA's DirLight0Direction is the way the
// light travels, as the SAS semantic is.
constexpr NameWord kNames[] = {
    {"time", Input::Time},
    {"timenow", Input::Time},
    {"totaltime", Input::Time},
    {"viewportpixelsize", Input::ViewportPixelSize},
    {"viewportsize", Input::ViewportPixelSize},
    {"screensize", Input::ViewportPixelSize},
    {"rendertargetsize", Input::ViewportPixelSize},
    {"rendertargetwidth", Input::ViewportWidth},
    {"viewportwidth", Input::ViewportWidth},
    {"screenwidth", Input::ViewportWidth},
    {"rendertargetheight", Input::ViewportHeight},
    {"viewportheight", Input::ViewportHeight},
    {"screenheight", Input::ViewportHeight},
    {"lightdir", Input::LightVector},
    {"lightdirection", Input::LightVector},
    {"light0dir", Input::LightVector},
    {"light0direction", Input::LightVector},
    {"tolight", Input::LightVector},
    {"dirlight0direction", Input::LightDirection},
    {"lightpos", Input::LightPosition},
    {"lightposition", Input::LightPosition},
    {"light0pos", Input::LightPosition},
    {"light0position", Input::LightPosition},
    {"lightcolor", Input::LightColour},
    {"lightcolour", Input::LightColour},
    {"lightdiffuse", Input::LightColour},
    {"lightdiffusecolor", Input::LightColour},
    {"light0color", Input::LightColour},
    {"light0diffuse", Input::LightColour},
    {"dirlight0diffusecolor", Input::LightColour},
    {"lightambient", Input::LightAmbient},
    {"lightambientcolor", Input::LightAmbient},
    {"ambientlight", Input::LightAmbient},
    {"diffuse", Input::MaterialDiffuse},
    {"diffusecolor", Input::MaterialDiffuse},
    {"diffusecolour", Input::MaterialDiffuse},
    {"materialdiffuse", Input::MaterialDiffuse},
    {"materialdiffusecolor", Input::MaterialDiffuse},
    {"materialcolor", Input::MaterialDiffuse},
    {"matcolor", Input::MaterialDiffuse},
    {"specular", Input::MaterialSpecular},
    {"specularcolor", Input::MaterialSpecular},
    {"materialspecular", Input::MaterialSpecular},
    {"materialspecularcolor", Input::MaterialSpecular},
    {"ambient", Input::MaterialAmbient},
    {"ambientcolor", Input::MaterialAmbient},
    {"materialambient", Input::MaterialAmbient},
    {"materialambientcolor", Input::MaterialAmbient},
    {"specularpower", Input::SpecularPower},
    {"specularexponent", Input::SpecularPower},
    {"phongexponent", Input::SpecularPower},
    {"materialpower", Input::SpecularPower},
    {"shininess", Input::SpecularPower},
    {"power", Input::SpecularPower},
    {"eye", Input::CameraPosition},
    {"eyept", Input::CameraPosition},
    {"eyepos", Input::CameraPosition},
    {"eyeposition", Input::CameraPosition},
    {"camerapos", Input::CameraPosition},
    {"cameraposition", Input::CameraPosition},
    {"viewpos", Input::CameraPosition},
    {"viewposition", Input::CameraPosition},
};

bool ByName(std::string_view key, Binding* binding) {
  if (ParseMatrix(key, binding)) return true;
  for (const NameWord& name : kNames)
    if (key == name.word) {
      binding->input = name.input;
      return true;
    }
  return false;
}

// SAS semantics. DIFFUSE, SPECULAR, AMBIENT and POSITION describe a light when the parameter is a
// light's (an Object annotation or a name that says so), else the material.
bool BySemantic(std::string_view semantic, bool light, Binding* binding) {
  const std::string s = Lower(semantic);
  if (ParseMatrix(s, binding)) return true;
  Input input = Input::None;
  if (s == "viewportpixelsize") input = Input::ViewportPixelSize;
  if (s == "time") input = Input::Time;
  if (s == "direction" || s == "lightdirection") input = Input::LightDirection;
  if ((s == "position" && light) || s == "lightposition") input = Input::LightPosition;
  if (s == "diffuse" || s == "specular" || ((s == "color" || s == "colour") && light))
    input = light            ? Input::LightColour
            : s == "diffuse" ? Input::MaterialDiffuse
                             : Input::MaterialSpecular;
  if (s == "materialdiffuse") input = Input::MaterialDiffuse;
  if (s == "materialspecular") input = Input::MaterialSpecular;
  if (s == "ambient") input = light ? Input::LightAmbient : Input::MaterialAmbient;
  if (s == "materialambient") input = Input::MaterialAmbient;
  if (s == "specularpower" || s == "power" || s == "materialpower" || s == "shininess")
    input = Input::SpecularPower;
  if (s == "cameraposition" || s == "viewposition" || s == "eyeposition")
    input = Input::CameraPosition;
  binding->input = input;
  return input != Input::None;
}

// DXSAS: "Sas.Camera.WorldToView", "Sas.Time.Now", "Sas.DirectionalLight[0].Direction",
// "Sas.Skeleton.MeshToJointToWorld[0]".
bool ByBindAddress(std::string_view address, Binding* binding) {
  const std::string a = Lower(address);
  if (!StartsWith(a, "sas.")) return false;
  std::string last = a.substr(a.rfind('.') + 1);
  if (const size_t bracket = last.find('['); bracket != std::string::npos) last.erase(bracket);
  Input input = Input::None;
  if (last == "now") input = Input::Time;
  if (last == "meshtojointtoworld" || last == "objecttoworld") input = Input::Matrix;
  if (Contains(a, "camera")) {
    if (last == "position") input = Input::CameraPosition;
    if (last == "worldtoview" || last == "projection") return ParseMatrix(last, binding);
  }
  if (Contains(a, "light")) {
    if (last == "direction") input = Input::LightDirection;
    if (last == "position") input = Input::LightPosition;
    if (last == "color" || last == "colour")
      input = Contains(a, "ambient") ? Input::LightAmbient : Input::LightColour;
  }
  binding->input = input;
  binding->base = MatrixBase::World;
  binding->variant = MatrixVariant::Plain;
  return input != Input::None;
}

// What a parameter of this shape can take.
bool Fits(Input input, const ParameterInfo& p) {
  const bool floats = p.type == gfx::PT_FLOAT;
  switch (input) {
    case Input::None: return false;
    case Input::Matrix:
      return floats && (p.shape == gfx::PC_MATRIX_ROWS || p.shape == gfx::PC_MATRIX_COLUMNS) &&
             p.rows >= 3 && p.columns >= 3;
    case Input::ViewportPixelSize: return floats && p.shape == gfx::PC_VECTOR && p.columns >= 2;
    case Input::ViewportWidth:
    case Input::ViewportHeight:
    case Input::Time:
    case Input::SpecularPower: return floats && p.shape == gfx::PC_SCALAR;
    case Input::LightDirection:
    case Input::LightVector:
    case Input::LightPosition:
    case Input::LightColour:
    case Input::LightAmbient:
    case Input::MaterialDiffuse:
    case Input::MaterialSpecular:
    case Input::MaterialAmbient:
    case Input::CameraPosition: return floats && p.shape == gfx::PC_VECTOR && p.columns >= 3;
    case Input::Texture:
      return p.shape == gfx::PC_OBJECT &&
             (p.type == gfx::PT_TEXTURE || p.type == gfx::PT_TEXTURE2D);
  }
  return false;
}

const std::string* Annotation(const ParameterInfo& p, std::string_view name) {
  for (const auto& [key, text] : p.strings)
    if (Lower(key) == Lower(name)) return &text;
  return nullptr;
}

const char* BaseName(MatrixBase base) {
  switch (base) {
    case MatrixBase::World: return "WORLD";
    case MatrixBase::View: return "VIEW";
    case MatrixBase::Projection: return "PROJECTION";
    case MatrixBase::WorldView: return "WORLDVIEW";
    case MatrixBase::ViewProjection: return "VIEWPROJECTION";
    case MatrixBase::WorldViewProjection: return "WORLDVIEWPROJECTION";
  }
  return "?";
}

const char* VariantName(MatrixVariant variant) {
  switch (variant) {
    case MatrixVariant::Plain: return "";
    case MatrixVariant::Inverse: return "INVERSE";
    case MatrixVariant::Transpose: return "TRANSPOSE";
    case MatrixVariant::InverseTranspose: return "INVERSETRANSPOSE";
  }
  return "?";
}

}  // namespace

std::vector<ParameterInfo> ReadParameters(gfx::Effect* effect) {
  std::vector<ParameterInfo> parameters;
  gfx::EffectDesc effectDesc{};
  if (gfx::Failed(effect->GetDesc(&effectDesc))) return parameters;
  for (uint32_t i = 0; i < effectDesc.Parameters; ++i) {
    const gfx::Handle handle = effect->GetParameter(nullptr, i);
    gfx::ParameterDesc desc{};
    if (!handle || gfx::Failed(effect->GetParameterDesc(handle, &desc))) continue;
    ParameterInfo p;
    p.handle = handle;
    p.name = desc.Name ? desc.Name : "";
    p.semantic = desc.Semantic ? desc.Semantic : "";
    p.shape = desc.Class;
    p.type = desc.Type;
    p.rows = desc.Rows;
    p.columns = desc.Columns;
    for (uint32_t a = 0; a < desc.Annotations; ++a) {
      const gfx::Handle annotation = effect->GetAnnotation(handle, a);
      gfx::ParameterDesc annotationDesc{};
      const char* text = nullptr;
      if (annotation && !gfx::Failed(effect->GetParameterDesc(annotation, &annotationDesc)) &&
          annotationDesc.Type == gfx::PT_STRING && annotationDesc.Name &&
          !gfx::Failed(effect->GetString(annotation, &text)) && text)
        p.strings.emplace_back(annotationDesc.Name, text);
    }
    parameters.push_back(std::move(p));
  }
  return parameters;
}

Binding Classify(const ParameterInfo& p) {
  Binding binding;
  if (Fits(Input::Texture, p)) {
    binding.input = Input::Texture;
    for (const char* name : {"ResourceName", "name", "file"})
      if (const std::string* file = Annotation(p, name); file && !file->empty()) {
        binding.file = *file;
        binding.how = std::string("annotation ") + name;
        break;
      }
    return binding;
  }
  const std::string key = NameKey(p.name);
  const std::string* object = Annotation(p, "Object");
  const bool light =
      Contains(key, "light") || Contains(key, "lamp") ||
      (object && (Contains(Lower(*object), "light") || Contains(Lower(*object), "lamp")));
  if (!p.semantic.empty() && BySemantic(p.semantic, light, &binding) && Fits(binding.input, p)) {
    binding.how = "semantic " + p.semantic;
    return binding;
  }
  const std::string* address = Annotation(p, "SasBindAddress");
  if (address && ByBindAddress(*address, &binding) && Fits(binding.input, p)) {
    binding.how = "annotation SasBindAddress";
    return binding;
  }
  for (const char* label : {"UIName", "SasUiLabel"}) {
    const std::string* text = Annotation(p, label);
    if (text && ByName(NameKey(*text), &binding) && Fits(binding.input, p)) {
      binding.how = std::string("annotation ") + label;
      return binding;
    }
  }
  if (ByName(key, &binding) && Fits(binding.input, p)) {
    binding.how = "name";
    return binding;
  }
  return Binding{};
}

std::string Describe(const Binding& binding) {
  switch (binding.input) {
    case Input::None: return "its own value";
    case Input::Matrix: return std::string(BaseName(binding.base)) + VariantName(binding.variant);
    case Input::ViewportPixelSize: return "VIEWPORTPIXELSIZE";
    case Input::ViewportWidth: return "viewport width";
    case Input::ViewportHeight: return "viewport height";
    case Input::Time: return "TIME";
    case Input::LightDirection: return "light DIRECTION";
    case Input::LightVector: return "towards the light";
    case Input::LightPosition: return "light POSITION";
    case Input::LightColour: return "light DIFFUSE";
    case Input::LightAmbient: return "light AMBIENT";
    case Input::MaterialDiffuse: return "material DIFFUSE";
    case Input::MaterialSpecular: return "material SPECULAR";
    case Input::MaterialAmbient: return "material AMBIENT";
    case Input::SpecularPower: return "SPECULARPOWER";
    case Input::CameraPosition: return "CAMERAPOSITION";
    case Input::Texture: return binding.file.empty() ? "the checker" : "texture " + binding.file;
  }
  return "?";
}

gfx::Matrix MatrixOf(const FixedScene& scene, MatrixBase base, MatrixVariant variant) {
  gfx::Matrix m{};
  switch (base) {
    case MatrixBase::World: m = scene.world; break;
    case MatrixBase::View: m = scene.view; break;
    case MatrixBase::Projection: m = scene.projection; break;
    case MatrixBase::WorldView: gfx::MatrixMultiply(&m, &scene.world, &scene.view); break;
    case MatrixBase::ViewProjection: gfx::MatrixMultiply(&m, &scene.view, &scene.projection); break;
    case MatrixBase::WorldViewProjection:
      gfx::MatrixMultiply(&m, &scene.world, &scene.view);
      gfx::MatrixMultiply(&m, &m, &scene.projection);
      break;
  }
  gfx::Matrix out = m;
  // None of the scene's matrices is singular; were one, the matrix itself is the better guess.
  if (variant == MatrixVariant::Inverse || variant == MatrixVariant::InverseTranspose)
    gfx::MatrixInverse(&out, nullptr, &m);
  if (variant == MatrixVariant::Transpose || variant == MatrixVariant::InverseTranspose)
    gfx::MatrixTranspose(&out, &out);
  return out;
}

void Bind(gfx::Device* device, gfx::Effect* effect, const FixedScene& scene,
          const std::vector<ParameterInfo>& parameters, const std::string& effectFolder,
          gfx::Texture* fallback, std::vector<gfx::Texture*>* textures,
          std::vector<std::string>* notes) {
  std::vector<std::pair<std::string, gfx::Texture*>> byFile;  // each file loaded once
  for (const ParameterInfo& p : parameters) {
    const Binding b = Classify(p);
    const float size = static_cast<float>(scene.size);
    const float viewport[2] = {size, size};
    const uint32_t columns = std::min(p.columns, 4u);
    gfx::HRESULT result{};  // success
    switch (b.input) {
      case Input::None: continue;
      case Input::Matrix: {
        const gfx::Matrix m = MatrixOf(scene, b.base, b.variant);
        result = effect->SetMatrix(p.handle, gfx::EffectMatrix(&m));
        break;
      }
      case Input::ViewportPixelSize: result = effect->SetFloatArray(p.handle, viewport, 2); break;
      case Input::ViewportWidth:
      case Input::ViewportHeight: result = effect->SetFloat(p.handle, size); break;
      case Input::Time: result = effect->SetFloat(p.handle, scene.time); break;
      case Input::SpecularPower: result = effect->SetFloat(p.handle, scene.specularPower); break;
      case Input::LightDirection:
        result = effect->SetFloatArray(p.handle, scene.lightDirection, columns);
        break;
      case Input::LightVector: {
        const float* d = scene.lightDirection;
        const float towards[4] = {-d[0], -d[1], -d[2], 0.0f};
        result = effect->SetFloatArray(p.handle, towards, columns);
        break;
      }
      case Input::LightPosition:
        result = effect->SetFloatArray(p.handle, scene.lightPosition, columns);
        break;
      case Input::LightColour:
        result = effect->SetFloatArray(p.handle, scene.lightColour, columns);
        break;
      case Input::LightAmbient:
        result = effect->SetFloatArray(p.handle, scene.lightAmbient, columns);
        break;
      case Input::MaterialDiffuse:
        result = effect->SetFloatArray(p.handle, scene.materialDiffuse, columns);
        break;
      case Input::MaterialSpecular:
        result = effect->SetFloatArray(p.handle, scene.materialSpecular, columns);
        break;
      case Input::MaterialAmbient:
        result = effect->SetFloatArray(p.handle, scene.materialAmbient, columns);
        break;
      case Input::CameraPosition:
        result = effect->SetFloatArray(p.handle, scene.cameraPosition, columns);
        break;
      case Input::Texture: {
        gfx::Texture* texture = fallback;
        if (!b.file.empty()) {
          const std::string path = effectFolder.empty() ? b.file : effectFolder + "/" + b.file;
          const auto known = std::find_if(byFile.begin(), byFile.end(),
                                          [&](const auto& entry) { return entry.first == path; });
          if (known != byFile.end()) {
            texture = known->second ? known->second : fallback;
          } else {
            gfx::Texture* loaded = nullptr;
            gfx::CreateTextureFromFile(device, path.c_str(), &loaded);
            byFile.emplace_back(path, loaded);
            if (loaded) {
              textures->push_back(loaded);
              texture = loaded;
            }
          }
          if (texture == fallback)
            notes->push_back(p.name + ": cannot load " + path + "; the checker instead");
        }
        result = effect->SetTexture(p.handle, texture);
        break;
      }
    }
    if (gfx::Failed(result)) {
      notes->push_back(p.name + ": the effect refused its " + Describe(b) + " value");
    }
  }
}

}  // namespace fxview
