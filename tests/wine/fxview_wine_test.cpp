// tobrin-fxview.exe (TOBRIN_FXVIEW_EXE) under Wine: the Windows build of the effect viewer meets a
// user's mistakes as the Linux one does, with the same messages and statuses. Run by
// scripts/test-windows.sh, which provides DISPLAY and WINEPREFIX. Wine's own HLSL compiler builds
// no D3D9 effect, so a good effect ends as one that did not build, with the compiler's message,
// unless a working compiler DLL has been put beside the exe; then it must draw.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

const std::string kSource = TOBRIN_SOURCE_DIR;

struct Outcome {
  int status = -1;
  std::string out;  // standard output and standard error, without Wine's carriage returns
};

// From the source folder, where the default mesh is found.
Outcome Fxview(const std::string& arguments) {
  Outcome run;
  const char* exe = std::getenv("TOBRIN_FXVIEW_EXE");
  if (!exe) return run;
  const std::string command =
      "cd " + kSource + " && wine " + std::string(exe) + " " + arguments + " 2>&1";
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
      for (size_t i = 0; i < got; ++i)
        if (chunk[i] != '\r') run.out += chunk[i];
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  return run;
}

class FxviewWine : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("TOBRIN_FXVIEW_EXE")) GTEST_SKIP() << "TOBRIN_FXVIEW_EXE is not set";
    folder_ = fs::temp_directory_path() / ("tobrin-fxview-wine-" + std::to_string(getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    if (!folder_.empty()) fs::remove_all(folder_);
  }
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  fs::path folder_;
};

TEST_F(FxviewWine, ABrokenEffectEndsWithTheCompilersMessageAndStatusOne) {
  const std::string broken = Write("broken.fx", R"(float4 PS() : COLOR {
  return undeclared;
}
technique T { pass P { PixelShader = compile ps_2_0 PS(); } }
)");
  const Outcome run = Fxview("--out " + folder_.string() + "/out " + broken);
  EXPECT_EQ(run.status, 1) << run.out;
  const size_t ours = run.out.find(broken + ": error: the effect did not build (0x");
  ASSERT_NE(ours, std::string::npos) << run.out;
  // The compiler's own words come first, naming what is wrong.
  EXPECT_NE(run.out.substr(0, ours).find("undeclared"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("technique T"), std::string::npos) << run.out;
}

TEST_F(FxviewWine, AGoodEffectIsDrawnOrItsFailureCarriesTheCompilersMessage) {
  const std::string effect = kSource + "/tests/data/fx/dxsdk/BasicHLSL/BasicHLSL.fx";
  const std::string out = folder_.string() + "/out";
  const Outcome run = Fxview("--size 64 --out " + out + " " + effect);
  if (run.status == 1) {
    const size_t ours = run.out.find(effect + ": error: the effect did not build (0x");
    ASSERT_NE(ours, std::string::npos) << run.out;
    EXPECT_GT(ours, 0u) << "no message from the compiler:\n" << run.out;
    return;
  }
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find(effect + ": 4 of 4 techniques drawn"), std::string::npos) << run.out;
  EXPECT_TRUE(fs::is_regular_file(out + "/BasicHLSL-RenderSceneNoTexture.png"));
}

TEST_F(FxviewWine, UsageAndInputMistakesHaveTheirOwnStatuses) {
  const std::string good = kSource + "/data/Za_rad_2.fx";
  EXPECT_EQ(Fxview("").status, 2);
  EXPECT_EQ(Fxview("--size 8 " + good).status, 2);
  const Outcome missing = Fxview(folder_.string() + "/no_such.fx");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("no_such.fx: error: cannot open the effect file"), std::string::npos)
      << missing.out;
  const Outcome noMesh = Fxview("--mesh " + folder_.string() + "/none.x " + good);
  EXPECT_EQ(noMesh.status, 5);
  EXPECT_NE(noMesh.out.find("none.x: error: cannot open the mesh file"), std::string::npos)
      << noMesh.out;
  const std::string junk = Write("junk.x", "xof 0303txt 0032\nMesh { nonsense");
  const Outcome badMesh = Fxview("--mesh " + junk + " --out " + folder_.string() + " " + good);
  EXPECT_EQ(badMesh.status, 5);
  EXPECT_NE(badMesh.out.find("junk.x: error: cannot load the mesh"), std::string::npos)
      << badMesh.out;
}

}  // namespace
