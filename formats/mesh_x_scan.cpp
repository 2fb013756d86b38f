// Structural reading of .x files: a lexer for the text and binary encodings (after MSZIP
// decompression), a tree of data objects, and the checks a mesh must pass before Assimp sees it.
// Limits: nesting depth 64, decompressed size 32 MiB, one mesh per file; templates are skipped.
#include "formats/mesh_x_scan.hpp"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string_view>

#include "formats/quote.hpp"

namespace formats {
namespace {

constexpr size_t kMaxDecompressed = size_t{32} << 20;
constexpr int kMaxDepth = 64;

enum class Tok { End, Name, String, Number, OBrace, CBrace, Other, Error };

struct Token {
  Tok kind = Tok::End;
  std::string_view text;
  double number = 0;
  bool integer = false;
};

uint32_t Le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint32_t Le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

class Lexer {
 public:
  Lexer(const char* begin, const char* end, bool binary, int floatBytes)
      : p_(reinterpret_cast<const unsigned char*>(begin)),
        begin_(p_),
        end_(reinterpret_cast<const unsigned char*>(end)),
        binary_(binary),
        floatBytes_(floatBytes) {}

  Token Next() { return binary_ ? NextBinary() : NextText(); }
  // Where the last token was, for messages.
  std::string Where() const {
    return binary_ ? "at byte " + std::to_string(offset_) : "line " + std::to_string(line_);
  }
  const std::string& Fault() const { return fault_; }

 private:
  Token Error(const std::string& what) {
    fault_ = what;
    Token t;
    t.kind = Tok::Error;
    return t;
  }

  Token NextText() {
    for (;;) {
      while (p_ < end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\r' || *p_ == '\n')) {
        if (*p_ == '\n') ++line_;
        ++p_;
      }
      if (p_ >= end_) return Token{};
      if (*p_ == '#' || (*p_ == '/' && p_ + 1 < end_ && p_[1] == '/')) {
        while (p_ < end_ && *p_ != '\n') ++p_;
        continue;
      }
      break;
    }
    Token t;
    const unsigned char* start = p_;
    const unsigned char c = *p_;
    if (c == '{' || c == '}') {
      ++p_;
      t.kind = c == '{' ? Tok::OBrace : Tok::CBrace;
    } else if (c == ';' || c == ',' || c == '[' || c == ']') {
      ++p_;
      t.kind = Tok::Other;
    } else if (c == '<') {  // a GUID
      while (p_ < end_ && *p_ != '>' && *p_ != '\n') ++p_;
      if (p_ >= end_ || *p_ != '>') return Error("unterminated <GUID>");
      ++p_;
      t.kind = Tok::Other;
    } else if (c == '"') {
      ++p_;
      while (p_ < end_ && *p_ != '"') {
        if (*p_ == '\n') ++line_;
        ++p_;
      }
      if (p_ >= end_) return Error("unterminated string");
      t.kind = Tok::String;
      t.text = std::string_view(reinterpret_cast<const char*>(start + 1), p_ - start - 1);
      ++p_;
    } else if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.') {
      bool integer = true;
      if (*p_ == '-' || *p_ == '+') ++p_;
      size_t digits = 0;
      while (p_ < end_ && *p_ >= '0' && *p_ <= '9') ++p_, ++digits;
      if (p_ < end_ && *p_ == '.') {
        integer = false;
        ++p_;
        while (p_ < end_ && *p_ >= '0' && *p_ <= '9') ++p_, ++digits;
      }
      if (digits == 0) return Error("malformed number");
      if (p_ < end_ && (*p_ == 'e' || *p_ == 'E')) {
        integer = false;
        ++p_;
        if (p_ < end_ && (*p_ == '-' || *p_ == '+')) ++p_;
        size_t exponent = 0;
        while (p_ < end_ && *p_ >= '0' && *p_ <= '9') ++p_, ++exponent;
        if (exponent == 0) return Error("malformed number");
      }
      char text[64];
      const size_t length = p_ - start;
      if (length >= sizeof text) return Error("number too long");
      std::memcpy(text, start, length);
      text[length] = '\0';
      t.kind = Tok::Number;
      t.number = std::strtod(text, nullptr);
      t.integer = integer;
    } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') {
      while (p_ < end_ && ((*p_ >= 'A' && *p_ <= 'Z') || (*p_ >= 'a' && *p_ <= 'z') ||
                           (*p_ >= '0' && *p_ <= '9') || *p_ == '_' || *p_ == '-' || *p_ == '.'))
        ++p_;
      t.kind = Tok::Name;
      t.text = std::string_view(reinterpret_cast<const char*>(start), p_ - start);
    } else {
      return Error("unexpected character " + Quote({reinterpret_cast<const char*>(start), 1}));
    }
    return t;
  }

  bool Has(size_t bytes) const { return static_cast<size_t>(end_ - p_) >= bytes; }

  Token NextBinary() {
    Token t;
    if (listLeft_ > 0) {
      --listLeft_;
      t.kind = Tok::Number;
      if (listFloat_) {
        if (floatBytes_ == 8) {
          double d;
          std::memcpy(&d, p_, 8);
          t.number = d;
        } else {
          float f;
          std::memcpy(&f, p_, 4);
          t.number = f;
        }
        p_ += floatBytes_;
      } else {
        t.number = Le32(p_);
        t.integer = true;
        p_ += 4;
      }
      return t;
    }
    if (p_ >= end_) return t;
    offset_ = p_ - begin_ + 16;  // counted from the file's start
    if (!Has(2)) return Error("truncated token");
    const uint32_t code = Le16(p_);
    p_ += 2;
    switch (code) {
      case 1:    // name
      case 2: {  // string
        if (!Has(4)) return Error("truncated name");
        const uint32_t length = Le32(p_);
        p_ += 4;
        if (!Has(length)) return Error("name or string runs past the end of the file");
        t.kind = code == 1 ? Tok::Name : Tok::String;
        t.text = std::string_view(reinterpret_cast<const char*>(p_), length);
        p_ += length;
        return t;
      }
      case 3:  // integer
        if (!Has(4)) return Error("truncated integer");
        t.kind = Tok::Number;
        t.number = Le32(p_);
        t.integer = true;
        p_ += 4;
        return t;
      case 5:  // GUID
        if (!Has(16)) return Error("truncated GUID");
        p_ += 16;
        t.kind = Tok::Other;
        return t;
      case 6:    // integer list
      case 7: {  // float list
        if (!Has(4)) return Error("truncated list");
        const uint32_t count = Le32(p_);
        p_ += 4;
        const size_t each = code == 6 ? 4 : floatBytes_;
        if (count > static_cast<size_t>(end_ - p_) / each)
          return Error("list of " + std::to_string(count) + " runs past the end of the file");
        listLeft_ = count;
        listFloat_ = code == 7;
        t.kind = Tok::Other;
        return t;
      }
      case 10: t.kind = Tok::OBrace; return t;
      case 11: t.kind = Tok::CBrace; return t;
      case 31:
        t.kind = Tok::Name;
        t.text = "template";
        return t;
      default:
        if ((code >= 12 && code <= 20) || (code >= 40 && code <= 53)) {
          t.kind = Tok::Other;
          return t;
        }
        return Error("unknown binary token " + std::to_string(code));
    }
  }

  const unsigned char* p_;
  const unsigned char* begin_;
  const unsigned char* end_;
  bool binary_;
  int floatBytes_;
  uint32_t listLeft_ = 0;
  bool listFloat_ = false;
  int line_ = 1;
  size_t offset_ = 0;
  std::string fault_;
};

struct Object {
  std::string type, name;
  bool reference = false;
  std::vector<double> values;
  std::vector<bool> integers;
  std::vector<std::string> strings;
  std::vector<std::unique_ptr<Object>> children;
};

class Parser {
 public:
  explicit Parser(Lexer* lexer) : lexer_(lexer) {}

  bool ParseFile(std::vector<std::unique_ptr<Object>>* top, std::string* error) {
    for (;;) {
      Token t = lexer_->Next();
      if (t.kind == Tok::End) return true;
      if (t.kind == Tok::Other) continue;
      if (t.kind != Tok::Name) return Fail(t, "a data object was expected", error);
      if (t.text == "template") {
        if (!SkipTemplate(error)) return false;
        continue;
      }
      auto object = std::make_unique<Object>();
      object->type = std::string(t.text);
      if (!ParseBody(object.get(), 1, error)) return false;
      top->push_back(std::move(object));
    }
  }

 private:
  bool Fail(const Token& t, const std::string& what, std::string* error) {
    *error = lexer_->Where() + ": " + (t.kind == Tok::Error ? lexer_->Fault() : what);
    return false;
  }

  bool SkipTemplate(std::string* error) {
    int depth = 0;
    for (;;) {
      Token t = lexer_->Next();
      if (t.kind == Tok::End || t.kind == Tok::Error)
        return Fail(t, "unexpected end of file in a template", error);
      if (t.kind == Tok::OBrace) ++depth;
      if (t.kind == Tok::CBrace && --depth == 0) return true;
    }
  }

  // After the type name: optional object name, '{', members, '}'.
  bool ParseBody(Object* object, int depth, std::string* error) {
    if (depth > kMaxDepth) return Fail(Token{}, "data objects nested too deeply", error);
    Token t = lexer_->Next();
    if (t.kind == Tok::Name) {
      object->name = std::string(t.text);
      t = lexer_->Next();
    }
    if (t.kind != Tok::OBrace) return Fail(t, "'{' expected after '" + object->type + "'", error);
    for (;;) {
      t = lexer_->Next();
      switch (t.kind) {
        case Tok::CBrace: return true;
        case Tok::Number:
          object->values.push_back(t.number);
          object->integers.push_back(t.integer);
          break;
        case Tok::String: object->strings.emplace_back(t.text); break;
        case Tok::Other: break;
        case Tok::OBrace: {  // a reference to a named object: { Name }
          auto reference = std::make_unique<Object>();
          reference->reference = true;
          t = lexer_->Next();
          if (t.kind != Tok::Name) return Fail(t, "name expected in a reference", error);
          reference->name = std::string(t.text);
          do t = lexer_->Next();
          while (t.kind == Tok::Other);
          if (t.kind != Tok::CBrace) return Fail(t, "'}' expected after a reference", error);
          object->children.push_back(std::move(reference));
          break;
        }
        case Tok::Name: {
          auto child = std::make_unique<Object>();
          child->type = std::string(t.text);
          if (!ParseBody(child.get(), depth + 1, error)) return false;
          object->children.push_back(std::move(child));
          break;
        }
        case Tok::End:
          return Fail(t, "unexpected end of file inside '" + object->type + "'", error);
        case Tok::Error: return Fail(t, "", error);
      }
    }
  }

  Lexer* lexer_;
};

// MSZIP: a 32-bit total size, then blocks of [16-bit size]['CK'][raw deflate], each block using
// the previous block's output as its dictionary. A leading 16-bit field per block is skipped the
// way Assimp reads it, so both accept the same files.
bool Inflate(const char* data, size_t size, std::string* out, std::string* error) {
  const auto* p = reinterpret_cast<const unsigned char*>(data);
  const unsigned char* end = p + size;
  if (size < 6) {
    *error = "compressed data truncated";
    return false;
  }
  const uint32_t total = Le32(p);
  if (total > kMaxDecompressed) {
    *error = "compressed data claims " + std::to_string(total) + " bytes, too large";
    return false;
  }
  p += 6;
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
    *error = "decompressor unavailable";
    return false;
  }
  out->clear();
  constexpr size_t kBlock = 32786;
  unsigned char block[kBlock];
  bool ok = true;
  while (end - p > 3) {
    const uint32_t length = Le16(p);
    if (p[2] != 'C' || p[3] != 'K') {
      *error = "compressed block without its 'CK' mark";
      ok = false;
      break;
    }
    p += 4;
    const size_t available = std::min<size_t>(length, end - p);
    stream.next_in = const_cast<unsigned char*>(p);
    stream.avail_in = static_cast<uInt>(available);
    stream.next_out = block;
    stream.avail_out = kBlock;
    const int result = inflate(&stream, Z_SYNC_FLUSH);
    if (result != Z_OK && result != Z_STREAM_END) {
      *error = "compressed data is corrupt";
      ok = false;
      break;
    }
    const size_t produced = kBlock - stream.avail_out;
    if (out->size() + produced > kMaxDecompressed) {
      *error = "decompressed data too large";
      ok = false;
      break;
    }
    out->append(reinterpret_cast<char*>(block), produced);
    inflateReset(&stream);
    inflateSetDictionary(&stream, block, static_cast<uInt>(produced));
    p += available;
  }
  inflateEnd(&stream);
  if (ok && out->empty()) {
    *error = "compressed data holds nothing";
    ok = false;
  }
  return ok;
}

// A number as the file wrote it, for messages: converting a value beyond every integer type to one
// is undefined, and hostile files hold such values.
std::string NumberText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

bool IsIndex(const Object& o, size_t i, uint64_t limit) {
  return i < o.values.size() && o.integers[i] && o.values[i] >= 0 && o.values[i] < limit;
}

bool Finite(double value) { return std::isfinite(static_cast<float>(value)); }

void FindMeshes(const Object& object, std::vector<const Object*>* meshes) {
  if (object.type == "Mesh") {
    meshes->push_back(&object);
    return;
  }
  for (const auto& child : object.children) FindMeshes(*child, meshes);
}

bool CheckMaterial(const Object& m, XMaterial* out, std::string* error) {
  if (m.values.size() != 11) {
    *error = "material '" + m.name + "' has " + std::to_string(m.values.size()) +
             " values where 11 are expected";
    return false;
  }
  for (double v : m.values)
    if (!Finite(v)) {
      *error = "material '" + m.name + "' holds a value that is not a finite number";
      return false;
    }
  for (int i = 0; i < 4; ++i) out->diffuse[i] = static_cast<float>(m.values[i]);
  out->power = static_cast<float>(m.values[4]);
  for (int i = 0; i < 3; ++i) out->specular[i] = static_cast<float>(m.values[5 + i]);
  for (int i = 0; i < 3; ++i) out->emissive[i] = static_cast<float>(m.values[8 + i]);
  out->hasTexture = false;
  for (const auto& child : m.children) {
    if (child->type == "TextureFilename" || child->type == "TextureFileName") {
      if (child->strings.size() != 1) {
        *error = "material '" + m.name + "' has a texture file name without its string";
        return false;
      }
      out->hasTexture = true;
      out->texture = child->strings[0];
    }
  }
  return true;
}

bool CheckMesh(const Object& mesh, const std::map<std::string, const Object*>& namedMaterials,
               XMesh* out, std::string* error) {
  const auto& v = mesh.values;
  if (v.empty() || !mesh.integers[0]) {
    *error = "the mesh has no vertex count";
    return false;
  }
  if (v[0] < 1) {
    *error = "the mesh has no vertices";
    return false;
  }
  // Every count is measured against the values actually present, so a hostile count is caught
  // before anything is sized by it.
  if (v[0] > (v.size() - 1) / 3.0) {
    *error = "the vertex count " + NumberText(v[0]) + " exceeds the data in the file";
    return false;
  }
  const uint32_t vertexCount = static_cast<uint32_t>(v[0]);
  out->vertexCount = vertexCount;
  out->positions.resize(size_t{vertexCount} * 3);
  for (size_t i = 0; i < out->positions.size(); ++i) {
    if (!Finite(v[1 + i])) {
      *error = "vertex " + std::to_string(i / 3) + " has a coordinate that is not a finite number";
      return false;
    }
    out->positions[i] = static_cast<float>(v[1 + i]);
  }
  size_t at = 1 + out->positions.size();
  if (at >= v.size() || !mesh.integers[at]) {
    *error = "the face count is missing";
    return false;
  }
  const double faceCount = v[at++];
  if (faceCount < 1) {
    *error = "the mesh has no faces";
    return false;
  }
  if (faceCount > (v.size() - at) / 4.0) {
    *error = "the face count " + NumberText(faceCount) + " exceeds the data in the file";
    return false;
  }
  const uint32_t faces = static_cast<uint32_t>(faceCount);
  out->faceStart.assign(1, 0);
  out->corners.clear();
  for (uint32_t f = 0; f < faces; ++f) {
    if (at >= v.size() || !mesh.integers[at] || v[at] > v.size() - at - 1) {
      *error = "face " + std::to_string(f) + " is truncated";
      return false;
    }
    if (v[at] < 3) {
      *error = "face " + std::to_string(f) + " has " + NumberText(v[at]) + " corners";
      return false;
    }
    const uint32_t n = static_cast<uint32_t>(v[at++]);
    for (uint32_t c = 0; c < n; ++c, ++at) {
      if (!IsIndex(mesh, at, vertexCount)) {
        *error = "face " + std::to_string(f) + " refers to vertex " + NumberText(v[at]) +
                 ", but the mesh has " + std::to_string(vertexCount) + " vertices";
        return false;
      }
      out->corners.push_back(static_cast<uint32_t>(v[at]));
    }
    out->faceStart.push_back(static_cast<uint32_t>(out->corners.size()));
  }
  if (at != v.size()) {
    *error = "unexpected values after the face list";
    return false;
  }

  out->faceMaterial.assign(faces, 0);
  out->materials.clear();
  bool materialList = false;
  for (const auto& child : mesh.children) {
    const Object& c = *child;
    const auto& cv = c.values;
    if (c.type == "MeshNormals") {
      // Assimp reads each corner's normal through these indices without checking them.
      if (cv.empty() || !c.integers[0] || cv[0] > (cv.size() - 1) / 3.0) {
        *error = "the normal count exceeds the data in the file";
        return false;
      }
      const uint32_t normals = static_cast<uint32_t>(cv[0]);
      size_t i = 1;
      for (; i < 1 + size_t{normals} * 3; ++i)
        if (!Finite(cv[i])) {
          *error = "normal " + std::to_string((i - 1) / 3) + " is not a finite vector";
          return false;
        }
      if (!IsIndex(c, i, uint64_t{faces} + 1) || cv[i] != faces) {
        *error = "the normals list a different number of faces than the mesh";
        return false;
      }
      ++i;
      for (uint32_t f = 0; f < faces; ++f) {
        const uint32_t n = out->faceStart[f + 1] - out->faceStart[f];
        if (!IsIndex(c, i, uint64_t{n} + 1) || cv[i] != n) {
          *error = "the normals of face " + std::to_string(f) + " do not match its corners";
          return false;
        }
        ++i;
        for (uint32_t k = 0; k < n; ++k, ++i)
          if (!IsIndex(c, i, normals)) {
            *error = "face " + std::to_string(f) + " refers to a normal that does not exist";
            return false;
          }
      }
      if (i != cv.size()) {
        *error = "unexpected values after the normals";
        return false;
      }
      out->hasNormals = true;
    } else if (c.type == "MeshTextureCoords") {
      if (cv.empty() || cv[0] != vertexCount || cv.size() != 1 + size_t{vertexCount} * 2) {
        *error = "the texture coordinates do not match the vertex count";
        return false;
      }
      for (size_t i = 1; i < cv.size(); ++i)
        if (!Finite(cv[i])) {
          *error = "a texture coordinate is not a finite number";
          return false;
        }
      out->hasTexCoords = true;
    } else if (c.type == "MeshVertexColors") {
      if (cv.empty() || cv[0] != vertexCount || cv.size() != 1 + size_t{vertexCount} * 5) {
        *error = "the vertex colours do not match the vertex count";
        return false;
      }
      for (size_t i = 1; i < cv.size(); i += 5)
        if (!IsIndex(c, i, vertexCount)) {
          *error = "a vertex colour refers to a vertex that does not exist";
          return false;
        }
    } else if (c.type == "MeshMaterialList") {
      if (materialList) {
        *error = "the mesh has more than one material list";
        return false;
      }
      materialList = true;
      if (cv.size() < 2 || !c.integers[0] || !c.integers[1] || cv[0] < 1) {
        *error = "the material list names no materials";
        return false;
      }
      const double materials = cv[0], indices = cv[1];
      // A single index stands for every face, as some exporters write it.
      if ((indices != faces && indices != 1) || cv.size() != 2 + static_cast<size_t>(indices)) {
        *error = "the material list gives " + NumberText(indices) + " face materials for " +
                 std::to_string(faces) + " faces";
        return false;
      }
      for (uint32_t f = 0; f < faces; ++f) {
        const size_t i = 2 + (indices == 1 ? 0 : f);
        if (!IsIndex(c, i, static_cast<uint64_t>(std::min(materials, 4294967296.0)))) {
          *error = "face " + std::to_string(f) + " uses a material that does not exist";
          return false;
        }
        out->faceMaterial[f] = static_cast<uint32_t>(cv[i]);
      }
      for (const auto& m : c.children) {
        const Object* material = m.get();
        if (m->reference) {
          auto found = namedMaterials.find(m->name);
          if (found == namedMaterials.end()) {
            *error = "the material list refers to an unknown material '" + m->name + "'";
            return false;
          }
          material = found->second;
        } else if (m->type != "Material") {
          continue;
        }
        out->materials.emplace_back();
        if (!CheckMaterial(*material, &out->materials.back(), error)) return false;
      }
      if (out->materials.size() != materials) {
        *error = "the material list announces " + NumberText(materials) + " materials and holds " +
                 std::to_string(out->materials.size());
        return false;
      }
    }
  }
  return true;
}

}  // namespace

bool ScanXFile(const std::string& bytes, XMesh* mesh, std::string* error) {
  if (bytes.size() < 16 || bytes.compare(0, 4, "xof ") != 0) {
    *error = "not a .x file (no \"xof \" header)";
    return false;
  }
  const std::string format = bytes.substr(8, 4), floatSize = bytes.substr(12, 4);
  if (floatSize != "0032" && floatSize != "0064") {
    *error = "unsupported float size '" + floatSize + "'";
    return false;
  }
  const bool binary = format == "bin " || format == "bzip";
  const bool compressed = format == "tzip" || format == "bzip";
  if (!binary && !compressed && format != "txt ") {
    *error = "unsupported .x encoding '" + format + "'";
    return false;
  }
  std::string inflated;
  const char* begin = bytes.data() + 16;
  const char* end = bytes.data() + bytes.size();
  if (compressed) {
    if (!Inflate(begin, end - begin, &inflated, error)) return false;
    begin = inflated.data();
    end = begin + inflated.size();
  }

  Lexer lexer(begin, end, binary, floatSize == "0064" ? 8 : 4);
  Parser parser(&lexer);
  std::vector<std::unique_ptr<Object>> top;
  if (!parser.ParseFile(&top, error)) return false;

  std::map<std::string, const Object*> namedMaterials;
  std::vector<const Object*> meshes;
  for (const auto& object : top) {
    if (object->type == "Material" && !object->name.empty())
      namedMaterials[object->name] = object.get();
    FindMeshes(*object, &meshes);
  }
  if (meshes.empty()) {
    *error = "the file holds no mesh";
    return false;
  }
  // Merging would need the frame transforms applied the way the original loader did; a single
  // mesh is all this program ships, so anything else is refused rather than guessed at.
  if (meshes.size() > 1) {
    *error = "the file holds " + std::to_string(meshes.size()) +
             " meshes; only files with a single mesh are supported";
    return false;
  }
  return CheckMesh(*meshes[0], namedMaterials, mesh, error);
}

}  // namespace formats
