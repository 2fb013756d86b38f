// Writer and reader of the binary form. Every field is written in the order the structure declares
// it; counts and lengths are u32, floats their IEEE bits, enumerations and flags one byte.
#include "compiler/effect_binary.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "compiler/expression.hpp"
#include "compiler/fixed_function.hpp"

namespace compiler {
namespace {

// Bounds a reader applies before trusting a count: more than any effect the compiler accepts.
constexpr uint32_t kMaxString = 32u << 20;
constexpr uint32_t kMaxItems = 1u << 16;
constexpr uint32_t kMaxFloats = 1u << 22;
constexpr uint32_t kMaxUnits = kMaxTextureUnits;
constexpr uint32_t kMaxBindings = 2;  // uniform buffer binding points: vertex, fragment
constexpr uint32_t kMaxBlockBytes = 1u << 16;
constexpr uint32_t kMaxInputLocation = 16;

struct Writer {
  std::string out;
  void U8(uint8_t v) { out += static_cast<char>(v); }
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 255);
  }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void F32(float v) {
    uint32_t bits = 0;
    std::memcpy(&bits, &v, 4);
    U32(bits);
  }
  void Str(const std::string& s) {
    U32(static_cast<uint32_t>(s.size()));
    out += s;
  }
};

struct Reader {
  const std::string& in;
  size_t at = 0;
  std::string why;
  bool Fail(const std::string& reason) {
    if (why.empty()) why = reason + " at byte " + std::to_string(at);
    return false;
  }
  bool U8(uint8_t* v) {
    if (in.size() - at < 1) return Fail("cut short");
    *v = static_cast<uint8_t>(in[at++]);
    return true;
  }
  bool U32(uint32_t* v) {
    if (in.size() - at < 4) return Fail("cut short");
    *v = 0;
    for (int i = 0; i < 4; ++i) *v |= uint32_t{static_cast<uint8_t>(in[at + i])} << (8 * i);
    at += 4;
    return true;
  }
  bool I32(int32_t* v) {
    uint32_t u = 0;
    if (!U32(&u)) return false;
    *v = static_cast<int32_t>(u);
    return true;
  }
  bool F32(float* v) {
    uint32_t bits = 0;
    if (!U32(&bits)) return false;
    std::memcpy(v, &bits, 4);
    return true;
  }
  bool Str(std::string* s) {
    uint32_t size = 0;
    if (!U32(&size)) return false;
    if (size > kMaxString) return Fail("a string of " + std::to_string(size) + " bytes");
    if (in.size() - at < size) return Fail("cut short");
    s->assign(in, at, size);
    at += size;
    return true;
  }
  bool Bool(bool* v) {
    uint8_t b = 0;
    if (!U8(&b)) return false;
    if (b > 1) return Fail("a flag of " + std::to_string(b));
    *v = b != 0;
    return true;
  }
  template <typename E>
  bool Enum(E* v, uint8_t last) {
    uint8_t b = 0;
    if (!U8(&b)) return false;
    if (b > last) return Fail("an unknown kind " + std::to_string(b));
    *v = static_cast<E>(b);
    return true;
  }
  // A count of items each at least `minBytes` long, checked against what is left, so a damaged
  // count cannot make the reader reserve memory the form does not hold.
  bool Count(uint32_t* n, uint32_t limit, size_t minBytes) {
    if (!U32(n)) return false;
    if (*n > limit || *n * minBytes > in.size() - at)
      return Fail("a count of " + std::to_string(*n));
    return true;
  }
};

// One function per structure, writing and reading the same fields in the same order.
void Put(Writer& w, const std::vector<SamplerState>& states) {
  w.U32(static_cast<uint32_t>(states.size()));
  for (const SamplerState& s : states) w.U32(s.state), w.U32(s.value);
}
bool Get(Reader& r, std::vector<SamplerState>* states) {
  uint32_t n = 0;
  if (!r.Count(&n, kMaxItems, 8)) return false;
  states->resize(n);
  for (SamplerState& s : *states)
    if (!r.U32(&s.state) || !r.U32(&s.value)) return false;
  return true;
}

void Put(Writer& w, const Expression& e) {
  w.U32(static_cast<uint32_t>(e.steps.size()));
  for (const ExprStep& s : e.steps)
    w.U8(static_cast<uint8_t>(s.op)), w.U32(s.index), w.U32(s.count), w.F32(s.value);
  w.U32(static_cast<uint32_t>(e.table.size()));
  for (const float v : e.table) w.F32(v);
}
bool Get(Reader& r, Expression* e) {
  uint32_t n = 0;
  if (!r.Count(&n, kMaxItems, 13)) return false;
  e->steps.resize(n);
  for (ExprStep& s : e->steps)
    if (!r.Enum(&s.op, static_cast<uint8_t>(ExprOp::Select)) || !r.U32(&s.index) ||
        !r.U32(&s.count) || !r.F32(&s.value))
      return false;
  if (!r.Count(&n, kMaxItems, 4)) return false;
  e->table.resize(n);
  for (float& v : e->table)
    if (!r.F32(&v)) return false;
  return true;
}

void Put(Writer& w, const Stage& s) {
  w.U8(static_cast<uint8_t>(s.origin));
  w.Str(s.glsl), w.Str(s.file), w.Str(s.place), w.Str(s.context);
  w.I32(s.line);
  w.U8(s.fileLines);
}
bool Get(Reader& r, Stage* s) {
  return r.Enum(&s->origin, static_cast<uint8_t>(StageOrigin::FixedFunction)) && r.Str(&s->glsl) &&
         r.Str(&s->file) && r.Str(&s->place) && r.Str(&s->context) && r.I32(&s->line) &&
         r.Bool(&s->fileLines);
}

void Put(Writer& w, const Program& p) {
  Put(w, p.vertex);
  Put(w, p.fragment);
  w.U32(static_cast<uint32_t>(p.blocks.size()));
  for (const Block& b : p.blocks) {
    w.Str(b.name), w.U32(b.binding), w.U32(b.size);
    w.U32(static_cast<uint32_t>(b.members.size()));
    for (const BlockMember& m : b.members) {
      w.U32(m.parameter), w.U8(static_cast<uint8_t>(m.scalar));
      w.U32(m.rows), w.U32(m.columns), w.U32(m.elements);
      w.U32(m.offset), w.U32(m.arrayStride), w.U32(m.rowStride), w.U32(m.columnStride);
      w.U8(m.setFlag), w.U8(m.fixed);
    }
  }
  w.U32(static_cast<uint32_t>(p.samplers.size()));
  for (const SamplerUniform& s : p.samplers) w.Str(s.name), w.U32(s.unit);
  w.U32(static_cast<uint32_t>(p.defaultInputs.size()));
  for (const DefaultInput& d : p.defaultInputs) w.Str(d.semantic), w.U32(d.location);
  w.U8(p.readsTargetHeight);
  w.Str(p.place), w.Str(p.context);
  w.I32(p.line);
}
bool Get(Reader& r, Program* p) {
  uint32_t n = 0;
  if (!Get(r, &p->vertex) || !Get(r, &p->fragment) || !r.Count(&n, kMaxBindings, 16)) return false;
  p->blocks.resize(n);
  for (Block& b : p->blocks) {
    if (!r.Str(&b.name) || !r.U32(&b.binding) || !r.U32(&b.size) || !r.Count(&n, kMaxItems, 35))
      return false;
    b.members.resize(n);
    for (BlockMember& m : b.members)
      if (!r.U32(&m.parameter) || !r.Enum(&m.scalar, static_cast<uint8_t>(Scalar::Bool)) ||
          !r.U32(&m.rows) || !r.U32(&m.columns) || !r.U32(&m.elements) || !r.U32(&m.offset) ||
          !r.U32(&m.arrayStride) || !r.U32(&m.rowStride) || !r.U32(&m.columnStride) ||
          !r.Bool(&m.setFlag) || !r.Bool(&m.fixed))
        return false;
  }
  if (!r.Count(&n, kMaxItems, 8)) return false;
  p->samplers.resize(n);
  for (SamplerUniform& s : p->samplers)
    if (!r.Str(&s.name) || !r.U32(&s.unit)) return false;
  if (!r.Count(&n, kMaxItems, 8)) return false;
  p->defaultInputs.resize(n);
  for (DefaultInput& d : p->defaultInputs)
    if (!r.Str(&d.semantic) || !r.U32(&d.location)) return false;
  return r.Bool(&p->readsTargetHeight) && r.Str(&p->place) && r.Str(&p->context) && r.I32(&p->line);
}

}  // namespace

std::string WriteCompiledEffect(const CompiledEffect& e) {
  Writer w;
  w.out.append(kCompiledEffectMagic, sizeof kCompiledEffectMagic);
  w.U32(kCompiledEffectVersion);
  w.U32(0);  // the whole form's size, filled in below
  w.U8(static_cast<uint8_t>(e.language));
  w.Str(e.file);
  w.U32(static_cast<uint32_t>(e.parameters.size()));
  for (const Parameter& p : e.parameters) {
    w.Str(p.name), w.Str(p.semantic), w.U8(static_cast<uint8_t>(p.kind));
    w.U32(p.rows), w.U32(p.columns), w.U32(p.elements);
    w.U32(static_cast<uint32_t>(p.value.size()));
    for (const float v : p.value) w.F32(v);
    w.U32(static_cast<uint32_t>(p.annotations.size()));
    for (const Annotation& a : p.annotations) w.Str(a.type), w.Str(a.name), w.Str(a.value);
  }
  w.U32(static_cast<uint32_t>(e.samplers.size()));
  for (const Sampler& s : e.samplers) {
    w.Str(s.name), w.I32(s.texture), w.U8(static_cast<uint8_t>(s.kind));
    Put(w, s.states);
  }
  w.U32(static_cast<uint32_t>(e.samplerSets.size()));
  for (const SamplerSet& set : e.samplerSets) {
    w.U32(static_cast<uint32_t>(set.source.size()));
    for (size_t u = 0; u < set.source.size(); ++u) {
      w.U32(set.source[u]);
      Put(w, u < set.states.size() ? set.states[u] : std::vector<SamplerState>{});
    }
  }
  w.U32(static_cast<uint32_t>(e.programs.size()));
  for (const Program& p : e.programs) Put(w, p);
  w.U32(static_cast<uint32_t>(e.techniques.size()));
  for (const Technique& t : e.techniques) {
    w.Str(t.name);
    w.U32(static_cast<uint32_t>(t.passes.size()));
    for (const Pass& p : t.passes) {
      w.Str(p.name), w.U32(p.program), w.U32(p.samplerSet), w.U8(static_cast<uint8_t>(p.frontFace));
      Put(w, p.vertexIndex);
      Put(w, p.pixelIndex);
      w.U32(p.vertexShaders), w.U32(p.pixelShaders);
      w.U32(static_cast<uint32_t>(p.programs.size()));
      for (const uint32_t program : p.programs) w.U32(program);
      w.U32(static_cast<uint32_t>(p.states.size()));
      for (const RenderState& s : p.states) w.U32(s.state), w.U32(s.value);
      w.U32(static_cast<uint32_t>(p.stateValues.size()));
      for (const StateExpression& s : p.stateValues) w.U32(s.state), Put(w, s.value);
      w.U32(static_cast<uint32_t>(p.fixed.size()));
      for (const FixedValue& f : p.fixed) {
        w.U32(f.slot), w.U32(f.element), w.I32(f.parameter), w.U32(f.parameterElement);
        w.U32(static_cast<uint32_t>(f.value.size()));
        for (const float v : f.value) w.F32(v);
      }
    }
  }
  w.U32(static_cast<uint32_t>(e.warnings.size()));
  for (const std::string& warning : e.warnings) w.Str(warning);
  const uint32_t size = static_cast<uint32_t>(w.out.size());
  for (int i = 0; i < 4; ++i) w.out[12 + i] = static_cast<char>((size >> (8 * i)) & 255);
  return w.out;
}

bool ReadCompiledEffect(const std::string& bytes, CompiledEffect* out, std::string* why) {
  if (bytes.size() < 16 || std::memcmp(bytes.data(), kCompiledEffectMagic, 8) != 0) {
    *why = "not a compiled effect (no TOBRINFX header)";
    return false;
  }
  Reader r{bytes, 8, {}};
  uint32_t version = 0, size = 0;
  r.U32(&version);
  r.U32(&size);
  if (version != kCompiledEffectVersion) {
    *why = "a compiled effect of version " + std::to_string(version) + "; this program reads " +
           std::to_string(kCompiledEffectVersion);
    return false;
  }
  if (size != bytes.size() || size > kMaxCompiledEffectBytes) {
    *why = "the compiled effect says it has " + std::to_string(size) + " bytes, but " +
           std::to_string(bytes.size()) + " arrived";
    return false;
  }
  CompiledEffect e;
  uint32_t n = 0, m = 0;
  bool ok = r.Enum(&e.language, static_cast<uint8_t>(SourceLanguage::Hlsl)) && r.Str(&e.file) &&
            r.Count(&n, kMaxItems, 25);
  if (ok) e.parameters.resize(n);
  for (size_t i = 0; ok && i < e.parameters.size(); ++i) {
    Parameter& p = e.parameters[i];
    ok = r.Str(&p.name) && r.Str(&p.semantic) &&
         r.Enum(&p.kind, static_cast<uint8_t>(ParameterKind::Texture)) && r.U32(&p.rows) &&
         r.U32(&p.columns) && r.U32(&p.elements) && r.Count(&m, kMaxFloats, 4);
    if (ok) p.value.resize(m);
    for (size_t k = 0; ok && k < p.value.size(); ++k) ok = r.F32(&p.value[k]);
    ok = ok && r.Count(&m, kMaxItems, 12);
    if (ok) p.annotations.resize(m);
    for (size_t k = 0; ok && k < p.annotations.size(); ++k)
      ok = r.Str(&p.annotations[k].type) && r.Str(&p.annotations[k].name) &&
           r.Str(&p.annotations[k].value);
  }
  ok = ok && r.Count(&n, kMaxUnits, 13);
  if (ok) e.samplers.resize(n);
  for (size_t i = 0; ok && i < e.samplers.size(); ++i) {
    Sampler& s = e.samplers[i];
    ok = r.Str(&s.name) && r.I32(&s.texture) &&
         r.Enum(&s.kind, static_cast<uint8_t>(SamplerKind::Tex3D)) && Get(r, &s.states);
  }
  ok = ok && r.Count(&n, kMaxItems, 4);
  if (ok) e.samplerSets.resize(n);
  for (size_t i = 0; ok && i < e.samplerSets.size(); ++i) {
    SamplerSet& set = e.samplerSets[i];
    ok = r.Count(&m, kMaxUnits, 8);
    if (ok) set.source.resize(m), set.states.resize(m);
    for (size_t u = 0; ok && u < m; ++u) ok = r.U32(&set.source[u]) && Get(r, &set.states[u]);
  }
  ok = ok && r.Count(&n, kMaxItems, 64);
  if (ok) e.programs.resize(n);
  for (size_t i = 0; ok && i < e.programs.size(); ++i) ok = Get(r, &e.programs[i]);
  ok = ok && r.Count(&n, kMaxItems, 8);
  if (ok) e.techniques.resize(n);
  for (size_t i = 0; ok && i < e.techniques.size(); ++i) {
    Technique& t = e.techniques[i];
    ok = r.Str(&t.name) && r.Count(&m, kMaxItems, 17);
    if (ok) t.passes.resize(m);
    for (size_t k = 0; ok && k < t.passes.size(); ++k) {
      Pass& p = t.passes[k];
      uint32_t states = 0;
      ok = r.Str(&p.name) && r.U32(&p.program) && r.U32(&p.samplerSet) &&
           r.Enum(&p.frontFace, static_cast<uint8_t>(FrontFace::CounterClockwise)) &&
           Get(r, &p.vertexIndex) && Get(r, &p.pixelIndex) && r.U32(&p.vertexShaders) &&
           r.U32(&p.pixelShaders) && r.Count(&states, kMaxItems, 4);
      if (ok) p.programs.resize(states);
      for (size_t s = 0; ok && s < p.programs.size(); ++s) ok = r.U32(&p.programs[s]);
      ok = ok && r.Count(&states, kMaxItems, 8);
      if (ok) p.states.resize(states);
      for (size_t s = 0; ok && s < p.states.size(); ++s)
        ok = r.U32(&p.states[s].state) && r.U32(&p.states[s].value);
      ok = ok && r.Count(&states, kMaxItems, 12);
      if (ok) p.stateValues.resize(states);
      for (size_t s = 0; ok && s < p.stateValues.size(); ++s)
        ok = r.U32(&p.stateValues[s].state) && Get(r, &p.stateValues[s].value);
      ok = ok && r.Count(&states, kMaxItems, 20);
      if (ok) p.fixed.resize(states);
      for (size_t f = 0; ok && f < p.fixed.size(); ++f) {
        FixedValue& v = p.fixed[f];
        ok = r.U32(&v.slot) && r.U32(&v.element) && r.I32(&v.parameter) &&
             r.U32(&v.parameterElement) && r.Count(&m, 16, 4);
        if (ok) v.value.resize(m);
        for (size_t k = 0; ok && k < v.value.size(); ++k) ok = r.F32(&v.value[k]);
      }
    }
  }
  ok = ok && r.Count(&n, kMaxItems, 4);
  if (ok) e.warnings.resize(n);
  for (size_t i = 0; ok && i < e.warnings.size(); ++i) ok = r.Str(&e.warnings[i]);
  if (ok && r.at != bytes.size()) ok = r.Fail("bytes left over");
  if (!ok) {
    *why = "the compiled effect is damaged: " + r.why;
    return false;
  }
  if (!ValidateCompiledEffect(e, why)) {
    *why = "the compiled effect is damaged: " + *why;
    return false;
  }
  *out = std::move(e);
  return true;
}

bool ValidateCompiledEffect(const CompiledEffect& e, std::string* why) {
  const auto fail = [why](const std::string& reason) {
    *why = reason;
    return false;
  };
  for (const Parameter& p : e.parameters) {
    if (p.name.empty()) return fail("a parameter has no name");
    if (p.kind == ParameterKind::Texture) {
      if (!p.value.empty()) return fail("texture parameter '" + p.name + "' holds numbers");
      continue;
    }
    if (p.rows < 1 || p.rows > 4 || p.columns < 1 || p.columns > 4 || p.elements > kMaxFloats / 16)
      return fail("parameter '" + p.name + "' has an impossible shape");
    if (p.value.size() != size_t{p.rows} * p.columns * std::max(p.elements, 1u))
      return fail("parameter '" + p.name + "' has the wrong number of values");
  }
  if (e.samplers.size() > kMaxUnits) return fail("more samplers than texture units");
  for (const Sampler& s : e.samplers)
    if (s.texture >= static_cast<int32_t>(e.parameters.size()) || s.texture < -1 ||
        (s.texture >= 0 && e.parameters[s.texture].kind != ParameterKind::Texture))
      return fail("sampler '" + s.name + "' reads no texture parameter");
  if (e.samplerSets.empty()) return fail("there is no sampler set");
  for (const SamplerSet& set : e.samplerSets) {
    if (set.source.size() != e.samplers.size() || set.states.size() != e.samplers.size())
      return fail("a sampler set does not cover the samplers");
    for (const uint32_t source : set.source)
      if (source >= e.samplers.size()) return fail("a sampler set reads no sampler");
  }
  for (const Program& p : e.programs) {
    for (const Block& b : p.blocks) {
      if (b.binding >= kMaxBindings || b.size > kMaxBlockBytes || b.name.empty())
        return fail("block '" + b.name + "' has no place");
      for (const BlockMember& m : b.members) {
        if (m.fixed ? m.parameter >= kFixedSlotCount
                    : m.parameter >= e.parameters.size() ||
                          e.parameters[m.parameter].kind == ParameterKind::Texture)
          return fail("a member of block '" + b.name + "' reads no numeric parameter");
        if (m.rows < 1 || m.rows > 4 || m.columns < 1 || m.columns > 4 || m.elements > kMaxFloats)
          return fail("a member of block '" + b.name + "' has an impossible shape");
        const uint64_t last =
            uint64_t{m.offset} + uint64_t{std::max(m.elements, 1u) - 1} * m.arrayStride +
            uint64_t{m.rows - 1} * m.rowStride + uint64_t{m.columns - 1} * m.columnStride + 4;
        if (last > b.size) return fail("a member of block '" + b.name + "' lies outside it");
      }
    }
    for (const SamplerUniform& s : p.samplers)
      if (s.unit >= kMaxUnits || s.name.empty()) return fail("a sampler uniform has no unit");
    for (const DefaultInput& d : p.defaultInputs)
      if (d.location >= kMaxInputLocation) return fail("a vertex input has no location");
  }
  if (e.techniques.empty()) return fail("there is no technique");
  for (const Technique& t : e.techniques)
    for (const Pass& p : t.passes) {
      if (p.program >= e.programs.size() || p.samplerSet >= e.samplerSets.size())
        return fail("pass '" + p.name + "' of technique '" + t.name + "' names no program");
      // A table covers every pair of indices, so any index the expressions give finds a program.
      const uint64_t pairs = uint64_t{p.vertexShaders} * p.pixelShaders;
      const bool table = p.programs.empty() ? pairs == 1 && p.vertexIndex.steps.empty() &&
                                                  p.pixelIndex.steps.empty()
                                            : pairs == p.programs.size();
      bool programs = table && p.vertexShaders > 0 && p.pixelShaders > 0;
      for (const uint32_t program : p.programs) programs = programs && program < e.programs.size();
      if (!programs)
        return fail("pass '" + p.name + "' of technique '" + t.name +
                    "' picks its program from a table that does not cover its indices");
      std::string expressionWhy;
      bool expressions = CheckExpression(p.vertexIndex, e.parameters, &expressionWhy) &&
                         CheckExpression(p.pixelIndex, e.parameters, &expressionWhy);
      for (const StateExpression& s : p.stateValues) {
        if (!expressions) break;
        expressions = CheckExpression(s.value, e.parameters, &expressionWhy);
        if (s.state >= p.states.size() || s.value.steps.empty())
          expressions = false, expressionWhy = "a state value names no state";
      }
      if (!expressions)
        return fail("pass '" + p.name + "' of technique '" + t.name + "': " + expressionWhy);
      for (const FixedValue& f : p.fixed) {
        const bool slot =
            f.slot < kFixedSlotCount && f.element < std::max(FixedSlotOf(f.slot).elements, 1u);
        const bool source =
            f.parameter < 0
                ? f.value.size() <= 16
                : f.parameter < static_cast<int32_t>(e.parameters.size()) &&
                      e.parameters[f.parameter].kind != ParameterKind::Texture &&
                      f.parameterElement < std::max(e.parameters[f.parameter].elements, 1u);
        if (!slot || !source)
          return fail("pass '" + p.name + "' of technique '" + t.name +
                      "' sets a fixed-function value that does not exist");
      }
    }
  return true;
}

}  // namespace compiler
