// The .x reader without GL. Real exporters' files (tests/data/x/, SOURCES.md) load with the counts
// their contents imply (counted apart from this reader); small hand-made files pin each rule:
// frames, hard edges, merging, templates, encodings; bad files fail with their place.
#include "formats/xfile.hpp"

#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

using formats::XModel;

namespace {

std::string ReadData(const std::string& name) {
  std::ifstream in(std::string(TOBRIN_SOURCE_DIR) + "/tests/data/x/" + name, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  EXPECT_FALSE(bytes.str().empty()) << name;
  return bytes.str();
}

XModel Load(const std::string& bytes) {
  XModel model;
  std::string error;
  EXPECT_TRUE(formats::ReadXFile(bytes, &model, &error)) << error;
  return model;
}

std::string Error(const std::string& bytes) {
  XModel model;
  std::string error;
  EXPECT_FALSE(formats::ReadXFile(bytes, &model, &error));
  return error;
}

// A literal with NUL bytes in it, whole.
template <size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

const float* Vertex(const XModel& m, uint32_t v) { return &m.vertices[size_t{v} * 8]; }

void ExpectVector(const float* got, float x, float y, float z, const char* what) {
  EXPECT_NEAR(got[0], x, 1e-5f) << what;
  EXPECT_NEAR(got[1], y, 1e-5f) << what;
  EXPECT_NEAR(got[2], z, 1e-5f) << what;
}

// Vertex and triangle counts as a separate count of the files gives them (vertices: the distinct
// (position, normal) pairs the faces use, plus positions no face uses; triangles: corners - 2 per
// face), and each material's share of the triangles from the files' face material lists.
TEST(XFileReal, ExportersFilesLoadWithTheCountsTheirContentsImply) {
  struct Case {
    const char* file;
    uint32_t vertices, triangles;
    std::vector<uint32_t> subsetTriangles;
    size_t materials;
  };
  const Case cases[] = {
      {"test_cube_text.x", 24, 12, {12}, 1},
      {"test_cube_binary.x", 24, 12, {12}, 1},
      {"test_cube_compressed.x", 24, 12, {12}, 1},
      {"kwxport_test_cubewithvcolors.x", 24, 12, {2, 2, 8}, 3},
      {"BCN_Epileptic.X", 1170 + 1196 + 648, 1966 + 2036 + 1124, {5126}, 0},
      {"fromtruespace_bin32.x", 4132, 6656, {6656}, 1},
      {"maya_cube.x", 24, 12, {12}, 1},
      {"malformed_skinweights_oob.x", 24, 12, {12}, 1},
  };
  for (const Case& c : cases) {
    const XModel m = Load(ReadData(c.file));
    EXPECT_EQ(m.VertexCount(), c.vertices) << c.file;
    EXPECT_EQ(m.indices.size(), size_t{c.triangles} * 3) << c.file;
    EXPECT_EQ(m.materials.size(), c.materials) << c.file;
    std::vector<uint32_t> shares;
    for (uint32_t count : m.subsetCount) shares.push_back(count / 3);
    EXPECT_EQ(shares, c.subsetTriangles) << c.file;
  }
}

TEST(XFileReal, TheThreeEncodingsOfOneCubeLoadAlike) {
  const XModel text = Load(ReadData("test_cube_text.x"));
  for (const char* other : {"test_cube_binary.x", "test_cube_compressed.x"}) {
    const XModel m = Load(ReadData(other));
    ASSERT_EQ(m.vertices.size(), text.vertices.size()) << other;
    for (size_t i = 0; i < m.vertices.size(); ++i)
      ASSERT_NEAR(m.vertices[i], text.vertices[i], 1e-6f) << other << " value " << i;
    EXPECT_EQ(m.indices, text.indices) << other;
    EXPECT_EQ(m.materials[0].power, text.materials[0].power) << other;
  }
}

TEST(XFileReal, FramesPlaceMeshesAndReferencesAndTextureNamesResolve) {
  // The cube's outer frame swaps y and z: vertex 0 (-1,-1,1) with normal (0,-1,0) in the file.
  const XModel cube = Load(ReadData("test_cube_text.x"));
  ExpectVector(Vertex(cube, 0), -1, 1, -1, "swapped position");
  ExpectVector(Vertex(cube, 0) + 3, 0, 0, -1, "swapped normal");
  // `{ Material }` is the top-level material of that name.
  EXPECT_NEAR(cube.materials[0].diffuse[0], 0.639216f, 1e-6f);
  EXPECT_NEAR(cube.materials[0].power, 96.07843f, 1e-4f);
  EXPECT_NEAR(cube.materials[0].specular[2], 0.498039f, 1e-6f);
  EXPECT_FALSE(cube.materials[0].hasTexture);
  // kW Xport's frame moves the box down by 0.492126; vertex 0 is (-0.492126, 0, -0.492126).
  const XModel box = Load(ReadData("kwxport_test_cubewithvcolors.x"));
  ExpectVector(Vertex(box, 0), -0.492126f, -0.492126f, -0.492126f, "translated position");
  ASSERT_TRUE(box.materials[1].hasTexture);
  EXPECT_EQ(box.materials[1].texture,
            "C:\\\\code\\\\sourceforge\\\\kwxport\\\\trunkMerged\\\\test\\\\data\\\\top.tga");
}

// Outer moves by (10,0,0); Inner maps x to 2y and y to -x, so the order of the product shows:
// (1,0,0) lands at (10,2,0) inner-first and at (0,22,0) outer-first. Its matrix comes after its
// mesh, and a sibling mesh of Inner is only translated.
const char* kFrames = R"(xof 0303txt 0032
Frame Outer {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 10,0,0,1;; }
  Frame Inner {
    Mesh inner { 3; 1;0;0;, 0;1;0;, 0;0;1;; 1; 3;0,1,2;;
      MeshNormals { 2; 1;0;0;, 0;1;0;; 1; 3;0,1,1;; } }
    FrameTransformMatrix { 0,2,0,0, -1,0,0,0, 0,0,1,0, 0,0,0,1;; }
  }
  Mesh sibling { 3; 1;0;0;, 0;1;0;, 0;0;1;; 1; 3;0,1,2;; }
}
Mesh top { 3; 1;0;0;, 0;1;0;, 0;0;1;; 1; 3;0,1,2;; }
)";

TEST(XFileFrames, NestedFramesApplyInnerFirstAndNormalsByTheInverseTranspose) {
  const XModel m = Load(kFrames);
  ASSERT_EQ(m.VertexCount(), 9u);
  ExpectVector(Vertex(m, 0), 10, 2, 0, "inner x");
  ExpectVector(Vertex(m, 1), 9, 0, 0, "inner y");
  ExpectVector(Vertex(m, 0) + 3, 0, 1, 0, "normal of a plane x = c becomes that of y = c");
  ExpectVector(Vertex(m, 1) + 3, -1, 0, 0, "normal (0,1,0), kept at unit length");
  ExpectVector(Vertex(m, 3), 11, 0, 0, "sibling: translated only");
  ExpectVector(Vertex(m, 6), 1, 0, 0, "top level: untouched");
  EXPECT_EQ(m.indices, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

// A cube of 8 positions whose 6 quads each give their corners the face's normal.
const char* kHardCube = R"(xof 0303txt 0032
Mesh cube { 8; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;, 0;0;1;, 1;0;1;, 1;1;1;, 0;1;1;;
  6; 4;0,3,2,1;, 4;4,5,6,7;, 4;0,1,5,4;, 4;2,3,7,6;, 4;0,4,7,3;, 4;1,2,6,5;;
  MeshNormals { 7; 0;0;-1;, 0;0;1;, 0;-1;0;, 0;1;0;, -1;0;0;, 1;0;0;, 1;0;0;;
    6; 4;0,0,0,0;, 4;1,1,1,1;, 4;2,2,2,2;, 4;3,3,3,3;, 4;4,4,4,4;, 4;5,6,5,6;; } }
)";

TEST(XFileNormals, APositionGetsAVertexForEachDistinctNormal) {
  const XModel m = Load(kHardCube);
  // Three faces meet at each corner: 24 vertices. Normals 5 and 6 are equal, so face 5 splits
  // nothing further.
  ASSERT_EQ(m.VertexCount(), 24u);
  ASSERT_EQ(m.indices.size(), 36u);
  const float faceNormal[6][3] = {{0, 0, -1}, {0, 0, 1},  {0, -1, 0},
                                  {0, 1, 0},  {-1, 0, 0}, {1, 0, 0}};
  for (size_t t = 0; t < 12; ++t)
    for (int c = 0; c < 3; ++c) {
      const float* n = Vertex(m, m.indices[t * 3 + c]) + 3;
      ExpectVector(n, faceNormal[t / 2][0], faceNormal[t / 2][1], faceNormal[t / 2][2], "corner");
    }
  // Each position keeps its own index for its first normal; copies follow.
  ExpectVector(Vertex(m, 6), 1, 1, 1, "position 6");
  EXPECT_EQ(m.indices[0], 0u);
}

TEST(XFileMerge, MeshesMergeWithMaterialsInFileOrderAndZerosForWhatIsMissing) {
  const std::string file = R"(xof 0303txt 0032
Material Blue { 0;0;1;1;; 2; 0;0;0;; 0;0;0;; TextureFilename { "b.bmp"; } }
Mesh a { 3; 0;0;0;, 1;0;0;, 0;1;0;; 2; 3;0,1,2;, 3;2,1,0;;
  MeshMaterialList { 2; 2; 1, 0;;
    Material { 1;0;0;1;; 1; 0;0;0;; 0;0;0;; } Material { 0;1;0;1;; 1; 0;0;0;; 0;0;0;; } } }
Mesh b { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }
Mesh c { 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;; 1; 4;0,1,2,3;;
  MeshTextureCoords { 4; 0;0;, 1;0;, 1;1;, 0;1;; }
  MeshMaterialList { 1; 1; 0;; { Blue } } }
)";
  const XModel m = Load(file);
  ASSERT_EQ(m.materials.size(), 4u);
  EXPECT_EQ(m.materials[0].diffuse[0], 1.0f);  // a's red
  EXPECT_EQ(m.materials[1].diffuse[1], 1.0f);  // a's green
  EXPECT_EQ(m.materials[2].diffuse[2], 1.0f);  // b has none: white of its own
  EXPECT_EQ(m.materials[2].diffuse[0], 1.0f);
  EXPECT_EQ(m.materials[3].texture, "b.bmp");  // c's reference
  EXPECT_EQ(m.subsetFirst, (std::vector<uint32_t>{0, 3, 6, 9}));
  EXPECT_EQ(m.subsetCount, (std::vector<uint32_t>{3, 3, 3, 6}));
  EXPECT_EQ(m.indices, (std::vector<uint32_t>{2, 1, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 6, 8, 9}));
  ExpectVector(Vertex(m, 3) + 3, 0, 0, 0, "no normals: zero");
  EXPECT_EQ(Vertex(m, 0)[6], 0.0f);  // no texture coordinates: zero
  EXPECT_EQ(Vertex(m, 8)[6], 1.0f);  // c's (1,1)
}

TEST(XFileStructure, TemplatesOfEveryFormAndUnusedObjectsAreSkippedWhole) {
  const std::string file = R"(xof 0302txt 0032
template Closed { <11111111-2222-3333-4444-555555555555> DWORD a; array FLOAT b[a]; }
template Open { < 3D82AB44-62DA-11CF-AB39-0020AF71E433 > [...] }
template Restricted { <aaaaaaaa-2222-3333-4444-555555555555> [Material <3D82AB4D-62DA-11cf-AB39-0020AF71E433>, Frame] }
template Bare { [Material] }
Header { 1; 0; 1; }
AnimationSet run { Animation { { Frame0 } AnimationKey { 4; 1; 0; 16; 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;;; } } }
Unknown { "a } in a string"; Nested { Deeper { 1; 2; } } { Reference } }
Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 3; 3;0,1,2;, 2;0,1;, 0;;;
  VertexDuplicationIndices { 3; 3; 0, 1, 2; }
  XSkinMeshHeader { 1; 1; 1; }
  SkinWeights { "Bone"; 1; 99; 1.0; 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; }
  FVFData { 258; 1; 7; }
  MeshFaceWraps { 1; 0; 0;; }
}
)";
  const XModel m = Load(file);
  EXPECT_EQ(m.VertexCount(), 3u);
  EXPECT_EQ(m.indices.size(), 3u);  // faces of two corners and of none draw nothing
}

// The quad in binary with 64-bit floats, then large text across several MSZIP blocks, each
// deflated against the one before it as the format requires.
TEST(XFileEncodings, BinaryDoublesAndMultiBlockCompressionRead) {
  std::string bin = "xof 0303bin 0064";
  auto word = [&](uint16_t w) { bin.append(reinterpret_cast<const char*>(&w), 2); };
  auto dword = [&](uint32_t d) { bin.append(reinterpret_cast<const char*>(&d), 4); };
  auto name = [&](const std::string& s) { word(1), dword(uint32_t(s.size())), bin += s; };
  name("Mesh"), word(10), word(6), dword(1), dword(3), word(7), dword(9);
  for (double d : {0.0, 0.0, 0.0, 1.5, 0.0, 0.0, 0.0, 2.5, 0.0})
    bin.append(reinterpret_cast<const char*>(&d), 8);
  word(6), dword(5), dword(1), dword(3), dword(0), dword(1), dword(2), word(11);
  const XModel doubles = Load(bin);
  ExpectVector(Vertex(doubles, 1), 1.5f, 0, 0, "double x");
  ExpectVector(Vertex(doubles, 2), 0, 2.5f, 0, "double y");

  std::string text = "Mesh big { 6000;\n";
  for (int v = 0; v < 6000; ++v)
    text += std::to_string(v) + ".0;0.25;-1.0;" + (v < 5999 ? ",\n" : ";\n");
  text += "1; 3;0,5998,5999;; }\n";
  std::string packed = "xof 0303tzip0032";
  const uint32_t total = static_cast<uint32_t>(text.size() + 16);
  packed.append(reinterpret_cast<const char*>(&total), 4);
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  int blocks = 0;
  for (size_t at = 0; at < text.size(); at += 32768, ++blocks) {
    const size_t plain = std::min<size_t>(32768, text.size() - at);
    if (at) {
      deflateReset(&z);
      deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(&text[at - 32768]), 32768);
    }
    unsigned char out[40000];
    z.next_in = reinterpret_cast<Bytef*>(&text[at]);
    z.avail_in = static_cast<uInt>(plain);
    z.next_out = out;
    z.avail_out = sizeof out;
    deflate(&z, Z_FINISH);
    const uint16_t sizes[2] = {uint16_t(plain), uint16_t(sizeof out - z.avail_out + 2)};
    packed.append(reinterpret_cast<const char*>(sizes), 4);
    packed += "CK";
    packed.append(reinterpret_cast<const char*>(out), sizeof out - z.avail_out);
  }
  deflateEnd(&z);
  ASSERT_GT(blocks, 2);
  const XModel big = Load(packed);
  ASSERT_EQ(big.VertexCount(), 6000u);
  ExpectVector(Vertex(big, 5999), 5999, 0.25f, -1, "last vertex, in the last block");
}

const std::string kTri =
    "xof 0303txt 0032\nMesh {\n 3;\n 0;0;0;, 1;0;0;, 0;1;0;;\n 1;\n 3;0,1,2;;\n}\n";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(XFileErrors, EachFaultIsNamedWithItsLineOrByte) {
  struct Case {
    std::string bytes;
    const char* error;
  };
  const Case cases[] = {
      {"", "not a .x file (no \"xof \" header)"},
      {"xof 0303txt 0016\n", "unsupported float size '0016'"},
      {"xof 0303xml 0032\n", "unsupported .x encoding 'xml '"},
      {kTri.substr(0, 46), "line 4: unexpected end of file inside 'Mesh'"},
      {kTri.substr(0, kTri.size() - 10), "line 6: the corner count 3 exceeds the data"},
      {Replace(kTri, "3;0,1,2", "3;0,1,3"),
       "line 6: face 0 refers to vertex 3, but the mesh has 3"},
      {Replace(kTri, "3;0,1,2", "3;0,-1,2"), "line 6: face 0 refers to vertex -1"},
      {Replace(kTri, "1;0;0;,", "1;0;$;,"), "line 4: unexpected character '$'"},
      {Replace(kTri, "1;0;0;,", "1;\xff;0;,"), "line 4: unexpected character '\\xFF'"},
      {Replace(kTri, " 3;\n", " 4000000000;\n"),
       "line 3: the vertex count 4000000000 exceeds the data"},
      {Replace(kTri, " 1;\n", " 99;\n"), "line 5: the face count 99 exceeds the data"},
      {Replace(kTri, "1;0;0;,", "1e39;0;0;,"),
       "line 4: the number '1e39' in 'Mesh' is not a finite"},
      {Replace(kTri, "1;0;0;,", "nan;0;0;,"),
       "line 4: a number was expected in 'Mesh', found the name 'nan'"},
      {Replace(kTri, "}", "3.5; }"), "line 7: 'Mesh' holds more values than its counts announce"},
      {Replace(kTri, "}", "MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,0;; } }"),
       "line 7: the normals list 2 faces for the mesh's 1"},
      {Replace(kTri, "}", "MeshNormals { 1; 0;0;1;; 1; 3;0,1,0;; } }"),
       "line 7: face 0 refers to normal 1, but the mesh has 1 normals"},
      {Replace(kTri, "}", "MeshTextureCoords { 2; 0;0;, 1;1;; } }"),
       "line 7: the mesh has 3 vertices but 2 texture coordinates"},
      {Replace(kTri, "}", "MeshMaterialList { 1; 1; 1;; { Nowhere } } }"),
       "line 7: face 0 uses material 1, but the list has 1 materials"},
      {Replace(kTri, "}", "MeshMaterialList { 1; 1; 0;;\n { Nowhere } } }"),
       "line 8: the material list refers to an unknown material 'Nowhere'"},
      {Replace(kTri, "}", "MeshMaterialList { 2; 1; 0;; { Nowhere } } }"),
       "line 7: the material list announces 2 materials and holds 1"},
      {"xof 0303txt 0032\nFrame { }\n", "the file holds no mesh"},
      {"xof 0303txt 0032\nMesh { 0;; 0;; }\n", "the file's meshes have no vertices"},
      {"xof 0303txt 0032\ntemplate T { [...]\n", "line 3: unexpected end of file inside 'T'"},
      {Bytes("xof 0303bin 0032\x01\0\x04\0\0\0Mesh\x0a\0\x06\0\xff\xff\xff\x7f"),
       "at byte 28: list of 2147483647 values runs past the end of the file"},
      {Bytes("xof 0303bin 0032\x01\0\x04\0\0\0Mesh\x63\0"), "at byte 26: unknown binary token 99"},
      {Bytes("xof 0302tzip0032\x10\0\0\0\0\0\x08\0CKnotdeflate"), "compressed data is corrupt"},
  };
  for (const Case& c : cases) {
    const std::string error = Error(c.bytes);
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
  }
  // A text number below double's range is zero, not an error.
  ExpectVector(Vertex(Load(Replace(kTri, "1;0;0;,", "1;1e-400;0;,")), 1), 1, 0, 0, "underflow");
  std::string nested = "xof 0303txt 0032\n";
  for (int i = 0; i < 100; ++i) nested += "Frame {";
  EXPECT_EQ(Error(nested), "line 2: data objects nested too deeply");
}

// Files built to cost the most per byte must still cost time and memory in proportion: one
// position with a new normal at each of 200000 corners, and a binary file of empty lists.
TEST(XFileErrors, HostileShapesStayLinear) {
  std::string many = "xof 0303txt 0032\nMesh { 1; 0;0;0;; 100000; ";
  for (int f = 0; f < 100000; ++f) many += "3;0,0,0;,";
  many += ";\nMeshNormals { 200000; ";
  for (int n = 0; n < 200000; ++n) many += "1;" + std::to_string(n) + ";0;,";
  many += "; 100000; ";
  for (int f = 0; f < 100000; ++f)
    many += "3;" + std::to_string(2 * f) + "," + std::to_string(2 * f + 1) + ",0;,";
  many += "; } }\n";
  const auto start = std::chrono::steady_clock::now();
  const XModel m = Load(many);
  EXPECT_EQ(m.VertexCount(), 200000u);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);

  std::string lists = "xof 0303bin 0032";
  for (int i = 0; i < 1000000; ++i) lists += std::string("\x06\0\0\0\0\0", 6);
  EXPECT_EQ(Error(lists), "the file holds no mesh");
}

// Damaged copies of real files of every encoding load as a consistent mesh or fail with a place.
TEST(XFileErrors, RandomlyDamagedRealFilesLoadConsistentlyOrFailCleanly) {
  uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  int failures = 0;
  for (const char* file : {"test_cube_text.x", "test_cube_binary.x", "test_cube_compressed.x",
                           "kwxport_test_cubewithvcolors.x"}) {
    const std::string original = ReadData(file);
    for (int round = 0; round < 200; ++round) {
      std::string damaged = original;
      for (int hits = 1 + next() % 4; hits > 0; --hits)
        damaged[16 + next() % (damaged.size() - 16)] = static_cast<char>(next() >> 24);
      XModel m;
      std::string error;
      if (!formats::ReadXFile(damaged, &m, &error)) {
        ++failures;
        EXPECT_FALSE(error.empty());
        continue;
      }
      for (uint32_t index : m.indices) ASSERT_LT(index, m.VertexCount()) << file;
    }
  }
  EXPECT_GT(failures, 0);
}

}  // namespace
