// Recording fake of the graphics seam for unit tests: no GPU, no files. Objects are kept in a pool
// for the life of the process so that a call on a released object is seen and reported as a
// violation instead of being undefined behaviour.
#include "tests/fakes/gfx_fake.hpp"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>

namespace gfxfake {
namespace {

struct Settings {
  std::map<std::string, uint32_t> passCounts;
  std::map<std::string, bool> failures;
  std::string effectErrorText = "Za_rad_2.fx(1): error: fake failure";
  bool effectErrorTerminated = true;
  std::map<std::string, std::vector<std::string>> meshMaterials;
  bool failBegin = false;
  // Declared parameters; the program's contract unless a test changes it.
  std::map<std::string, gfx::ParameterDesc> parameters = {
      {"inTexture", {"inTexture", nullptr, gfx::PC_OBJECT, gfx::PT_TEXTURE, 0, 0, 0, 0, 0, 0, 0}},
      {"fCosTime0_X", {"fCosTime0_X", nullptr, gfx::PC_SCALAR, gfx::PT_FLOAT, 1, 1, 0, 0, 0, 0, 0}},
      {"fSinTime0_X", {"fSinTime0_X", nullptr, gfx::PC_SCALAR, gfx::PT_FLOAT, 1, 1, 0, 0, 0, 0, 0}},
      {"light_position",
       {"light_position", nullptr, gfx::PC_VECTOR, gfx::PT_FLOAT, 1, 3, 0, 0, 0, 0, 0}},
      {"kAmbient", {"kAmbient", nullptr, gfx::PC_SCALAR, gfx::PT_FLOAT, 1, 1, 0, 0, 0, 0, 0}},
      {"kDifuse", {"kDifuse", nullptr, gfx::PC_SCALAR, gfx::PT_FLOAT, 1, 1, 0, 0, 0, 0, 0}},
      {"iSource", {"iSource", nullptr, gfx::PC_VECTOR, gfx::PT_FLOAT, 1, 3, 0, 0, 0, 0, 0}},
      {"iAmbient", {"iAmbient", nullptr, gfx::PC_VECTOR, gfx::PT_FLOAT, 1, 3, 0, 0, 0, 0, 0}},
      {"matViewProjection",
       {"matViewProjection", nullptr, gfx::PC_MATRIX_ROWS, gfx::PT_FLOAT, 4, 4, 0, 0, 0, 0, 0}},
      {"matWorld", {"matWorld", nullptr, gfx::PC_MATRIX_ROWS, gfx::PT_FLOAT, 4, 4, 0, 0, 0, 0, 0}},
  };
  std::string meshErrorText;
  bool techniquesLimited = false;
  std::vector<std::string> techniques;
  int64_t clock = 0;
  gfx::DisplayMode mode{1024, 768, 60, gfx::FMT_X8R8G8B8};
};

struct State {
  Settings settings;
  std::vector<Call> calls;
  std::vector<std::string> violations;
  int generation = 1;  // objects of an earlier generation no longer count as live
  bool inScene = false;
  int activePasses = 0;  // passes begun and not ended, over all effects
};

State& S() {
  static State state;
  return state;
}

// Every object ever made; never shrinks, so pointers stay valid across tests.
std::vector<std::shared_ptr<void>>& Pool() {
  static std::vector<std::shared_ptr<void>> pool;
  return pool;
}

void Violation(const std::string& what) { S().violations.push_back(what); }

Call& Record(const char* op, const void* object) {
  Call call;
  call.op = op;
  call.object = object;
  S().calls.push_back(std::move(call));
  return S().calls.back();
}

bool Fails(const std::string& what) {
  auto it = S().settings.failures.find(what);
  return it != S().settings.failures.end() && it->second;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Reference counting shared by every fake class.
template <class Base>
class Object : public Base {
 public:
  explicit Object(std::string name) : name_(std::move(name)), generation_(S().generation) {}
  ~Object() override = default;

  uint32_t AddRef() override {
    Record("AddRef", this);
    Check("AddRef");
    return static_cast<uint32_t>(++refs_);
  }
  uint32_t Release() override {
    Record("Release", this);
    if (refs_ <= 0) {
      Violation("Release of an object already released: " + Describe());
      return 0;
    }
    return static_cast<uint32_t>(--refs_);
  }

  bool Live() const { return refs_ > 0 && generation_ == S().generation; }
  const std::string& Name() const { return name_; }

 protected:
  void Check(const char* op) const {
    if (refs_ <= 0) Violation(std::string(op) + " on a released object: " + Describe());
  }
  std::string Describe() const { return name_.empty() ? "(unnamed)" : name_; }

 private:
  int refs_ = 1;
  std::string name_;
  int generation_;
};

// Lets NameOf and LiveObjects look at any object without knowing its type.
struct Entry {
  const void* object;
  std::string (*name)(const void*);
  bool (*live)(const void*);
};

std::vector<Entry>& Registry() {
  static std::vector<Entry> registry;
  return registry;
}

template <class T, class... Args>
T* Make(Args&&... args) {
  auto object = std::make_shared<T>(std::forward<Args>(args)...);
  Pool().push_back(object);
  Registry().push_back(Entry{static_cast<const void*>(object.get()),
                             [](const void* p) { return static_cast<const T*>(p)->Name(); },
                             [](const void* p) { return static_cast<const T*>(p)->Live(); }});
  return object.get();
}

class FakeBuffer final : public Object<gfx::Buffer> {
 public:
  FakeBuffer(std::string name, size_t bytes)
      : Object(std::move(name)),
        storage_((bytes + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t) + 1),
        size_(static_cast<uint32_t>(bytes)) {}
  void* GetBufferPointer() override {
    Record("GetBufferPointer", this);
    Check("GetBufferPointer");
    return storage_.data();
  }
  uint32_t GetBufferSize() override {
    Record("GetBufferSize", this);
    Check("GetBufferSize");
    return size_;
  }
  char* Bytes() { return reinterpret_cast<char*>(storage_.data()); }
  size_t Capacity() const { return storage_.size() * sizeof(std::max_align_t); }

 private:
  std::vector<std::max_align_t> storage_;
  uint32_t size_;
};

FakeBuffer* MakeTextBuffer(const std::string& text) {
  FakeBuffer* buffer = Make<FakeBuffer>("", text.size() + 1);
  std::memcpy(buffer->Bytes(), text.c_str(), text.size() + 1);
  return buffer;
}

// Material records first, then their NUL-terminated names, as the mesh loader lays them out.
FakeBuffer* MakeMaterialBuffer(const std::vector<std::string>& names) {
  size_t bytes = names.size() * sizeof(gfx::Material);
  for (const std::string& n : names) bytes += n.size() + 1;
  FakeBuffer* buffer = Make<FakeBuffer>("", bytes);
  auto* materials = reinterpret_cast<gfx::Material*>(buffer->Bytes());
  char* strings = buffer->Bytes() + names.size() * sizeof(gfx::Material);
  for (size_t i = 0; i < names.size(); ++i) {
    gfx::Material m{};
    for (int k = 0; k < 4; ++k) m.Diffuse[k] = m.Ambient[k] = 1.0f;
    m.Power = 1.0f;
    m.pTextureFilename = nullptr;
    if (!names[i].empty()) {
      std::memcpy(strings, names[i].c_str(), names[i].size() + 1);
      m.pTextureFilename = strings;
      strings += names[i].size() + 1;
    }
    materials[i] = m;
  }
  return buffer;
}

class FakeTexture final : public Object<gfx::Texture> {
 public:
  using Object::Object;
};

class FakeMesh final : public Object<gfx::Mesh> {
 public:
  using Object::Object;
  gfx::HRESULT DrawSubset(uint32_t subset) override {
    Record("DrawSubset", this).integer = subset;
    Check("DrawSubset");
    if (S().activePasses == 0) Violation("DrawSubset outside an effect pass");
    if (!S().inScene) Violation("DrawSubset outside BeginScene/EndScene");
    return gfx::S_OK;
  }
  // The shipped sphere and chair have these counts; the overlay's formulas rely on them.
  uint32_t GetNumVertices() override {
    Record("GetNumVertices", this);
    Check("GetNumVertices");
    return EndsWith(Name(), "sphere.x") ? 561u : 3258u;
  }
  uint32_t GetNumFaces() override {
    Record("GetNumFaces", this);
    Check("GetNumFaces");
    return EndsWith(Name(), "sphere.x") ? 960u : 4304u;
  }
};

bool KnownTechnique(const std::string& name) {
  const auto& known = S().settings.techniques;
  return !S().settings.techniquesLimited ||
         std::find(known.begin(), known.end(), name) != known.end();
}

uint32_t PassCountOf(const std::string& technique) {
  auto it = S().settings.passCounts.find(technique);
  return it == S().settings.passCounts.end() ? 2u : it->second;
}

class FakeEffect final : public Object<gfx::Effect> {
 public:
  using Object::Object;
  gfx::HRESULT GetDesc(gfx::EffectDesc* desc) override {
    Record("GetDesc", this);
    Check("GetDesc");
    *desc = {nullptr, static_cast<uint32_t>(S().settings.parameters.size()),
             static_cast<uint32_t>(S().settings.techniques.size()), 0};
    return gfx::S_OK;
  }
  // Handles are the declared names, which live in the settings until the next Reset.
  gfx::Handle GetParameter(gfx::Handle parent, uint32_t index) override {
    Call& c = Record("GetParameter", this);
    c.name = parent ? parent : "";
    c.integer = index;
    Check("GetParameter");
    const auto& declared = S().settings.parameters;
    if (parent || index >= declared.size()) return nullptr;
    return std::next(declared.begin(), index)->first.c_str();
  }
  gfx::HRESULT GetParameterDesc(const char* name, gfx::ParameterDesc* desc) override {
    Record("GetParameterDesc", this).name = name ? name : "";
    Check("GetParameterDesc");
    const auto& declared = S().settings.parameters;
    const auto it = declared.find(name ? name : "");
    if (it == declared.end()) return gfx::E_NOTFOUND;
    *desc = it->second;
    return gfx::S_OK;
  }
  // The fake declares no annotations.
  gfx::Handle GetAnnotation(gfx::Handle object, uint32_t index) override {
    Call& c = Record("GetAnnotation", this);
    c.name = object ? object : "";
    c.integer = index;
    Check("GetAnnotation");
    return nullptr;
  }
  gfx::HRESULT GetString(gfx::Handle parameter, const char** text) override {
    Record("GetString", this).name = parameter ? parameter : "";
    Check("GetString");
    *text = nullptr;
    return gfx::E_NOTFOUND;
  }
  gfx::HRESULT GetFloat(gfx::Handle parameter, float* value) override {
    Record("GetFloat", this).name = parameter ? parameter : "";
    Check("GetFloat");
    *value = 0.0f;
    return gfx::E_NOTFOUND;
  }
  // Only the techniques SetEffectTechniques named can be enumerated.
  gfx::Handle GetTechnique(uint32_t index) override {
    Record("GetTechnique", this).integer = index;
    Check("GetTechnique");
    const auto& known = S().settings.techniques;
    return index < known.size() ? known[index].c_str() : nullptr;
  }
  gfx::HRESULT GetTechniqueDesc(gfx::Handle technique, gfx::TechniqueDesc* desc) override {
    Record("GetTechniqueDesc", this).name = technique ? technique : "";
    Check("GetTechniqueDesc");
    if (!technique || !KnownTechnique(technique)) return gfx::E_NOTFOUND;
    *desc = {technique, PassCountOf(technique), 0};
    return gfx::S_OK;
  }
  gfx::HRESULT ValidateTechnique(gfx::Handle technique) override {
    Record("ValidateTechnique", this).name = technique ? technique : "";
    Check("ValidateTechnique");
    return technique && KnownTechnique(technique) ? gfx::S_OK : gfx::E_NOTFOUND;
  }
  gfx::HRESULT SetTechnique(const char* name) override {
    Record("SetTechnique", this).name = name ? name : "";
    Check("SetTechnique");
    const std::string wanted = name ? name : "";
    if (!KnownTechnique(wanted)) return gfx::E_NOTFOUND;
    technique_ = wanted;
    return gfx::S_OK;
  }
  gfx::HRESULT SetTexture(const char* name, gfx::Texture* texture) override {
    Call& c = Record("SetTexture", this);
    c.name = name;
    c.pointer = texture;
    Check("SetTexture");
    return gfx::S_OK;
  }
  gfx::HRESULT SetFloat(const char* name, float value) override {
    Call& c = Record("SetFloat", this);
    c.name = name;
    c.floats = {value};
    Check("SetFloat");
    return gfx::S_OK;
  }
  gfx::HRESULT SetFloatArray(const char* name, const float* values, uint32_t count) override {
    Call& c = Record("SetFloatArray", this);
    c.name = name;
    c.floats.assign(values, values + count);
    c.integer = count;
    Check("SetFloatArray");
    return gfx::S_OK;
  }
  gfx::HRESULT SetMatrix(const char* name, const gfx::Matrix* matrix) override {
    Call& c = Record("SetMatrix", this);
    c.name = name;
    c.floats.assign(&matrix->m[0][0], &matrix->m[0][0] + 16);
    Check("SetMatrix");
    return gfx::S_OK;
  }
  gfx::HRESULT Begin(uint32_t* passes, uint32_t flags) override {
    Call& c = Record("Begin", this);
    c.integer = flags;
    Check("Begin");
    if (begun_) Violation("Begin while the effect is already begun");
    if (S().settings.failBegin) return gfx::E_FAIL;
    passes_ = PassCountOf(technique_);
    c.extra = passes_;
    *passes = passes_;
    begun_ = true;
    return gfx::S_OK;
  }
  gfx::HRESULT BeginPass(uint32_t pass) override {
    Record("BeginPass", this).integer = pass;
    Check("BeginPass");
    if (!begun_) Violation("BeginPass outside Begin/End");
    if (inPass_) Violation("BeginPass while a pass is active");
    if (pass >= passes_) Violation("BeginPass " + std::to_string(pass) + " beyond the pass count");
    if (!inPass_) ++S().activePasses;
    inPass_ = true;
    return gfx::S_OK;
  }
  gfx::HRESULT CommitChanges() override {
    Record("CommitChanges", this);
    Check("CommitChanges");
    return gfx::S_OK;
  }
  gfx::HRESULT EndPass() override {
    Record("EndPass", this);
    Check("EndPass");
    if (!inPass_) Violation("EndPass without BeginPass");
    if (inPass_) --S().activePasses;
    inPass_ = false;
    return gfx::S_OK;
  }
  gfx::HRESULT End() override {
    Record("End", this);
    Check("End");
    if (!begun_) Violation("End without a successful Begin");
    if (inPass_) Violation("End while a pass is active");
    begun_ = false;
    return gfx::S_OK;
  }
  const std::string& Technique() const { return technique_; }

 private:
  std::string technique_;
  uint32_t passes_ = 0;
  bool begun_ = false;
  bool inPass_ = false;
};

class FakeFont final : public Object<gfx::Font> {
 public:
  using Object::Object;
  int DrawText(void* sprite, const char* text, int count, gfx::Rect* rect, uint32_t format,
               uint32_t colour) override {
    Call& c = Record("DrawText", this);
    c.name = count < 0 ? std::string(text) : std::string(text, static_cast<size_t>(count));
    c.pointer = rect;
    c.integer = count;
    c.extra = colour;
    c.rect = *rect;
    c.ints = {format};
    c.pointers = {sprite};
    Check("DrawText");
    if (!S().inScene) Violation("DrawText outside BeginScene/EndScene");
    return 15;
  }
};

class FakeDevice final : public Object<gfx::Device> {
 public:
  using Object::Object;
  gfx::HRESULT SetRenderState(gfx::RenderStateType state, uint32_t value) override {
    Call& c = Record("SetRenderState", this);
    c.integer = state;
    c.extra = value;
    Check("SetRenderState");
    return gfx::S_OK;
  }
  gfx::HRESULT SetTransform(gfx::TransformStateType state, const gfx::Matrix* matrix) override {
    Call& c = Record("SetTransform", this);
    c.integer = state;
    c.floats.assign(&matrix->m[0][0], &matrix->m[0][0] + 16);
    Check("SetTransform");
    return gfx::S_OK;
  }
  gfx::HRESULT Clear(uint32_t rectCount, const gfx::Rect* rects, uint32_t flags, uint32_t colour,
                     float z, uint32_t stencil) override {
    Call& c = Record("Clear", this);
    c.integer = flags;
    c.extra = colour;
    c.floats = {z};
    c.ints = {rectCount, stencil};
    c.pointers = {rects};
    Check("Clear");
    return gfx::S_OK;
  }
  gfx::HRESULT BeginScene() override {
    Record("BeginScene", this);
    Check("BeginScene");
    if (S().inScene) Violation("BeginScene inside a scene");
    S().inScene = true;
    return gfx::S_OK;
  }
  gfx::HRESULT EndScene() override {
    Record("EndScene", this);
    Check("EndScene");
    if (!S().inScene) Violation("EndScene without BeginScene");
    S().inScene = false;
    return gfx::S_OK;
  }
  gfx::HRESULT Present(const gfx::Rect* source, const gfx::Rect* destination, HWND window,
                       const void* dirtyRegion) override {
    Record("Present", this).pointers = {source, destination, window, dirtyRegion};
    Check("Present");
    if (S().inScene) Violation("Present inside a scene");
    return gfx::S_OK;
  }
};

class FakeContext final : public Object<gfx::Context> {
 public:
  using Object::Object;
  gfx::HRESULT GetAdapterDisplayMode(uint32_t adapter, gfx::DisplayMode* mode) override {
    Record("GetAdapterDisplayMode", this).ints = {adapter};
    Check("GetAdapterDisplayMode");
    *mode = S().settings.mode;
    return gfx::S_OK;
  }
  gfx::HRESULT CreateDevice(uint32_t adapter, uint32_t deviceType, HWND focusWindow,
                            uint32_t behaviourFlags, gfx::PresentParameters* parameters,
                            gfx::Device** device) override {
    Call& c = Record("CreateDevice", this);
    c.ints = {adapter, deviceType, behaviourFlags};
    c.pointers = {focusWindow};
    c.present = *parameters;
    Check("CreateDevice");
    *device = nullptr;
    if (Fails("CreateDevice")) return gfx::E_FAIL;
    *device = Make<FakeDevice>("device");
    c.created = *device;
    return gfx::S_OK;
  }
};

}  // namespace

void Reset() {
  static int generations = 1;
  S() = State{};
  S().generation = ++generations;
}

const std::vector<Call>& Calls() { return S().calls; }
void ClearCalls() { S().calls.clear(); }

std::vector<Call> CallsOf(const std::string& op) {
  std::vector<Call> out;
  for (const Call& c : S().calls)
    if (c.op == op) out.push_back(c);
  return out;
}

void SetPassCount(const std::string& technique, uint32_t passes) {
  S().settings.passCounts[technique] = passes;
}
void FailCreation(const std::string& what) { S().settings.failures[what] = true; }
void SetEffectParameter(const std::string& name, const gfx::ParameterDesc& desc) {
  if (desc.Name)
    S().settings.parameters[name] = desc;
  else
    S().settings.parameters.erase(name);
}
void SetMeshErrorText(const std::string& text) { S().settings.meshErrorText = text; }
void SetEffectTechniques(const std::vector<std::string>& names) {
  S().settings.techniquesLimited = true;
  S().settings.techniques = names;
}
void SetEffectErrorText(const std::string& text, bool terminated) {
  S().settings.effectErrorText = text;
  S().settings.effectErrorTerminated = terminated;
}
void SetMeshMaterials(const std::string& file, const std::vector<std::string>& textureNames) {
  S().settings.meshMaterials[file] = textureNames;
}
void FailBegin(bool fail) { S().settings.failBegin = fail; }
void SetClock(int64_t milliseconds) { S().settings.clock = milliseconds; }
void AdvanceClock(int64_t milliseconds) { S().settings.clock += milliseconds; }

int LiveObjects() {
  int live = 0;
  for (const Entry& e : Registry())
    if (e.live(e.object)) ++live;
  return live;
}

std::vector<std::string> Violations() { return S().violations; }
void SetDisplayMode(const gfx::DisplayMode& mode) { S().settings.mode = mode; }

std::string NameOf(const void* object) {
  for (const Entry& e : Registry())
    if (e.object == object) return e.name(object);
  return "";
}

std::string CurrentTechnique(const gfx::Effect* effect) {
  return static_cast<const FakeEffect*>(effect)->Technique();
}

}  // namespace gfxfake

namespace gfx {

using gfxfake::Call;
using gfxfake::Fails;
using gfxfake::Make;
using gfxfake::Record;

Context* Create(uint32_t sdkVersion) {
  Call& c = Record("Create", nullptr);
  c.ints = {sdkVersion};
  if (Fails("Create")) return nullptr;
  Context* context = Make<gfxfake::FakeContext>("context");
  c.created = context;
  return context;
}

HRESULT LoadMeshFromX(const char* fileName, uint32_t options, Device* device, Buffer** materials,
                      uint32_t* materialCount, Mesh** mesh, Buffer** errors) {
  Call& c = Record("LoadMeshFromX", nullptr);
  c.name = fileName;
  c.ints = {options};
  c.pointers = {device};
  if (materials) *materials = nullptr;
  if (materialCount) *materialCount = 0;
  *mesh = nullptr;
  if (errors) *errors = nullptr;
  if (gfxfake::Fails(std::string("LoadMesh:") + fileName)) {
    const std::string& text = gfxfake::S().settings.meshErrorText;
    if (errors)
      *errors = gfxfake::MakeTextBuffer(text.empty() ? std::string(fileName) + ": fake load failure"
                                                     : text);
    return E_FAIL;
  }
  const auto& table = gfxfake::S().settings.meshMaterials;
  auto it = table.find(fileName);
  const std::vector<std::string> names =
      it == table.end() ? std::vector<std::string>{"chair_tex.png"} : it->second;
  if (materials && !names.empty()) *materials = gfxfake::MakeMaterialBuffer(names);
  if (materialCount) *materialCount = static_cast<uint32_t>(names.size());
  *mesh = Make<gfxfake::FakeMesh>(fileName);
  c.created = *mesh;
  return S_OK;
}

// No pixels are drawn: the picture reads back black.
HRESULT ReadBackBuffer(Device* device, uint32_t width, uint32_t height, uint8_t* rgba) {
  Call& c = Record("ReadBackBuffer", nullptr);
  c.ints = {width, height};
  c.pointers = {device};
  if (!device || !rgba) return E_INVALIDARG;
  std::fill(rgba, rgba + size_t{width} * height * 4, uint8_t{0});
  return S_OK;
}

HRESULT CreateTextureFromFile(Device* device, const char* fileName, Texture** texture) {
  Call& c = Record("CreateTextureFromFile", nullptr);
  c.name = fileName;
  c.pointers = {device};
  *texture = nullptr;
  if (gfxfake::Fails(std::string("CreateTexture:") + fileName)) return E_NOTFOUND;
  *texture = Make<gfxfake::FakeTexture>(fileName);
  c.created = *texture;
  return S_OK;
}

HRESULT CreateEffectFromFile(Device* device, const char* fileName, const void* defines,
                             void* include, uint32_t flags, void* pool, Effect** effect,
                             Buffer** errors) {
  Call& c = Record("CreateEffectFromFile", nullptr);
  c.name = fileName;
  c.ints = {flags};
  c.pointers = {device, defines, include, pool};
  *effect = nullptr;
  if (errors) *errors = nullptr;
  if (gfxfake::Fails("CreateEffect")) {
    const std::string& text = gfxfake::S().settings.effectErrorText;
    if (errors && !text.empty()) {
      if (gfxfake::S().settings.effectErrorTerminated) {
        *errors = gfxfake::MakeTextBuffer(text);
      } else {
        // The whole allocation after the text is filled, so a reader that looks for the NUL
        // reads garbage or beyond the buffer (which ASan reports).
        auto* buffer = Make<gfxfake::FakeBuffer>("", text.size());
        std::memcpy(buffer->Bytes(), text.data(), text.size());
        std::memset(buffer->Bytes() + text.size(), '#', buffer->Capacity() - text.size());
        *errors = buffer;
      }
    }
    return E_FAIL;
  }
  *effect = Make<gfxfake::FakeEffect>(fileName);
  c.created = *effect;
  return S_OK;
}

HRESULT CreateFont(Device* device, int height, uint32_t width, uint32_t weight, uint32_t mipLevels,
                   bool italic, uint32_t charSet, uint32_t outputPrecision, uint32_t quality,
                   uint32_t pitchAndFamily, const char* faceName, Font** font) {
  Call& c = Record("CreateFont", nullptr);
  c.name = faceName;
  c.ints = {height,  width,           weight,  mipLevels,     italic ? 1 : 0,
            charSet, outputPrecision, quality, pitchAndFamily};
  c.pointers = {device};
  *font = nullptr;
  if (gfxfake::Fails("CreateFont")) return E_FAIL;
  *font = Make<gfxfake::FakeFont>(faceName);
  c.created = *font;
  return S_OK;
}

int64_t ReadClockMilliseconds() {
  Record("ReadClockMilliseconds", nullptr);
  return gfxfake::S().settings.clock;
}

}  // namespace gfx
