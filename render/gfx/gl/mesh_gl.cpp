// Meshes from .x files: formats/xfile.cpp reads and merges the file without GL; this file only
// uploads the result (8 floats per vertex, triangles grouped by subset) and hands out materials.
// Limits: 32 MiB per file; 32-bit indices.
#include "render/gfx/gl/mesh_gl.hpp"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "formats/file_names.hpp"
#include "formats/xfile.hpp"
#include "render/gfx/gl/buffer_gl.hpp"
#include "render/gfx/gl/device_gl.hpp"
#include "render/gfx/gl/gl_state.hpp"

namespace gfx {
namespace {

class GlMesh final : public gl::RefCounted<Mesh> {
 public:
  GlMesh(GLuint vao, GLuint vertices, GLuint indices, uint32_t vertexCount, uint32_t faceCount,
         std::vector<uint32_t> subsetFirst, std::vector<uint32_t> subsetCount)
      : vao_(vao),
        vertexBuffer_(vertices),
        indexBuffer_(indices),
        vertexCount_(vertexCount),
        faceCount_(faceCount),
        subsetFirst_(std::move(subsetFirst)),
        subsetCount_(std::move(subsetCount)) {}
  ~GlMesh() override {
    glDeleteVertexArrays(1, &vao_);
    glDeleteBuffers(1, &vertexBuffer_);
    glDeleteBuffers(1, &indexBuffer_);
  }

  // Draws with whatever program and states the current pass has set.
  HRESULT DrawSubset(uint32_t subset) override {
    if (subset >= subsetCount_.size()) return E_INVALIDARG;
    if (subsetCount_[subset] == 0) return S_OK;
    // Left bound for the next draw: the backend binds element buffers only inside its own
    // creation code, which binds a vertex array of its own first and puts this one back.
    gl::BindVertexArray(vao_);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(subsetCount_[subset]), GL_UNSIGNED_INT,
                   reinterpret_cast<const void*>(size_t{subsetFirst_[subset]} * 4));
    return S_OK;
  }
  uint32_t GetNumVertices() override { return vertexCount_; }
  uint32_t GetNumFaces() override { return faceCount_; }

  void Read(std::vector<float>* vertices, std::vector<uint32_t>* indices,
            std::vector<uint32_t>* first, std::vector<uint32_t>* count) const {
    vertices->resize(size_t{vertexCount_} * 8);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, vertices->size() * 4, vertices->data());
    indices->resize(size_t{faceCount_} * 3);
    glBindBuffer(GL_ARRAY_BUFFER, indexBuffer_);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, indices->size() * 4, indices->data());
    glBindBuffer(GL_ARRAY_BUFFER, gl::State().arrayBuffer);
    *first = subsetFirst_;
    *count = subsetCount_;
  }

 private:
  GLuint vao_, vertexBuffer_, indexBuffer_;
  uint32_t vertexCount_, faceCount_;
  std::vector<uint32_t> subsetFirst_, subsetCount_;  // in indices
};

// Material records first, then the texture names they point at, all in one buffer.
Buffer* MakeMaterials(const formats::XModel& x) {
  size_t size = x.materials.size() * sizeof(Material);
  for (const auto& m : x.materials)
    if (m.hasTexture) size += m.texture.size() + 1;
  if (size > UINT32_MAX) return nullptr;
  Buffer* buffer = gl::CreateBuffer(static_cast<uint32_t>(size));
  if (!buffer) return nullptr;
  auto* base = static_cast<char*>(buffer->GetBufferPointer());
  auto* records = reinterpret_cast<Material*>(base);
  char* strings = base + x.materials.size() * sizeof(Material);
  for (size_t i = 0; i < x.materials.size(); ++i) {
    const formats::XMaterial& m = x.materials[i];
    Material& r = records[i];
    r = Material{};
    std::memcpy(r.Diffuse, m.diffuse, sizeof r.Diffuse);
    // The file has no ambient colour; the original loader leaves it black.
    std::memcpy(r.Specular, m.specular, 12);
    r.Specular[3] = 1.0f;
    std::memcpy(r.Emissive, m.emissive, 12);
    r.Emissive[3] = 1.0f;
    r.Power = m.power;
    r.pTextureFilename = nullptr;
    if (m.hasTexture) {
      std::memcpy(strings, m.texture.c_str(), m.texture.size() + 1);
      r.pTextureFilename = strings;
      strings += m.texture.size() + 1;
    }
  }
  return buffer;
}

}  // namespace

namespace gl {
bool ReadMeshData(Mesh* mesh, std::vector<float>* vertices, std::vector<uint32_t>* indices,
                  std::vector<uint32_t>* subsetFirst, std::vector<uint32_t>* subsetCount) {
  auto* gl = dynamic_cast<GlMesh*>(mesh);
  if (!gl) return false;
  gl->Read(vertices, indices, subsetFirst, subsetCount);
  return true;
}
}  // namespace gl

namespace {

HRESULT FailLoad(const char* fileName, const std::string& fault, HRESULT result, Buffer** errors) {
  const std::string text = std::string(fileName) + ": " + fault;
  if (errors)
    *errors = gl::CreateTextBuffer(text);
  else
    std::fprintf(stderr, "%s\n", text.c_str());
  return result;
}

}  // namespace

HRESULT LoadMeshFromX(const char* fileName, uint32_t /*options*/, Device* device,
                      Buffer** materials, uint32_t* materialCount, Mesh** mesh, Buffer** errors) {
  if (materials) *materials = nullptr;
  if (materialCount) *materialCount = 0;
  if (mesh) *mesh = nullptr;
  if (errors) *errors = nullptr;
  if (!fileName || !mesh) return E_INVALIDARG;
  if (!dynamic_cast<gl::GlDevice*>(device))
    return FailLoad(fileName, "no OpenGL device to load it on", E_INVALIDARG, errors);

  std::string bytes, fault;
  if (!formats::ReadWholeFile(fileName, size_t{32} << 20, &bytes, &fault))
    return FailLoad(fileName, fault, E_NOTFOUND, errors);
  formats::XModel x;
  if (!formats::ReadXFile(bytes, &x, &fault)) return FailLoad(fileName, fault, E_FAIL, errors);

  Buffer* materialBuffer = MakeMaterials(x);
  if (!materialBuffer) return FailLoad(fileName, "out of memory", E_OUTOFMEMORY, errors);

  GLuint vao = 0, buffers[2] = {};
  glGenVertexArrays(1, &vao);
  glGenBuffers(2, buffers);
  glBindVertexArray(vao);
  glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
  glBufferData(GL_ARRAY_BUFFER, x.vertices.size() * 4, x.vertices.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, x.indices.size() * 4, x.indices.data(), GL_STATIC_DRAW);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 32, reinterpret_cast<const void*>(0));
  glEnableVertexAttribArray(1);
  glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, 32, reinterpret_cast<const void*>(12));
  glEnableVertexAttribArray(2);
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 32, reinterpret_cast<const void*>(24));
  // Back to what the backend's shadow holds, so the frames find GL as it says.
  glBindVertexArray(gl::State().vertexArray);
  glBindBuffer(GL_ARRAY_BUFFER, gl::State().arrayBuffer);

  Mesh* made = new (std::nothrow) GlMesh(vao, buffers[0], buffers[1], x.VertexCount(),
                                         static_cast<uint32_t>(x.indices.size() / 3),
                                         std::move(x.subsetFirst), std::move(x.subsetCount));
  if (!made) {
    glDeleteVertexArrays(1, &vao);
    glDeleteBuffers(2, buffers);
    materialBuffer->Release();
    return FailLoad(fileName, "out of memory", E_OUTOFMEMORY, errors);
  }
  *mesh = made;
  if (materialCount) *materialCount = static_cast<uint32_t>(x.materials.size());
  if (materials)
    *materials = materialBuffer;
  else
    materialBuffer->Release();
  return S_OK;
}

}  // namespace gfx
