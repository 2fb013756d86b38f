// Meshes from .x files: Assimp imports the vertex data; the structural scan (mesh_x_scan.cpp)
// guards it and restores the file's own indexing, which Assimp replaces with one vertex per corner.
// Limits: one mesh per file, frame transforms are not applied, polygons are drawn as fans.
#include "render/gfx/gl/mesh_gl.hpp"

#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "formats/file_names.hpp"
#include "formats/mesh_x_scan.hpp"
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

struct Vertex {
  float position[3], normal[3], texCoord[2];
};

bool Near(float a, float b) { return std::fabs(a - b) <= 1e-5f * std::fmax(1.0f, std::fabs(b)); }

// Fills one vertex per file vertex from Assimp's per-corner vertices, matching Assimp's meshes
// (one per material that has faces, in material order) to the scanned faces and checking that
// both readings agree corner by corner.
bool TakeVertexData(const aiScene& scene, const formats::XMesh& x, std::vector<Vertex>* vertices,
                    std::string* error) {
  const uint32_t faceCount = static_cast<uint32_t>(x.faceStart.size() - 1);
  const uint32_t groups = x.materials.empty() ? 1 : static_cast<uint32_t>(x.materials.size());
  std::vector<std::vector<uint32_t>> facesOf(groups);
  for (uint32_t f = 0; f < faceCount; ++f) facesOf[x.faceMaterial[f]].push_back(f);

  vertices->assign(x.vertexCount, Vertex{});
  for (uint32_t v = 0; v < x.vertexCount; ++v)
    std::memcpy((*vertices)[v].position, &x.positions[size_t{v} * 3], 12);

  unsigned next = 0;
  for (uint32_t g = 0; g < groups; ++g) {
    if (facesOf[g].empty()) continue;
    if (next >= scene.mNumMeshes) {
      *error = "the importer lost the faces of material " + std::to_string(g);
      return false;
    }
    const aiMesh& mesh = *scene.mMeshes[next++];
    if (mesh.mNumFaces != facesOf[g].size()) {
      *error = "the importer read " + std::to_string(mesh.mNumFaces) + " faces of material " +
               std::to_string(g) + " where the file has " + std::to_string(facesOf[g].size());
      return false;
    }
    for (uint32_t j = 0; j < mesh.mNumFaces; ++j) {
      const uint32_t f = facesOf[g][j];
      const aiFace& face = mesh.mFaces[j];
      if (face.mNumIndices != x.faceStart[f + 1] - x.faceStart[f]) {
        *error = "the importer changed the corners of face " + std::to_string(f);
        return false;
      }
      for (uint32_t c = 0; c < face.mNumIndices; ++c) {
        const uint32_t source = face.mIndices[c];
        const uint32_t target = x.corners[x.faceStart[f] + c];
        if (source >= mesh.mNumVertices) {
          *error = "the importer produced an invalid corner in face " + std::to_string(f);
          return false;
        }
        const aiVector3D& p = mesh.mVertices[source];
        Vertex& out = (*vertices)[target];
        if (!Near(p.x, out.position[0]) || !Near(p.y, out.position[1]) ||
            !Near(p.z, out.position[2])) {
          *error = "the importer placed vertex " + std::to_string(target) +
                   " elsewhere than the file does";
          return false;
        }
        out.position[0] = p.x;
        out.position[1] = p.y;
        out.position[2] = p.z;
        if (mesh.HasNormals()) {
          out.normal[0] = mesh.mNormals[source].x;
          out.normal[1] = mesh.mNormals[source].y;
          out.normal[2] = mesh.mNormals[source].z;
        }
        if (mesh.HasTextureCoords(0)) {
          out.texCoord[0] = mesh.mTextureCoords[0][source].x;
          out.texCoord[1] = mesh.mTextureCoords[0][source].y;
        }
      }
    }
  }
  if (next != scene.mNumMeshes) {
    *error = "the importer found " + std::to_string(scene.mNumMeshes) +
             " meshes where the file "
             "has " +
             std::to_string(next);
    return false;
  }
  return true;
}

// Material records first, then the texture names they point at, all in one buffer.
Buffer* MakeMaterials(const formats::XMesh& x) {
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
  formats::XMesh x;
  if (!formats::ScanXFile(bytes, &x, &fault)) return FailLoad(fileName, fault, E_FAIL, errors);

  // ConvertToLeftHanded undoes the importer's own mirroring of z, flip of v and winding, so
  // positions, texture coordinates and corner order come out as the file has them.
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFileFromMemory(
      bytes.data(), bytes.size(), aiProcess_ConvertToLeftHanded | aiProcess_ValidateDataStructure,
      "x");
  if (!scene) return FailLoad(fileName, importer.GetErrorString(), E_FAIL, errors);
  std::vector<Vertex> vertices;
  if (!TakeVertexData(*scene, x, &vertices, &fault))
    return FailLoad(fileName, fault, E_FAIL, errors);

  // Triangles grouped by subset, faces in file order within each.
  const uint32_t faceCount = static_cast<uint32_t>(x.faceStart.size() - 1);
  const uint32_t subsets = x.materials.empty() ? 1 : static_cast<uint32_t>(x.materials.size());
  std::vector<uint32_t> indices, subsetFirst(subsets), subsetCount(subsets);
  indices.reserve(x.corners.size() * 3);
  for (uint32_t s = 0; s < subsets; ++s) {
    subsetFirst[s] = static_cast<uint32_t>(indices.size());
    for (uint32_t f = 0; f < faceCount; ++f) {
      if (x.faceMaterial[f] != s) continue;
      const uint32_t* c = &x.corners[x.faceStart[f]];
      const uint32_t n = x.faceStart[f + 1] - x.faceStart[f];
      for (uint32_t k = 1; k + 1 < n; ++k) indices.insert(indices.end(), {c[0], c[k], c[k + 1]});
    }
    subsetCount[s] = static_cast<uint32_t>(indices.size()) - subsetFirst[s];
  }

  Buffer* materialBuffer = MakeMaterials(x);
  if (!materialBuffer) return FailLoad(fileName, "out of memory", E_OUTOFMEMORY, errors);

  GLuint vao = 0, buffers[2] = {};
  glGenVertexArrays(1, &vao);
  glGenBuffers(2, buffers);
  glBindVertexArray(vao);
  glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
  glBufferData(GL_ARRAY_BUFFER, vertices.size() * sizeof(Vertex), vertices.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, indices.size() * 4, indices.data(), GL_STATIC_DRAW);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                        reinterpret_cast<const void*>(offsetof(Vertex, position)));
  glEnableVertexAttribArray(1);
  glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                        reinterpret_cast<const void*>(offsetof(Vertex, normal)));
  glEnableVertexAttribArray(2);
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                        reinterpret_cast<const void*>(offsetof(Vertex, texCoord)));
  // Back to what the backend's shadow holds, so the frames find GL as it says.
  glBindVertexArray(gl::State().vertexArray);
  glBindBuffer(GL_ARRAY_BUFFER, gl::State().arrayBuffer);

  Mesh* made = new (std::nothrow)
      GlMesh(vao, buffers[0], buffers[1], x.vertexCount, static_cast<uint32_t>(indices.size() / 3),
             std::move(subsetFirst), std::move(subsetCount));
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
