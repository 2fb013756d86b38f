// The checking child's translations, as the program takes them back: whole, for the very request
// compiled, and not at all when the answer is cut short.
#include "render/gfx/gl/hlsl_handover.hpp"

#include <gtest/gtest.h>

namespace {

using namespace gfx::gl;

HlslStageCode Code() {
  HlslStageCode c;
  c.glsl = "#version 330\nvoid main() {}\n";
  c.blockName = "tobrin_ps_globals";
  c.blockSize = 80;
  c.readsVpos = true;
  c.members = {{"matWorld", HlslScalar::Float, 4, 4, 0, 0, 0, 16, 4},
               {"flags", HlslScalar::Bool, 1, 1, 3, 64, 16, 0, 0}};
  c.samplers = {{"env", 2, HlslSamplerKind::Cube}};
  c.defaultInputs = {{"TANGENT0", 5}};
  return c;
}

TEST(HlslHandover, TheChildsStagesComeBackWholeForTheirOwnRequestOnly) {
  const std::string text = "float4 main() : COLOR0 { return 1; }", other = text + " ";
  HlslRequest request;
  request.stage = HlslStage::Pixel;
  request.source = &text;
  request.entry = "main";
  request.blockName = "tobrin_ps_globals";
  RecordTranslations();
  KeepTranslation(request, Code());
  const std::string answer = RecordedTranslations();

  ASSERT_TRUE(TakeTranslations(answer));
  HlslStageCode got;
  ASSERT_TRUE(FindTranslation(request, &got));
  const HlslStageCode want = Code();
  EXPECT_EQ(got.glsl, want.glsl);
  EXPECT_EQ(got.blockName, want.blockName);
  EXPECT_EQ(got.blockSize, 80u);
  EXPECT_TRUE(got.readsVpos);
  ASSERT_EQ(got.members.size(), 2u);
  EXPECT_EQ(got.members[1].name, "flags");
  EXPECT_EQ(got.members[1].scalar, HlslScalar::Bool);
  EXPECT_EQ(got.members[1].elements, 3u);
  EXPECT_EQ(got.members[1].arrayStride, 16u);
  EXPECT_EQ(got.members[0].rowStride, 16u);
  ASSERT_EQ(got.samplers.size(), 1u);
  EXPECT_EQ(got.samplers[0].unit, 2u);
  EXPECT_EQ(got.samplers[0].kind, HlslSamplerKind::Cube);
  ASSERT_EQ(got.defaultInputs.size(), 1u);
  EXPECT_EQ(got.defaultInputs[0].semantic, "TANGENT0");
  EXPECT_EQ(got.defaultInputs[0].location, 5u);

  // The file changed in between, or another entry or stage: compiled anew, not taken.
  HlslRequest changed = request;
  changed.source = &other;
  EXPECT_FALSE(FindTranslation(changed, &got));
  changed = request;
  changed.stage = HlslStage::Vertex;
  EXPECT_FALSE(FindTranslation(changed, &got));

  // Cut anywhere, or with bytes after it, the answer gives nothing.
  for (const size_t size : {answer.size() - 1, answer.size() / 2, size_t{3}}) {
    EXPECT_FALSE(TakeTranslations(answer.substr(0, size))) << size;
    EXPECT_FALSE(FindTranslation(request, &got)) << size;
  }
  EXPECT_FALSE(TakeTranslations(answer + "x"));
  ASSERT_TRUE(TakeTranslations(answer));
  ForgetTranslations();
  EXPECT_FALSE(FindTranslation(request, &got));
}

}  // namespace
