// The effect build check on a real driver: effects that crash the driver's compiler, never finish
// their first draw, or blow up in the preprocessor end as effect errors within the budget, and
// the process that asked is unharmed.
#include "render/gfx/gl/effect_check.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "render/gfx/gfx.hpp"
#include "tests/gl/gl_context.hpp"

namespace {

using Clock = std::chrono::steady_clock;

// One technique whose fragment stage is `fragment` (a GLSL main body and what it needs).
std::string Effect(const std::string& fragment) {
  return "float kAmbient = 0.5;\n"
         "vertex_shader VS {\n"
         "  void main() { gl_Position = vec4(inPosition, 1.0); }\n"
         "}\n"
         "fragment_shader FS {\n" +
         fragment +
         "}\n"
         "technique T { pass P0 { VertexShader = VS; FragmentShader = FS; } }\n";
}

struct Outcome {
  gfx::HRESULT result;
  std::string errors;
  double seconds;
};

// relative: the file is named from inside its folder, as the program names its effect.
Outcome Build(const std::string& name, const std::string& text, bool relative = false) {
  char pattern[] = "/tmp/effect_check_test_XXXXXX";
  const std::string dir = mkdtemp(pattern);
  char caller[4096];
  if (relative && (!getcwd(caller, sizeof caller) || chdir(dir.c_str()) != 0)) return {};
  const std::string path = relative ? name : dir + "/" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
  const Clock::time_point start = Clock::now();
  gfx::Effect* effect = nullptr;
  gfx::Buffer* errors = nullptr;
  Outcome out{gfx::CreateEffectFromFile(nullptr, path.c_str(), nullptr, nullptr, 0, nullptr,
                                        &effect, &errors),
              "", 0};
  out.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (errors) {
    out.errors = static_cast<const char*>(errors->GetBufferPointer());
    errors->Release();
  }
  if (effect) effect->Release();
  std::remove(path.c_str());
  if (relative && chdir(caller) != 0) ADD_FAILURE() << "cannot return to " << caller;
  rmdir(dir.c_str());
  return out;
}

class EffectCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_GL_CONTEXT();
    gfx::gl::SetEffectCheckBudget(3.0, uint64_t{2} << 30);
  }
  void TearDown() override { gfx::gl::SetEffectCheckBudget(10.0, uint64_t{2} << 30); }
};

// 25,000 terms: the driver's recursive compiler overflows its stack.
TEST_F(EffectCheck, ACompilerCrashIsAnErrorNamingTheSignal) {
  std::string sum = "a";
  for (int i = 1; i < 25000; ++i) sum += "+a";
  const Outcome out =
      Build("deep.fx",
            Effect("out vec4 c; void main() { float a = kAmbient; c = vec4(" + sum + "); }\n"));
  EXPECT_TRUE(gfx::Failed(out.result));
  EXPECT_NE(out.errors.find("deep.fx: error: the shader compiler crashed on this effect (signal"),
            std::string::npos)
      << out.errors;
  EXPECT_LT(out.seconds, 3.5);
}

// A checker started ahead opens the file from the caller's folder, as it is when the check comes,
// and keeps to the budget set after it started: its error points into the file by the name given.
TEST_F(EffectCheck, ACheckerStartedAheadBuildsWhatTheCallerNamesWhereTheCallerIs) {
  gfx::gl::StartEffectCheckAhead();
  gfx::gl::SetEffectCheckBudget(2.0, uint64_t{2} << 30);
  const Outcome broken =
      Build("broken.fx", Effect("out vec4 c; void main() { c = vec4(kAmbient) }\n"), true);
  EXPECT_TRUE(gfx::Failed(broken.result));
  EXPECT_EQ(broken.errors.rfind("broken.fx(6): error", 0), 0u) << broken.errors;

  gfx::gl::StartEffectCheckAhead();
  const Outcome fine =
      Build("fine.fx", Effect("out vec4 c; void main() { c = vec4(kAmbient); }\n"), true);
  EXPECT_EQ(fine.result, gfx::S_OK) << fine.errors;
}

// 100 loops in a row compile and link; llvmpipe's first draw with them does not come back.
TEST_F(EffectCheck, ADrawThatNeverReturnsEndsAtTheTimeBudget) {
  std::string body = "out vec4 c; void main() { float a = kAmbient;\n";
  for (int i = 0; i < 100; ++i)
    body += "  for (int i" + std::to_string(i) + " = 0; i" + std::to_string(i) + " < 1000; ++i" +
            std::to_string(i) + ") a = a * 0.999 + 0.001;\n";
  body += "  c = vec4(a); }\n";
  const Outcome out = Build("loops.fx", Effect(body));
  EXPECT_TRUE(gfx::Failed(out.result));
  // Either the driver gives up or the budget ends it; it must not take longer than the budget.
  EXPECT_LT(out.seconds, 4.0);
  EXPECT_NE(out.errors.find("loops.fx: error: building the effect took longer than 3 s"),
            std::string::npos)
      << out.errors;
}

// Each #define doubles the one before: the preprocessor's output grows as 2^20.
TEST_F(EffectCheck, APreprocessorBombEndsWithinTheBudget) {
  std::string body = "#define D0 a\n";
  for (int i = 1; i <= 20; ++i)
    body += "#define D" + std::to_string(i) + " (D" + std::to_string(i - 1) + "+D" +
            std::to_string(i - 1) + ")\n";
  body += "out vec4 c; void main() { float a = kAmbient; c = vec4(D20); }\n";
  const Outcome out = Build("bomb.fx", Effect(body));
  EXPECT_TRUE(gfx::Failed(out.result));
  EXPECT_NE(out.errors.find("bomb.fx: error: "), std::string::npos) << out.errors;
  EXPECT_LT(out.seconds, 4.0);
}

// A common block of 600 KiB in each of 32 stages: refused before the driver sees any of it.
TEST_F(EffectCheck, CodeRepeatedIntoEveryStageIsBounded) {
  std::string text = "glsl common {\n";
  for (int i = 0; i < 10000; ++i) text += "// " + std::string(58, 'x') + "\n";
  text += "}\n";
  for (int i = 0; i < 16; ++i) {
    const std::string n = std::to_string(i);
    text += "vertex_shader V" + n + " {\n  void main() { gl_Position = vec4(" + n + ".0); }\n}\n";
    text +=
        "fragment_shader F" + n + " {\n  out vec4 c; void main() { c = vec4(" + n + ".0); }\n}\n";
  }
  text += "technique T {\n";
  for (int i = 0; i < 16; ++i)
    text += "  pass P" + std::to_string(i) + " { VertexShader = V" + std::to_string(i) +
            "; FragmentShader = F" + std::to_string(i) + "; }\n";
  text += "}\n";
  const Outcome out = Build("wide.fx", text);
  EXPECT_TRUE(gfx::Failed(out.result));
  EXPECT_NE(out.errors.find("generated shader text would exceed"), std::string::npos) << out.errors;
  EXPECT_LT(out.seconds, 2.0);
}

}  // namespace
