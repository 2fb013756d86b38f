// .x meshes on OpenGL: what the reader yields reaches the GPU as it is (counts, coordinates,
// subsets, texture names) for text, binary and compressed files; a failed load names the file and
// leaves nothing behind; the shipped meshes have the counts the overlay assumes.
#include <zlib.h>

#include <cstring>

#include "render/gfx/gl/mesh_gl.hpp"
#include "tests/gl/device_fixture.hpp"

namespace {

// Five vertices (the last one used by no face), a triangle of material 1, a triangle of
// material 0 and a quad of material 1; material 1 is a reference to a top-level material.
const char* kQuad = R"(xof 0302txt 0032
template Vector { <3D82AB5E-62DA-11cf-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
Material Shared {
  0.5;0.5;0.5;1.0;; 8.0; 0.1;0.2;0.3;; 0.0;0.0;0.0;;
  TextureFilename { "tex\shared.bmp"; }
}
Frame Root {
  FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 0.0,0.0,0.0,1.0;; }
  Mesh quad {
    5;
    -1.0;-1.0;0.5;, 1.0;-1.0;0.5;, 1.0;1.0;0.5;, -1.0;1.0;0.5;, 9.0;8.0;7.0;;
    3;
    3;0,1,2;, 3;0,2,3;, 4;0,1,2,3;;
    MeshNormals { 1; 0.0;0.0;-1.0;; 3; 3;0,0,0;, 3;0,0,0;, 4;0,0,0,0;; }
    MeshTextureCoords { 5; 0.0;1.0;, 1.0;1.0;, 1.0;0.0;, 0.0;0.0;, 0.25;0.75;; }
    MeshMaterialList {
      2; 3; 1,0,1;;
      Material Red { 1.0;0.0;0.0;1.0;; 5.0; 1.0;1.0;1.0;; 0.0;0.0;0.0;;
        TextureFilename { "modeli\\red.bmp"; } }
      { Shared }
    }
  }
}
)";

const float kPositions[5][3] = {
    {-1, -1, 0.5f}, {1, -1, 0.5f}, {1, 1, 0.5f}, {-1, 1, 0.5f}, {9, 8, 7}};

struct Loaded {
  gfx::HRESULT result = gfx::E_FAIL;
  gfx::Mesh* mesh = nullptr;
  gfx::Buffer* materials = nullptr;
  gfx::Buffer* errors = nullptr;
  uint32_t materialCount = 99;

  std::string Errors() const {
    return errors ? static_cast<const char*>(errors->GetBufferPointer()) : "";
  }
  ~Loaded() {
    if (mesh) mesh->Release();
    if (materials) materials->Release();
    if (errors) errors->Release();
  }
};

class GlMeshTest : public GlDeviceTest {
 protected:
  void SetUp() override {
    GlDeviceTest::SetUp();
    directory = MakeTempDirectory();
    ASSERT_FALSE(directory.empty());
  }

  // Writes bytes to a file of the temporary directory and loads it by a backslashed name.
  void Load(const std::string& name, const std::string& bytes, Loaded* out) {
    WriteFile(directory + "/" + name, bytes);
    LoadExisting(directory + "\\" + name, out);
  }
  void LoadExisting(const std::string& fileName, Loaded* out) {
    out->result = gfx::LoadMeshFromX(fileName.c_str(), gfx::MESH_SYSTEMMEM, device, &out->materials,
                                     &out->materialCount, &out->mesh, &out->errors);
  }
  void ExpectFailure(const std::string& name, const std::string& bytes, const char* fault) {
    Loaded loaded;
    Load(name, bytes, &loaded);
    EXPECT_TRUE(gfx::Failed(loaded.result)) << name;
    EXPECT_EQ(loaded.mesh, nullptr) << name;
    EXPECT_EQ(loaded.materials, nullptr) << name;
    EXPECT_EQ(loaded.materialCount, 0u) << name;
    ASSERT_NE(loaded.errors, nullptr) << name;
    EXPECT_NE(loaded.Errors().find(name), std::string::npos) << loaded.Errors();
    EXPECT_NE(loaded.Errors().find(fault), std::string::npos) << loaded.Errors();
  }

  void ExpectQuad(const Loaded& loaded) {
    ASSERT_EQ(loaded.result, gfx::S_OK) << loaded.Errors();
    ASSERT_NE(loaded.mesh, nullptr);
    EXPECT_EQ(loaded.errors, nullptr);
    EXPECT_EQ(loaded.mesh->GetNumVertices(), 5u);
    EXPECT_EQ(loaded.mesh->GetNumFaces(), 4u);  // the quad counts as two triangles
    std::vector<float> vertices;
    std::vector<uint32_t> indices, first, count;
    ASSERT_TRUE(gfx::gl::ReadMeshData(loaded.mesh, &vertices, &indices, &first, &count));
    for (int v = 0; v < 5; ++v)
      for (int k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(vertices[v * 8 + k], kPositions[v][k]);
    // Texture coordinates as written: v = 1 at the bottom corners, as the file has them.
    EXPECT_NEAR(vertices[0 * 8 + 6], 0.0f, 1e-6f);
    EXPECT_NEAR(vertices[0 * 8 + 7], 1.0f, 1e-6f);
    EXPECT_NEAR(vertices[2 * 8 + 6], 1.0f, 1e-6f);
    EXPECT_NEAR(vertices[2 * 8 + 7], 0.0f, 1e-6f);
    EXPECT_NEAR(vertices[1 * 8 + 5], -1.0f, 1e-6f);  // the normal's z
    // Subset 0: face 1 alone. Subset 1: face 0 then the quad as a fan, corners in file order.
    EXPECT_EQ(first, (std::vector<uint32_t>{0, 3}));
    EXPECT_EQ(count, (std::vector<uint32_t>{3, 9}));
    EXPECT_EQ(indices, (std::vector<uint32_t>{0, 2, 3, 0, 1, 2, 0, 1, 2, 0, 2, 3}));

    ASSERT_EQ(loaded.materialCount, 2u);
    ASSERT_NE(loaded.materials, nullptr);
    const auto* m = static_cast<const gfx::Material*>(loaded.materials->GetBufferPointer());
    EXPECT_FLOAT_EQ(m[0].Diffuse[0], 1.0f);
    EXPECT_FLOAT_EQ(m[0].Diffuse[1], 0.0f);
    EXPECT_FLOAT_EQ(m[0].Power, 5.0f);
    ASSERT_NE(m[0].pTextureFilename, nullptr);
    EXPECT_STREQ(m[0].pTextureFilename, "modeli\\\\red.bmp");  // a doubled backslash stays doubled
    EXPECT_FLOAT_EQ(m[1].Diffuse[0], 0.5f);
    EXPECT_FLOAT_EQ(m[1].Specular[2], 0.3f);
    ASSERT_NE(m[1].pTextureFilename, nullptr);
    EXPECT_STREQ(m[1].pTextureFilename, "tex\\shared.bmp");
    // The names live inside the buffer itself.
    const auto* begin = static_cast<const char*>(loaded.materials->GetBufferPointer());
    EXPECT_GE(m[1].pTextureFilename, begin + 2 * sizeof(gfx::Material));
    EXPECT_LT(m[1].pTextureFilename, begin + loaded.materials->GetBufferSize());
  }

  std::string directory;
};

// The same quad in the binary encoding: names, integer lists and float lists.
std::string BinaryQuad() {
  std::string out = "xof 0302bin 0032";
  auto word = [&](uint16_t w) { out.append(reinterpret_cast<const char*>(&w), 2); };
  auto dword = [&](uint32_t d) { out.append(reinterpret_cast<const char*>(&d), 4); };
  auto name = [&](const std::string& s) { word(1), dword(uint32_t(s.size())), out += s; };
  auto string = [&](const std::string& s) {
    word(2), dword(uint32_t(s.size())), out += s, word(20);
  };
  auto ints = [&](std::initializer_list<uint32_t> v) {
    word(6), dword(uint32_t(v.size()));
    for (uint32_t i : v) dword(i);
  };
  auto floats = [&](std::initializer_list<float> v) {
    word(7), dword(uint32_t(v.size()));
    for (float f : v) out.append(reinterpret_cast<const char*>(&f), 4);
  };
  auto open = [&] { word(10); };
  auto close = [&] { word(11); };
  auto material = [&](const std::string& n, std::initializer_list<float> values,
                      const std::string& texture) {
    name("Material"), name(n), open();
    floats(values);
    name("TextureFilename"), open(), string(texture), close();
    close();
  };
  name("Mesh"), name("quad"), open();
  ints({5});
  floats({-1, -1, 0.5f, 1, -1, 0.5f, 1, 1, 0.5f, -1, 1, 0.5f, 9, 8, 7});
  ints({3, 3, 0, 1, 2, 3, 0, 2, 3, 4, 0, 1, 2, 3});
  name("MeshNormals"), open(), ints({1}), floats({0, 0, -1}),
      ints({3, 3, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 0}), close();
  name("MeshTextureCoords"), open(), ints({5}), floats({0, 1, 1, 1, 1, 0, 0, 0, 0.25f, 0.75f}),
      close();
  name("MeshMaterialList"), open(), ints({2, 3, 1, 0, 1});
  material("Red", {1, 0, 0, 1, 5, 1, 1, 1, 0, 0, 0}, "modeli\\\\red.bmp");
  material("Shared", {0.5f, 0.5f, 0.5f, 1, 8, 0.1f, 0.2f, 0.3f, 0, 0, 0}, "tex\\shared.bmp");
  close();
  close();
  return out;
}

// The text quad in the MSZIP-compressed encoding: a total size, then one block of raw deflate.
std::string CompressedQuad() {
  const std::string body = std::string(kQuad).substr(17);  // the text after the header line
  std::string packed(compressBound(body.size()) + 64, '\0');
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data()));
  stream.avail_in = static_cast<uInt>(body.size());
  stream.next_out = reinterpret_cast<Bytef*>(packed.data());
  stream.avail_out = static_cast<uInt>(packed.size());
  deflate(&stream, Z_FINISH);
  packed.resize(stream.total_out);
  deflateEnd(&stream);
  std::string out = "xof 0302tzip0032";
  const uint32_t total = static_cast<uint32_t>(body.size() + 16);
  const uint16_t blockSize = static_cast<uint16_t>(body.size());
  const uint16_t packedSize = static_cast<uint16_t>(packed.size() + 2);  // "CK" included
  out.append(reinterpret_cast<const char*>(&total), 4);
  out.append(reinterpret_cast<const char*>(&blockSize), 2);
  out.append(reinterpret_cast<const char*>(&packedSize), 2);
  out += "CK" + packed;
  return out;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST_F(GlMeshTest, TextFileLoadsWithItsOwnCountsCoordinatesSubsetsAndNames) {
  Loaded loaded;
  Load("quad.x", kQuad, &loaded);
  ExpectQuad(loaded);
}

TEST_F(GlMeshTest, BinaryFileLoadsLikeTheTextOne) {
  Loaded loaded;
  Load("quad_bin.x", BinaryQuad(), &loaded);
  ExpectQuad(loaded);
}

TEST_F(GlMeshTest, CompressedFileLoadsLikeTheTextOne) {
  Loaded loaded;
  Load("quad_zip.x", CompressedQuad(), &loaded);
  ExpectQuad(loaded);
}

TEST_F(GlMeshTest, DrawSubsetDrawsOnlyThatMaterialsFaces) {
  Loaded loaded;
  Load("quad.x", kQuad, &loaded);
  ASSERT_EQ(loaded.result, gfx::S_OK) << loaded.Errors();
  const GLuint program = WhiteProgram();
  glUseProgram(program);
  device->SetRenderState(gfx::RS_CULLMODE, gfx::CULL_NONE);
  device->Clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
  ASSERT_EQ(loaded.mesh->DrawSubset(0), gfx::S_OK);
  // Subset 0 is the triangle 0, 2, 3: the upper-left half of the window.
  EXPECT_EQ(Pixel(10, 10), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(kWidth - 10, kHeight - 10), 0x000000FFu);
  EXPECT_TRUE(gfx::Failed(loaded.mesh->DrawSubset(2)));
  EXPECT_EQ(Pixel(kWidth - 10, kHeight - 10), 0x000000FFu);
  ASSERT_EQ(loaded.mesh->DrawSubset(1), gfx::S_OK);
  EXPECT_EQ(Pixel(kWidth - 10, kHeight - 10), 0xFFFFFFFFu);
  glUseProgram(0);
  glDeleteProgram(program);
}

TEST_F(GlMeshTest, MeshWithoutMaterialListIsOneSubsetAndNoMaterials) {
  const std::string plain = "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n";
  Loaded loaded;
  Load("plain.x", plain, &loaded);
  ASSERT_EQ(loaded.result, gfx::S_OK) << loaded.Errors();
  EXPECT_EQ(loaded.materialCount, 0u);
  ASSERT_NE(loaded.materials, nullptr);
  EXPECT_EQ(loaded.mesh->GetNumFaces(), 1u);
  EXPECT_EQ(loaded.mesh->DrawSubset(0), gfx::S_OK);
  EXPECT_TRUE(gfx::Failed(loaded.mesh->DrawSubset(1)));
}

TEST_F(GlMeshTest, MaterialWithoutFacesIsAnEmptySubset) {
  const std::string unused =
      "xof 0302txt 0032\nMesh q { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,2;;\n"
      " MeshMaterialList { 2; 1; 1;;\n"
      "  Material { 1.0;0.0;0.0;1.0;; 5.0; 1.0;1.0;1.0;; 0.0;0.0;0.0;; }\n"
      "  Material { 0.0;1.0;0.0;1.0;; 5.0; 1.0;1.0;1.0;; 0.0;0.0;0.0;; } } }\n";
  Loaded loaded;
  Load("unused_material.x", unused, &loaded);
  ASSERT_EQ(loaded.result, gfx::S_OK) << loaded.Errors();
  EXPECT_EQ(loaded.materialCount, 2u);
  std::vector<float> vertices;
  std::vector<uint32_t> indices, first, count;
  ASSERT_TRUE(gfx::gl::ReadMeshData(loaded.mesh, &vertices, &indices, &first, &count));
  EXPECT_EQ(count, (std::vector<uint32_t>{0, 3}));
  EXPECT_EQ(loaded.mesh->DrawSubset(0), gfx::S_OK);
  const auto* m = static_cast<const gfx::Material*>(loaded.materials->GetBufferPointer());
  EXPECT_EQ(m[0].pTextureFilename, nullptr);
}

TEST_F(GlMeshTest, MissingFileFailsWithItsName) {
  Loaded loaded;
  LoadExisting(directory + "\\absent.x", &loaded);
  EXPECT_EQ(loaded.result, gfx::E_NOTFOUND);
  EXPECT_EQ(loaded.mesh, nullptr);
  EXPECT_EQ(loaded.materials, nullptr);
  EXPECT_NE(loaded.Errors().find("absent.x"), std::string::npos);
  EXPECT_NE(loaded.Errors().find("not found"), std::string::npos);
}

TEST_F(GlMeshTest, OutOfRangeIndicesAreRefusedNotDropped) {
  const std::string quad = kQuad;
  ExpectFailure("beyond.x", Replace(quad, "3;0,1,2;,", "3;0,1,70;,"), "refers to vertex 70");
  // One past the last vertex is the case the importer itself lets through.
  ExpectFailure("one_past.x", Replace(quad, "3;0,1,2;,", "3;0,1,5;,"), "refers to vertex 5");
  ExpectFailure("negative.x", Replace(quad, "3;0,1,2;,", "3;0,-1,2;,"), "refers to vertex -1");
  ExpectFailure("normal_index.x", Replace(quad, "3;0,0,0;, 3;0,0,0;", "3;0,0,0;, 3;0,4,0;"),
                "face 1 refers to normal 4, but the mesh has 1 normals");
  ExpectFailure("material_index.x", Replace(quad, "1,0,1;;", "1,2,1;;"),
                "face 1 uses material 2, but the list has 2 materials");
}

TEST_F(GlMeshTest, HugeCountsAreRefusedBeforeAnythingIsSizedByThem) {
  const std::string quad = kQuad;
  ExpectFailure("many_vertices.x", Replace(quad, "    5;\n", "    4000000000;\n"),
                "exceeds the data");
  ExpectFailure("many_faces.x", Replace(quad, "    3;\n", "    3000000000;\n"), "exceeds the data");
  ExpectFailure("many_corners.x", Replace(quad, "3;0,1,2;,", "2000000000;0,1,2;,"),
                "line 13: the corner count 2000000000 exceeds the data");
  std::string binary = BinaryQuad();
  const uint32_t huge = 0x7FFFFFFF;
  std::memcpy(&binary[16 + 2 + 4 + 4 + 2 + 4 + 4 + 2 + 2], &huge, 4);  // the first list's count
  ExpectFailure("huge_list.x", binary, "runs past the end");
}

TEST_F(GlMeshTest, MalformedFilesFailWithTheFault) {
  const std::string quad = kQuad;
  ExpectFailure("truncated.x", quad.substr(0, quad.size() / 2), "unexpected end of file");
  // A stray byte is named escaped, never copied raw into the message.
  ExpectFailure("garbage.x", "xof 0302txt 0032\n\x01\x02\x7f garbage",
                "unexpected character '\\x01'");
  ExpectFailure("garbage_high.x", "xof 0302txt 0032\n\xFF", "unexpected character '\\xFF'");
  ExpectFailure("garbage_ascii.x", "xof 0302txt 0032\n$", "unexpected character '$'");
  ExpectFailure("not_x.x", "PK\x03\x04 this is no mesh at all", "not a .x file");
  ExpectFailure("empty.x", "", "not a .x file");
  static const char kBadZip[] = "xof 0302tzip0032\x10\0\0\0\0\0\x08\0CKnotdeflate";
  ExpectFailure("bad_zip.x", std::string(kBadZip, sizeof kBadZip - 1), "corrupt");
  ExpectFailure("no_vertices.x", "xof 0303txt 0032\nMesh { 0;; 0;; }\n", "no vertices");
  ExpectFailure("no_mesh.x", "xof 0303txt 0032\nFrame f { }\n", "no mesh");
  ExpectFailure("nan.x", Replace(quad, "9.0;8.0;7.0", "nan;8.0;7.0"),
                "line 11: a number was expected in 'Mesh', found the name 'nan'");
  ExpectFailure("inf.x", Replace(quad, "9.0;8.0;7.0", "9.0;1e39;7.0"),
                "line 11: the number '1e39' in 'Mesh' is not a finite single-precision value");
  ExpectFailure("lone_name.x", "xof 0303txt 0032\n" + std::string(5000, 'a'), "'{' expected");
  std::string nested = "xof 0303txt 0032\n";
  for (int i = 0; i < 100; ++i) nested += "Frame {";
  ExpectFailure("nested.x", nested, "nested too deeply");
}

TEST_F(GlMeshTest, ShippedMeshesHaveTheCountsTheOverlayAssumes) {
  const std::string data = std::string(TOBRIN_SOURCE_DIR) + "/data/";
  FILE* probe = std::fopen((data + "modeli/sphere.x").c_str(), "rb");
  if (!probe) GTEST_SKIP() << "data/modeli/sphere.x has not been generated";
  std::fclose(probe);
  struct Case {
    const char* name;
    uint32_t vertices, faces;
  };
  for (const Case& c : {Case{"modeli\\sphere.x", 561, 960}, Case{"modeli\\chair.x", 3258, 4304}}) {
    Loaded loaded;
    LoadExisting(data + c.name, &loaded);
    ASSERT_EQ(loaded.result, gfx::S_OK) << loaded.Errors();
    EXPECT_EQ(loaded.mesh->GetNumVertices(), c.vertices) << c.name;
    EXPECT_EQ(loaded.mesh->GetNumFaces(), c.faces) << c.name;
    EXPECT_EQ(loaded.mesh->DrawSubset(0), gfx::S_OK);
  }
}

}  // namespace
