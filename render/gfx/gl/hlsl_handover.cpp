// Stage translations from the checking child to the program. A stage is known by a hash of all
// its request says (stage, entry, block name, the whole HLSL text): the program builds the same
// file the child just built, so every request meets its translation, and a file changed in
// between simply misses and is compiled here.
#include "render/gfx/gl/hlsl_handover.hpp"

#include <cstdint>
#include <cstring>
#include <vector>

namespace gfx::gl {
namespace {

struct Translation {
  uint64_t key = 0;
  HlslStageCode code;
};

bool recording = false;
std::vector<Translation> recorded, handed;

// FNV-1a over the request's parts, each ended by a byte that no part holds in that place.
uint64_t KeyOf(const HlslRequest& request) {
  uint64_t hash = 14695981039346656037ull;
  const auto add = [&hash](const void* data, size_t size) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) hash = (hash ^ p[i]) * 1099511628211ull;
  };
  const uint8_t stage = static_cast<uint8_t>(request.stage);
  add(&stage, 1);
  add(request.entry.c_str(), request.entry.size() + 1);
  add(request.blockName.c_str(), request.blockName.size() + 1);
  if (request.source) {
    const uint64_t size = request.source->size();
    add(&size, sizeof size);
    add(request.source->data(), request.source->size());
  }
  return hash;
}

struct Writer {
  std::string out;
  void Number(uint64_t v) { out.append(reinterpret_cast<const char*>(&v), sizeof v); }
  void Text(const std::string& s) {
    Number(s.size());
    out += s;
  }
};

struct Reader {
  const std::string& in;
  size_t at = 0;
  bool ok = true;
  uint64_t Number() {
    uint64_t v = 0;
    if (in.size() - at < sizeof v) return ok = false, 0;
    std::memcpy(&v, in.data() + at, sizeof v);
    at += sizeof v;
    return v;
  }
  uint32_t Small() {
    const uint64_t v = Number();
    if (v > UINT32_MAX) ok = false;
    return static_cast<uint32_t>(v);
  }
  std::string Text() {
    const uint64_t size = Number();
    if (!ok || size > in.size() - at) return ok = false, std::string();
    std::string s = in.substr(at, size);
    at += size;
    return s;
  }
  // A count of records of at least `least` bytes each, that the rest of the input can hold.
  uint64_t Count(size_t least) {
    const uint64_t n = Number();
    if (ok && n > (in.size() - at) / least) ok = false;
    return ok ? n : 0;
  }
};

}  // namespace

void RecordTranslations() { recording = true; }

std::string RecordedTranslations() {
  Writer w;
  w.Number(recorded.size());
  for (const Translation& t : recorded) {
    const HlslStageCode& c = t.code;
    w.Number(t.key);
    w.Text(c.glsl);
    w.Text(c.blockName);
    w.Number(c.blockSize);
    w.Number(c.readsVpos);
    w.Number(c.members.size());
    for (const HlslMember& m : c.members) {
      w.Text(m.name);
      for (const uint64_t v : {uint64_t(m.scalar), uint64_t(m.rows), uint64_t(m.columns),
                               uint64_t(m.elements), uint64_t(m.offset), uint64_t(m.arrayStride),
                               uint64_t(m.rowStride), uint64_t(m.columnStride)})
        w.Number(v);
    }
    w.Number(c.samplers.size());
    for (const HlslSampler& s : c.samplers) {
      w.Text(s.name);
      w.Number(s.unit);
      w.Number(static_cast<uint64_t>(s.kind));
    }
    w.Number(c.defaultInputs.size());
    for (const HlslDefaultInput& d : c.defaultInputs) {
      w.Text(d.semantic);
      w.Number(d.location);
    }
  }
  return w.out;
}

bool TakeTranslations(const std::string& answer) {
  handed.clear();
  Reader r{answer};
  std::vector<Translation> taken(r.Count(48));
  for (Translation& t : taken) {
    HlslStageCode& c = t.code;
    t.key = r.Number();
    c.glsl = r.Text();
    c.blockName = r.Text();
    c.blockSize = r.Small();
    c.readsVpos = r.Number() != 0;
    c.members.resize(r.Count(72));
    for (HlslMember& m : c.members) {
      m.name = r.Text();
      const uint32_t scalar = r.Small();
      m.scalar = scalar <= uint32_t(HlslScalar::Bool) ? HlslScalar(scalar) : HlslScalar::Float;
      m.rows = r.Small();
      m.columns = r.Small();
      m.elements = r.Small();
      m.offset = r.Small();
      m.arrayStride = r.Small();
      m.rowStride = r.Small();
      m.columnStride = r.Small();
      r.ok = r.ok && scalar <= uint32_t(HlslScalar::Bool);
    }
    c.samplers.resize(r.Count(24));
    for (HlslSampler& s : c.samplers) {
      s.name = r.Text();
      s.unit = r.Small();
      const uint32_t kind = r.Small();
      r.ok = r.ok && kind <= uint32_t(HlslSamplerKind::Tex3D);
      s.kind = r.ok ? HlslSamplerKind(kind) : HlslSamplerKind::Tex2D;
    }
    c.defaultInputs.resize(r.Count(16));
    for (HlslDefaultInput& d : c.defaultInputs) {
      d.semantic = r.Text();
      d.location = r.Small();
    }
    if (!r.ok) return false;
  }
  if (!r.ok || r.at != answer.size()) return false;
  handed = std::move(taken);
  return true;
}

void ForgetTranslations() {
  handed.clear();
  handed.shrink_to_fit();
}

bool FindTranslation(const HlslRequest& request, HlslStageCode* out) {
  if (handed.empty()) return false;
  const uint64_t key = KeyOf(request);
  for (const Translation& t : handed)
    if (t.key == key) {
      *out = t.code;
      return true;
    }
  return false;
}

void KeepTranslation(const HlslRequest& request, const HlslStageCode& code) {
  if (recording) recorded.push_back({KeyOf(request), code});
}

}  // namespace gfx::gl
