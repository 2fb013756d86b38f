// A model of several meshes in nested, transformed frames put in place of the chair: the real
// program draws every part where its frames put it; a malformed one stops it with the error log.
#include "tests/e2e/program_fixture.hpp"

namespace {

using e2e::CountLit;
using e2e::ProgramTest;
using e2e::Project;

// A cube of half-size h with a normal per face (8 positions, so every corner splits three ways).
std::string Cube(const std::string& name, double h) {
  std::string out = "Mesh " + name + " { 8;\n";
  for (int i = 0; i < 8; ++i)
    out += std::to_string(i & 1 ? h : -h) + ";" + std::to_string(i & 2 ? h : -h) + ";" +
           std::to_string(i & 4 ? h : -h) + (i < 7 ? ";,\n" : ";;\n");
  out += "6; 4;0,2,3,1;, 4;4,5,7,6;, 4;0,1,5,4;, 4;2,6,7,3;, 4;0,4,6,2;, 4;1,3,7,5;;\n";
  out += "MeshNormals { 6; 0;0;-1;, 0;0;1;, 0;-1;0;, 0;1;0;, -1;0;0;, 1;0;0;;\n";
  out += "6; 4;0,0,0,0;, 4;1,1,1,1;, 4;2,2,2,2;, 4;3,3,3,3;, 4;4,4,4,4;, 4;5,5,5,5;; } }\n";
  return out;
}

// A: at the origin, top level. B: in a frame 3 to the right. C: in Inner (2 to the right) inside
// Outer (scale 2, then 4 up), so inner-first puts it at (4, 4), outer-first at (2, 4).
std::string Model() {
  return "xof 0303txt 0032\ntemplate Frame { <3D82AB46-62DA-11cf-AB39-0020AF71E433> [...] }\n" +
         Cube("A", 0.3) +
         "Frame Right { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 3,0,0,1;; }\n" +
         Cube("B", 0.3) +
         "}\nFrame Outer { FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 0,4,0,1;; }\n"
         " Frame Inner { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 2,0,0,1;; }\n" +
         Cube("C", 0.3) + "} }\n";
}

// The model names no texture, which a D3D9 effect samples as black, as the original platform
// does, and black would not show on the black background: this effect draws every mesh white.
constexpr char kWhiteEffect[] = R"(// Draws every mesh white, for the mesh-placement tests.
float4x4 matViewProjection;
float4x4 matWorld;
vertex_shader PlaceVS {
  void main() { gl_Position = matViewProjection * matWorld * vec4(inPosition, 1.0); }
}
fragment_shader WhiteFS {
  out vec4 colour;
  void main() { colour = vec4(1.0); }
}
technique ColorAnimation {
  pass P0 { VertexShader = PlaceVS; FragmentShader = WhiteFS; CullMode = None; }
}
)";

TEST_F(ProgramTest, AModelOfFramedMeshesDrawsEachPartWhereItsFramesPutIt) {
  std::ofstream(dir_ / "modeli" / "chair.x", std::ios::binary) << Model();
  std::ofstream(dir_ / "Za_rad_2.fx") << kWhiteEffect;
  ASSERT_NE(Launch(), 0u);
  Pause(2.0);
  const xdrv::Image image = Shot("framed-chair");
  ASSERT_EQ(image.width, 1024);
  // The left list's copy 0 stands at (-14, -10, 30) at full size.
  EXPECT_GT(CountLit(image, Project(-14, -10, 30), 4), 70) << "A, untransformed";
  EXPECT_GT(CountLit(image, Project(-11, -10, 30), 4), 70) << "B, moved right by its frame";
  EXPECT_GT(CountLit(image, Project(-10, -6, 30), 12), 550) << "C, inner frame first";
  EXPECT_EQ(CountLit(image, Project(-12, -6, 30), 4), 0) << "not where outer-first would put C";
  EXPECT_EQ(CountLit(image, Project(-12.5, -10, 30), 4), 0) << "nothing between A and B";
  xdrv::RequestClose(window_);
  EXPECT_EQ(WaitExit(), 0) << Log();
}

TEST_F(ProgramTest, AMalformedFramedModelEndsWithTheErrorLog) {
  std::string model = Model();
  model.replace(model.find("0,0,1,0, 2,0,0,1"), 16, "0,0,1,0, 2,0,0");  // a matrix cut short
  std::ofstream(dir_ / "modeli" / "chair.x", std::ios::binary) << model;
  process_ = xdrv::Start(TOBRIN_EXE, dir_.string(), (dir_ / "program.log").string());
  EXPECT_EQ(WaitExit(30), 255);
  const std::string log = Read(dir_ / "ERR_LOG.txt");
  EXPECT_EQ(
      log.rfind("Iznimka: Cannot load the mesh \"modeli\\chair.x\": modeli\\chair.x: line ", 0), 0u)
      << log;
  EXPECT_NE(log.find("a number was expected in 'FrameTransformMatrix'"), std::string::npos) << log;
}

}  // namespace
