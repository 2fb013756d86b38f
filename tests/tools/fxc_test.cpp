// tobrin-fxc as an effect author runs it: its exit statuses, its messages and what it writes.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "compiler/effect_binary.hpp"
#include "tests/tools/run_command.hpp"

namespace {

const std::string kSource = TOBRIN_SOURCE_DIR;

using tobrin_test::Outcome;

Outcome Fxc(const std::string& arguments) {
  return tobrin_test::RunCommand(std::string(TOBRIN_FXC) + " " + arguments);
}

std::string Temp(const std::string& name, const std::string& text) {
  const std::string path = testing::TempDir() + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(Fxc, AGoodEffectBuildsSilentlyAndListsWhatItDeclares) {
  const Outcome plain = Fxc(kSource + "/data/Za_rad_2.fx");
  EXPECT_EQ(plain.status, 0) << plain.out;
  EXPECT_EQ(plain.out, "");
  const Outcome list = Fxc("--list " + kSource + "/data/Za_rad_2.fx");
  EXPECT_EQ(list.status, 0) << list.out;
  for (const char* line :
       {"technique ColorAnimation\n", "technique VertexAnimation\n",
        "  pass P1:", "parameter matWorld: matrix 4x4\n", "sampler baseMap: texture inTexture\n"})
    EXPECT_NE(list.out.find(line), std::string::npos) << line << " in\n" << list.out;
}

TEST(Fxc, ErrorsArePlacedOnTheirLineAndTheStatusSaysWhichFailure) {
  const std::string broken = Temp("broken.fx", R"(float4 PS() : COLOR {
  return undeclared;
}
technique T { pass P { PixelShader = compile ps_2_0 PS(); } }
)");
  const Outcome run = Fxc(broken);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find(broken + "(2): error:"), std::string::npos) << run.out;
  const Outcome missing = Fxc(testing::TempDir() + "/no_such.fx");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("could not open the effect file"), std::string::npos) << missing.out;
  EXPECT_EQ(Fxc("").status, 2);
  EXPECT_EQ(Fxc("--frobnicate " + broken).status, 2);
  EXPECT_EQ(Fxc("--glsl").status, 2);  // a folder is missing, and so is the file
}

TEST(Fxc, WritesEachPassesGlslAndACompiledEffectThatReadsBack) {
  const std::string folder = testing::TempDir() + "/fxc_glsl";
  ASSERT_EQ(std::system(("rm -rf " + folder + " && mkdir -p " + folder).c_str()), 0);
  const std::string out = testing::TempDir() + "/scene.tfx";
  const Outcome run =
      Fxc("--glsl " + folder + " --out " + out + " " + kSource + "/data/Za_rad_2.fx");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NE(ReadAll(folder + "/VertexAnimation.P1.vert").find("void main()"), std::string::npos);
  EXPECT_NE(ReadAll(folder + "/ColorAnimation.P0.frag").find("#version 330"), std::string::npos);
  compiler::CompiledEffect read;
  std::string why;
  EXPECT_TRUE(compiler::ReadCompiledEffect(ReadAll(out), &read, &why)) << why;
  EXPECT_EQ(read.techniques.size(), 2u);
  const Outcome unwritable =
      Fxc("--out " + folder + "/no/such/dir/x.tfx " + kSource + "/data/Za_rad_2.fx");
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.out.find("cannot write"), std::string::npos) << unwritable.out;
}

TEST(Fxc, TheTestDrawFindsWhatOnlyTheDriverFinds) {
  // Our format's GLSL is the author's own: only a driver reads it.
  const std::string driverOnly = Temp("driver_only.fx", R"(float4x4 m;
vertex_shader vs { void main() { gl_Position = m * vec4(inPosition, 1.0); } }
fragment_shader fs { out vec4 c; void main() { c = vec4(no_such_variable); } }
technique T { pass P { VertexShader = vs; FragmentShader = fs; } }
)");
  EXPECT_EQ(Fxc(driverOnly).status, 0);
  const Outcome drawn = Fxc("--draw " + driverOnly);
  if (drawn.status == 3) GTEST_SKIP() << "no OpenGL 3.3 context here: " << drawn.out;
  EXPECT_EQ(drawn.status, 1) << drawn.out;
  EXPECT_NE(drawn.out.find(driverOnly + "(3): error"), std::string::npos) << drawn.out;
  const Outcome good = Fxc("--draw " + kSource + "/data/Za_rad_2.fx");
  EXPECT_EQ(good.status, 0) << good.out;
  EXPECT_NE(good.out.find("drew with 4 passes of 2 techniques"), std::string::npos) << good.out;
}

}  // namespace
