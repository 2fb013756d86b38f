// The object layer of .x files: templates skipped, Frame/Mesh/Material read, everything else
// skipped whole; then the meshes merged (materials concatenated, frames applied). Every count is
// checked against the bytes left before anything is sized by it.
// Limits: frames nest at most 64 deep; 32 MiB of decompressed data.
#include "formats/xfile.hpp"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "formats/quote.hpp"
#include "formats/xfile_tokens.hpp"

namespace formats {
namespace {

using xfile::Tok;
using xfile::Token;
using xfile::Tokenizer;

constexpr size_t kMaxDecompressed = size_t{32} << 20;
constexpr int kMaxDepth = 64;
constexpr uint32_t kNoFrame = UINT32_MAX;

struct Frame {
  uint32_t parent;
  double matrix[16];  // row-vector convention: p' = p × M
};

struct MaterialSlot {
  bool reference = false;
  XMaterial material{};
  std::string name, guid, where;  // a reference's target and its place in the file
};

struct MeshRecord {
  uint32_t frame;
  uint32_t firstVertex, vertexCount;
  size_t firstTriangle, triangleCount;
  bool hasList;
  std::vector<MaterialSlot> materials;
};

// The faces, normals and texture coordinates of the mesh being read; kept between meshes so a file
// of many small meshes does not allocate per mesh.
struct MeshScratch {
  uint32_t vertexCount = 0;
  std::vector<float> positions, normals, texCoords;
  std::vector<uint32_t> faceStart, corners, normalCorners, faceMaterial;
  bool hasNormals = false, hasTexCoords = false;
  std::vector<uint8_t> assigned;
  std::vector<uint32_t> cornerVertex, table, extraOrigin;
};

const double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

std::string GuidKey(std::string_view text, bool binary) {
  if (binary) return std::string(text);
  std::string key;
  for (char c : text)
    if (c != ' ' && c != '\t') key += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return key;
}

class Reader {
 public:
  Reader(Tokenizer* tokens, std::string* error) : tokens_(tokens), error_(error) {}

  bool File() {
    for (;;) {
      const Token t = Next();
      switch (t.kind) {
        case Tok::End: return true;
        case Tok::Separator: continue;
        case Tok::Name:
          if (t.text == "template") {
            if (!SkipTemplate()) return false;
          } else if (!Object(t.text, kNoFrame, 1)) {
            return false;
          }
          continue;
        default: return Unexpected(t, "a data object or template was expected");
      }
    }
  }

  bool Finish(XModel* model);

 private:
  Token Next() {
    if (hasPending_) {
      hasPending_ = false;
      return pending_;
    }
    return tokens_->Next();
  }
  void PutBack(const Token& t) {
    pending_ = t;
    hasPending_ = true;
  }
  Token NextValue() {
    Token t;
    do t = Next();
    while (t.kind == Tok::Separator);
    return t;
  }

  bool Fail(const std::string& what) {
    *error_ = tokens_->Where() + ": " + what;
    return false;
  }
  bool Unexpected(const Token& t, const std::string& what) {
    if (t.kind == Tok::Error) return Fail(tokens_->Fault());
    if (t.kind == Tok::End && !inside_.empty())
      return Fail("unexpected end of file inside " + Quote(inside_));
    return Fail(what + ", found " + Describe(t));
  }
  std::string Describe(const Token& t) const {
    switch (t.kind) {
      case Tok::End: return "the end of the file";
      case Tok::Name: return "the name " + Quote(t.text);
      case Tok::String: return "a string";
      case Tok::Integer: return "the number " + IntegerText(t);
      case Tok::Float: return "the number " + FloatText(t);
      case Tok::Guid: return "a GUID";
      case Tok::OpenBrace: return "'{'";
      case Tok::CloseBrace: return "'}'";
      default: return "punctuation";
    }
  }
  static std::string IntegerText(const Token& t) {
    return (t.negative && t.magnitude ? "-" : "") + std::to_string(t.magnitude);
  }
  std::string FloatText(const Token& t) const {
    if (!tokens_->Binary()) return Quote(t.text);
    char text[32];
    std::snprintf(text, sizeof text, "%g", t.number);
    return text;
  }

  // A count of what follows, each taking at least `valuesEach` values.
  bool Count(const char* what, uint64_t valuesEach, uint32_t* count) {
    const Token t = NextValue();
    if (t.kind != Tok::Integer || t.negative)
      return Unexpected(t, std::string("the ") + what + " count was expected");
    const uint64_t room = tokens_->BytesLeft() / tokens_->MinBytesPerValue() + 1;
    if (t.magnitude > UINT32_MAX || (valuesEach && t.magnitude > room / valuesEach))
      return Fail(std::string("the ") + what + " count " + IntegerText(t) +
                  " exceeds the data in the file");
    *count = static_cast<uint32_t>(t.magnitude);
    return true;
  }

  // An index below `limit`; on failure the message is `what` + the value + `tail`.
  bool Index(uint32_t limit, uint32_t* index, const std::string& what, const std::string& tail) {
    const Token t = NextValue();
    if (t.kind == Tok::Integer && !t.negative && t.magnitude < limit) {
      *index = static_cast<uint32_t>(t.magnitude);
      return true;
    }
    if (t.kind == Tok::Integer) return Fail(what + IntegerText(t) + tail);
    if (t.kind == Tok::Float) return Fail(what + FloatText(t) + tail);
    return Unexpected(t, "an index was expected");
  }

  bool Float(float* value, std::string_view type) {
    const Token t = NextValue();
    if (t.kind != Tok::Integer && t.kind != Tok::Float)
      return Unexpected(t, "a number was expected in " + Quote(type));
    if (!(std::fabs(t.number) <= FLT_MAX))
      return Fail((t.kind == Tok::Float ? "the number " + FloatText(t) : std::string("a number")) +
                  " in " + Quote(type) + " is not a finite single-precision value");
    *value = static_cast<float>(t.number);
    return true;
  }

  // After an object's type: an optional name, '{', an optional GUID.
  bool Open(std::string_view type, std::string_view* name, std::string* guid) {
    Token t = Next();
    if (t.kind == Tok::Name) {
      if (name) *name = t.text;
      t = Next();
    }
    if (t.kind != Tok::OpenBrace) {
      inside_ = {};
      return Unexpected(t, "'{' expected after " + Quote(type));
    }
    inside_ = type;
    t = Next();
    if (t.kind == Tok::Guid) {
      if (guid) *guid = GuidKey(t.text, tokens_->Binary());
    } else {
      PutBack(t);
    }
    return true;
  }

  // Everything up to the '}' that closes the object, nested objects included, read as tokens only.
  bool SkipRest(std::string_view type) {
    uint64_t depth = 1;
    for (;;) {
      tokens_->DropList();
      const Token t = Next();
      switch (t.kind) {
        case Tok::OpenBrace: ++depth; break;
        case Tok::CloseBrace:
          if (--depth == 0) return true;
          break;
        case Tok::End: return Fail("unexpected end of file inside " + Quote(type));
        case Tok::Error: return Fail(tokens_->Fault());
        default: break;
      }
    }
  }

  bool SkipTemplate() {
    Token t = Next();
    if (t.kind != Tok::Name) return Unexpected(t, "a template name was expected");
    const std::string_view name = t.text;
    t = Next();
    if (t.kind != Tok::OpenBrace)
      return Unexpected(t, "'{' expected after template " + Quote(name));
    return SkipRest(name);
  }

  // Whatever follows an object's values: nested objects go to child(type, depth), references
  // `{ Name }` / `{ <GUID> }` to reference(name, guid).
  template <class Child, class Reference>
  bool Rest(std::string_view type, int depth, Child child, Reference reference) {
    for (;;) {
      inside_ = type;
      const Token t = Next();
      switch (t.kind) {
        case Tok::CloseBrace: return true;
        case Tok::Separator: continue;
        case Tok::Name:
          if (!child(t.text, depth + 1)) return false;
          continue;
        case Tok::OpenBrace: {
          std::string_view name;
          std::string guid;
          Token r = Next();
          while (r.kind == Tok::Name || r.kind == Tok::Guid || r.kind == Tok::Separator) {
            if (r.kind == Tok::Name) name = r.text;
            if (r.kind == Tok::Guid) guid = GuidKey(r.text, tokens_->Binary());
            r = Next();
          }
          if (r.kind != Tok::CloseBrace) return Unexpected(r, "'}' expected after a reference");
          reference(name, guid);
          continue;
        }
        case Tok::End: return Fail("unexpected end of file inside " + Quote(type));
        default: return Unexpected(t, Quote(type) + " holds more values than its counts announce");
      }
    }
  }

  bool SkipObject(std::string_view type) { return Open(type, nullptr, nullptr) && SkipRest(type); }

  bool Object(std::string_view type, uint32_t frame, int depth) {
    if (depth > kMaxDepth) return Fail("data objects nested too deeply");
    if (type == "Frame") return ReadFrame(frame, depth);
    if (type == "Mesh") return ReadMesh(frame, depth);
    if (type == "Material") {
      MaterialSlot slot;
      return ReadMaterial(&slot, depth);
    }
    return SkipObject(type);
  }

  bool ReadFrame(uint32_t parent, int depth) {
    if (!Open("Frame", nullptr, nullptr)) return false;
    const uint32_t self = static_cast<uint32_t>(frames_.size());
    frames_.push_back(Frame{parent, {}});
    std::memcpy(frames_.back().matrix, kIdentity, sizeof kIdentity);
    auto child = [&](std::string_view type, int childDepth) {
      if (type != "FrameTransformMatrix") return Object(type, self, childDepth);
      if (!Open(type, nullptr, nullptr)) return false;
      // When a frame has several, the last one stands.
      for (double& m : frames_[self].matrix) {
        float value;
        if (!Float(&value, type)) return false;
        m = value;
      }
      return Rest(
          type, childDepth, [&](std::string_view t, int) { return SkipObject(t); },
          [](std::string_view, const std::string&) {});
    };
    // A frame's reference to a mesh elsewhere in the file is not followed (docs/mesh-format.md).
    return Rest("Frame", depth, child, [](std::string_view, const std::string&) {});
  }

  bool ReadMaterial(MaterialSlot* slot, int depth) {
    std::string_view name;
    std::string guid;
    if (!Open("Material", &name, &guid)) return false;
    XMaterial& m = slot->material;
    m = XMaterial{};
    float* fields[11] = {&m.diffuse[0],  &m.diffuse[1],  &m.diffuse[2],  &m.diffuse[3],
                         &m.power,       &m.specular[0], &m.specular[1], &m.specular[2],
                         &m.emissive[0], &m.emissive[1], &m.emissive[2]};
    for (float* field : fields)
      if (!Float(field, "Material")) return false;
    auto child = [&](std::string_view type, int) {
      if (type != "TextureFilename" && type != "TextureFileName") return SkipObject(type);
      if (!Open(type, nullptr, nullptr)) return false;
      const Token t = NextValue();
      if (t.kind != Tok::String) return Unexpected(t, "a file name string was expected");
      // The first texture of a material is the one it names.
      if (!m.hasTexture) {
        m.hasTexture = true;
        m.texture = std::string(t.text);
      }
      return Rest(
          type, depth + 1, [&](std::string_view t, int) { return SkipObject(t); },
          [](std::string_view, const std::string&) {});
    };
    if (!Rest("Material", depth, child, [](std::string_view, const std::string&) {})) return false;
    // The first material of a name or GUID is the one references find.
    if (!name.empty()) byName_.emplace(std::string(name), m);
    if (!guid.empty()) byGuid_.emplace(guid, m);
    return true;
  }

  bool ReadMesh(uint32_t frame, int depth);
  bool ReadNormals(int depth);
  bool ReadTexCoords(int depth);
  bool ReadMaterialList(MeshRecord* record, int depth);
  bool BuildMesh(MeshRecord* record);

  Tokenizer* tokens_;
  std::string* error_;
  Token pending_;
  bool hasPending_ = false;
  std::string_view inside_;  // the object being read, for "unexpected end of file inside …"
  std::vector<Frame> frames_;
  std::vector<MeshRecord> meshes_;
  std::map<std::string, XMaterial> byName_, byGuid_;
  MeshScratch s_;
  std::vector<float> vertices_;             // 8 per vertex, as in XModel
  std::vector<uint32_t> triangles_;         // 3 per triangle, all meshes in file order
  std::vector<uint32_t> triangleMaterial_;  // per triangle, the index in its mesh's list
};

bool Reader::ReadMesh(uint32_t frame, int depth) {
  if (!Open("Mesh", nullptr, nullptr)) return false;
  MeshScratch& s = s_;
  uint32_t vertices = 0, faces = 0;
  if (!Count("vertex", 3, &vertices)) return false;
  s.vertexCount = vertices;
  s.positions.resize(size_t{vertices} * 3);
  for (float& p : s.positions)
    if (!Float(&p, "Mesh")) return false;
  if (!Count("face", 1, &faces)) return false;
  s.faceStart.assign(1, 0);
  s.faceStart.reserve(size_t{faces} + 1);
  s.corners.clear();
  const std::string tail = ", but the mesh has " + std::to_string(vertices) + " vertices";
  for (uint32_t f = 0; f < faces; ++f) {
    uint32_t n = 0;
    if (!Count("corner", 1, &n)) return false;
    const std::string what = "face " + std::to_string(f) + " refers to vertex ";
    for (uint32_t c = 0; c < n; ++c) {
      uint32_t index;
      if (!Index(vertices, &index, what, tail)) return false;
      s.corners.push_back(index);
    }
    s.faceStart.push_back(static_cast<uint32_t>(s.corners.size()));
  }
  s.hasNormals = s.hasTexCoords = false;
  MeshRecord record{frame, 0, 0, 0, 0, false, {}};
  bool sawList = false;
  auto child = [&](std::string_view type, int childDepth) {
    if (type == "MeshNormals") {
      if (s.hasNormals) return Fail("the mesh has more than one 'MeshNormals'");
      return ReadNormals(childDepth);
    }
    if (type == "MeshTextureCoords") {
      if (s.hasTexCoords) return Fail("the mesh has more than one 'MeshTextureCoords'");
      return ReadTexCoords(childDepth);
    }
    if (type == "MeshMaterialList") {
      if (sawList) return Fail("the mesh has more than one 'MeshMaterialList'");
      sawList = true;
      return ReadMaterialList(&record, childDepth);
    }
    return SkipObject(type);
  };
  if (!Rest("Mesh", depth, child, [](std::string_view, const std::string&) {})) return false;
  if (!record.hasList) s.faceMaterial.assign(faces, 0);
  return BuildMesh(&record);
}

bool Reader::ReadNormals(int depth) {
  MeshScratch& s = s_;
  if (!Open("MeshNormals", nullptr, nullptr)) return false;
  uint32_t normals = 0, faces = 0;
  if (!Count("normal", 3, &normals)) return false;
  s.normals.resize(size_t{normals} * 3);
  for (float& n : s.normals)
    if (!Float(&n, "MeshNormals")) return false;
  if (!Count("normal face", 1, &faces)) return false;
  const uint32_t meshFaces = static_cast<uint32_t>(s.faceStart.size() - 1);
  if (faces != meshFaces)
    return Fail("the normals list " + std::to_string(faces) + " faces for the mesh's " +
                std::to_string(meshFaces));
  s.normalCorners.resize(s.corners.size());
  const std::string tail = ", but the mesh has " + std::to_string(normals) + " normals";
  for (uint32_t f = 0; f < faces; ++f) {
    uint32_t n = 0;
    if (!Count("corner", 1, &n)) return false;
    const uint32_t corners = s.faceStart[f + 1] - s.faceStart[f];
    if (n != corners)
      return Fail("the normals of face " + std::to_string(f) + " list " + std::to_string(n) +
                  " corners for its " + std::to_string(corners));
    const std::string what = "face " + std::to_string(f) + " refers to normal ";
    for (uint32_t c = 0; c < n; ++c)
      if (!Index(normals, &s.normalCorners[s.faceStart[f] + c], what, tail)) return false;
  }
  s.hasNormals = true;
  return Rest(
      "MeshNormals", depth, [&](std::string_view t, int) { return SkipObject(t); },
      [](std::string_view, const std::string&) {});
}

bool Reader::ReadTexCoords(int depth) {
  MeshScratch& s = s_;
  if (!Open("MeshTextureCoords", nullptr, nullptr)) return false;
  uint32_t count = 0;
  if (!Count("texture coordinate", 2, &count)) return false;
  if (count != s.vertexCount)
    return Fail("the mesh has " + std::to_string(s.vertexCount) + " vertices but " +
                std::to_string(count) + " texture coordinates");
  s.texCoords.resize(size_t{count} * 2);
  for (float& c : s.texCoords)
    if (!Float(&c, "MeshTextureCoords")) return false;
  s.hasTexCoords = true;
  return Rest(
      "MeshTextureCoords", depth, [&](std::string_view t, int) { return SkipObject(t); },
      [](std::string_view, const std::string&) {});
}

bool Reader::ReadMaterialList(MeshRecord* record, int depth) {
  MeshScratch& s = s_;
  if (!Open("MeshMaterialList", nullptr, nullptr)) return false;
  uint32_t materials = 0, indices = 0;
  const uint32_t faces = static_cast<uint32_t>(s.faceStart.size() - 1);
  if (!Count("material", 1, &materials) || !Count("face material", 1, &indices)) return false;
  if (indices > faces)
    return Fail("the material list gives " + std::to_string(indices) + " face materials for " +
                std::to_string(faces) + " faces");
  s.faceMaterial.resize(faces);
  const std::string tail = ", but the list has " + std::to_string(materials) + " materials";
  for (uint32_t f = 0; f < indices; ++f)
    if (!Index(materials, &s.faceMaterial[f], "face " + std::to_string(f) + " uses material ",
               tail))
      return false;
  // Exporters write a single index for a mesh of one material: the last index given stands for
  // every face after it.
  for (uint32_t f = indices; f < faces; ++f)
    s.faceMaterial[f] = indices ? s.faceMaterial[indices - 1] : 0;
  auto child = [&](std::string_view type, int childDepth) {
    if (type != "Material") return SkipObject(type);
    record->materials.emplace_back();
    return ReadMaterial(&record->materials.back(), childDepth);
  };
  auto reference = [&](std::string_view name, const std::string& guid) {
    MaterialSlot slot;
    slot.reference = true;
    slot.name = std::string(name);
    slot.guid = guid;
    slot.where = tokens_->Where();
    record->materials.push_back(std::move(slot));
  };
  if (!Rest("MeshMaterialList", depth, child, reference)) return false;
  if (record->materials.size() != materials)
    return Fail("the material list announces " + std::to_string(materials) +
                " materials and holds " + std::to_string(record->materials.size()));
  // "0; 0;;" is how some exporters say "no materials".
  record->hasList = materials > 0;
  return true;
}

// Appends the mesh read into s_: its vertices (one per position, plus one for every further
// normal a position is given) and its polygons as triangle fans.
bool Reader::BuildMesh(MeshRecord* record) {
  MeshScratch& s = s_;
  const size_t first = vertices_.size() / 8;
  if (first + s.vertexCount + s.corners.size() > UINT32_MAX)
    return Fail("the file's meshes have more vertices than a mesh can hold");
  record->firstVertex = static_cast<uint32_t>(first);
  vertices_.resize(vertices_.size() + size_t{s.vertexCount} * 8, 0.0f);
  for (uint32_t v = 0; v < s.vertexCount; ++v) {
    float* out = &vertices_[(first + v) * 8];
    std::memcpy(out, &s.positions[size_t{v} * 3], 12);
    if (s.hasTexCoords) std::memcpy(out + 6, &s.texCoords[size_t{v} * 2], 8);
  }
  s.cornerVertex.resize(s.corners.size());
  if (!s.hasNormals) {
    for (size_t k = 0; k < s.corners.size(); ++k)
      s.cornerVertex[k] = static_cast<uint32_t>(first + s.corners[k]);
  } else {
    s.assigned.assign(s.vertexCount, 0);
    s.table.clear();
    s.extraOrigin.clear();
    const size_t firstExtra = first + s.vertexCount;
    for (size_t k = 0; k < s.corners.size(); ++k) {
      const uint32_t p = s.corners[k];
      const float* n = &s.normals[size_t{s.normalCorners[k]} * 3];
      float* own = &vertices_[(first + p) * 8];
      if (!s.assigned[p]) {
        s.assigned[p] = 1;
        std::memcpy(own + 3, n, 12);
        s.cornerVertex[k] = static_cast<uint32_t>(first + p);
        continue;
      }
      if (std::memcmp(own + 3, n, 12) == 0) {
        s.cornerVertex[k] = static_cast<uint32_t>(first + p);
        continue;
      }
      // A further normal for this position: find its copy or make one. Open addressing over
      // (position, normal bits), sized for every corner, so a hostile file cannot make it slow.
      if (s.table.empty()) {
        size_t size = 16;
        while (size < s.corners.size() * 2) size *= 2;
        s.table.assign(size, 0);
      }
      uint32_t bits[3];
      std::memcpy(bits, n, 12);
      uint64_t h = p * 0x9E3779B97F4A7C15ull;
      for (uint32_t b : bits) h = (h ^ b) * 0xFF51AFD7ED558CCDull;
      size_t slot = (h >> 17) & (s.table.size() - 1);
      for (;;) {
        const uint32_t entry = s.table[slot];
        if (entry == 0) {
          const size_t v = vertices_.size() / 8;
          vertices_.resize(vertices_.size() + 8);
          float* copy = &vertices_[v * 8];
          own = &vertices_[(first + p) * 8];  // the resize may have moved it
          std::memcpy(copy, own, 32);
          std::memcpy(copy + 3, n, 12);
          s.extraOrigin.push_back(p);
          s.table[slot] = static_cast<uint32_t>(v - firstExtra + 1);
          s.cornerVertex[k] = static_cast<uint32_t>(v);
          break;
        }
        const size_t v = firstExtra + entry - 1;
        if (s.extraOrigin[entry - 1] == p && std::memcmp(&vertices_[v * 8 + 3], n, 12) == 0) {
          s.cornerVertex[k] = static_cast<uint32_t>(v);
          break;
        }
        slot = (slot + 1) & (s.table.size() - 1);
      }
    }
  }
  record->vertexCount = static_cast<uint32_t>(vertices_.size() / 8 - first);
  record->firstTriangle = triangleMaterial_.size();
  const uint32_t faces = static_cast<uint32_t>(s.faceStart.size() - 1);
  for (uint32_t f = 0; f < faces; ++f) {
    const uint32_t n = s.faceStart[f + 1] - s.faceStart[f];
    // Faces of fewer than three corners draw nothing (and may have no corner to point at).
    if (n < 3) continue;
    const uint32_t* c = &s.cornerVertex[s.faceStart[f]];
    for (uint32_t k = 1; k + 1 < n; ++k) {
      triangles_.insert(triangles_.end(), {c[0], c[k], c[k + 1]});
      triangleMaterial_.push_back(s.faceMaterial[f]);
    }
  }
  record->triangleCount = triangleMaterial_.size() - record->firstTriangle;
  meshes_.push_back(std::move(*record));
  return true;
}

void Multiply(const double* a, const double* b, double* out) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[r * 4 + k] * b[k * 4 + c];
      out[r * 4 + c] = sum;
    }
}

// Positions by p × M; normals by the inverse transpose of M's 3×3 part, taken as its cofactor
// matrix (defined even for a flattening matrix), its sign fixed, and scaled back to the normal's
// own length.
void Transform(const double* m, float* vertices, size_t count) {
  const double* r0 = m;
  const double* r1 = m + 4;
  const double* r2 = m + 8;
  auto cross = [](const double* a, const double* b, double* out) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
  };
  double cof[3][3];
  cross(r1, r2, cof[0]);
  cross(r2, r0, cof[1]);
  cross(r0, r1, cof[2]);
  // The cofactor matrix is det × the inverse transpose: a mirroring matrix would turn normals
  // inward without this.
  const double det = r0[0] * cof[0][0] + r0[1] * cof[0][1] + r0[2] * cof[0][2];
  if (det < 0)
    for (auto& row : cof)
      for (double& value : row) value = -value;
  for (size_t v = 0; v < count; ++v) {
    float* p = vertices + v * 8;
    double out[3];
    for (int c = 0; c < 3; ++c)
      out[c] = p[0] * m[c] + p[1] * m[4 + c] + p[2] * m[8 + c] + m[12 + c];
    for (int c = 0; c < 3; ++c) p[c] = static_cast<float>(out[c]);
    float* n = p + 3;
    const double length =
        std::sqrt(double{n[0]} * n[0] + double{n[1]} * n[1] + double{n[2]} * n[2]);
    for (int c = 0; c < 3; ++c) out[c] = n[0] * cof[0][c] + n[1] * cof[1][c] + n[2] * cof[2][c];
    const double now = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
    const double scale = now > 0 ? length / now : 0;
    for (int c = 0; c < 3; ++c) n[c] = static_cast<float>(out[c] * scale);
  }
}

bool Reader::Finish(XModel* model) {
  if (meshes_.empty()) {
    *error_ = "the file holds no mesh";
    return false;
  }
  if (vertices_.empty()) {
    *error_ = "the file's meshes have no vertices";
    return false;
  }
  if (triangleMaterial_.empty()) {
    *error_ = "the file's meshes have no faces to draw";
    return false;
  }

  // Materials: each mesh's after the previous mesh's. Where some meshes have materials and others
  // none, each of the others gets a plain white one of its own, so its faces keep a subset.
  bool anyList = false;
  for (const MeshRecord& m : meshes_) anyList |= m.hasList;
  model->materials.clear();
  std::vector<uint32_t> offset(meshes_.size(), 0);
  for (size_t i = 0; i < meshes_.size(); ++i) {
    offset[i] = static_cast<uint32_t>(model->materials.size());
    if (!anyList) continue;
    if (!meshes_[i].hasList) {
      XMaterial white{};
      for (float& d : white.diffuse) d = 1.0f;
      model->materials.push_back(white);
      continue;
    }
    for (const MaterialSlot& slot : meshes_[i].materials) {
      if (!slot.reference) {
        model->materials.push_back(slot.material);
        continue;
      }
      const XMaterial* found = nullptr;
      if (auto byName = byName_.find(slot.name); !slot.name.empty() && byName != byName_.end())
        found = &byName->second;
      else if (auto byGuid = byGuid_.find(slot.guid); !slot.guid.empty() && byGuid != byGuid_.end())
        found = &byGuid->second;
      if (!found) {
        *error_ = slot.where + ": the material list refers to an unknown material " +
                  (slot.name.empty() ? std::string("by GUID") : Quote(slot.name));
        return false;
      }
      model->materials.push_back(*found);
    }
  }

  // Frames: each one's world matrix is its own times its parent's, parents coming first.
  std::vector<double> world(frames_.size() * 16);
  for (size_t f = 0; f < frames_.size(); ++f) {
    if (frames_[f].parent == kNoFrame)
      std::memcpy(&world[f * 16], frames_[f].matrix, sizeof kIdentity);
    else
      Multiply(frames_[f].matrix, &world[size_t{frames_[f].parent} * 16], &world[f * 16]);
  }
  for (const MeshRecord& m : meshes_) {
    if (m.frame == kNoFrame) continue;
    const double* matrix = &world[size_t{m.frame} * 16];
    if (std::memcmp(matrix, kIdentity, sizeof kIdentity) == 0) continue;
    Transform(matrix, &vertices_[size_t{m.firstVertex} * 8], m.vertexCount);
  }

  // Triangles grouped by subset, file order kept within each (a counting sort).
  const size_t subsets = anyList ? model->materials.size() : 1;
  std::vector<uint32_t> subsetOf(triangleMaterial_.size(), 0);
  model->subsetCount.assign(subsets, 0);
  for (size_t i = 0; i < meshes_.size(); ++i) {
    const MeshRecord& m = meshes_[i];
    for (size_t t = m.firstTriangle; t < m.firstTriangle + m.triangleCount; ++t) {
      const uint32_t subset = !anyList ? 0 : offset[i] + (m.hasList ? triangleMaterial_[t] : 0);
      subsetOf[t] = subset;
      model->subsetCount[subset] += 3;
    }
  }
  model->subsetFirst.assign(subsets, 0);
  for (size_t k = 1; k < subsets; ++k)
    model->subsetFirst[k] = model->subsetFirst[k - 1] + model->subsetCount[k - 1];
  std::vector<uint32_t> next = model->subsetFirst;
  model->indices.resize(triangles_.size());
  for (size_t t = 0; t < subsetOf.size(); ++t) {
    uint32_t& at = next[subsetOf[t]];
    std::memcpy(&model->indices[at], &triangles_[t * 3], 12);
    at += 3;
  }
  model->vertices = std::move(vertices_);
  return true;
}

}  // namespace

bool ReadXFile(std::string_view bytes, XModel* model, std::string* error) {
  xfile::Header header;
  if (!xfile::ReadHeader(bytes, &header, error)) return false;
  std::string inflated;
  std::string_view body = bytes.substr(16);
  if (header.compressed) {
    if (!xfile::Inflate(body, kMaxDecompressed, &inflated, error)) return false;
    body = inflated;
  }
  Tokenizer tokens(body, header.binary, header.floatBytes, header.compressed ? 0 : 16,
                   header.compressed);
  Reader reader(&tokens, error);
  return reader.File() && reader.Finish(model);
}

}  // namespace formats
