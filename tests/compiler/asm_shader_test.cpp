// Shader assembly to HLSL (compiler/asm_shader.cpp): programs of every shader model translate and
// then compile through the HLSL chain, and what is not translated is refused at its line.
#include "compiler/asm_shader.hpp"

#include <gtest/gtest.h>

#include <string>

#include "formats/fx_effect.hpp"

namespace {

using namespace compiler;

struct Result {
  bool translated = false, compiled = false;
  int line = -1;
  std::string message, log;
  AsmShader shader;
  HlslStageCode code;
};

// Every sampler register reads the effect sampler "tex<N>", 2D.
Result Translate(const std::string& text, bool pixel, std::vector<AsmConstant> constants = {}) {
  Result r;
  AsmRequest request;
  request.text = &text;
  request.pixel = pixel;
  request.constants = std::move(constants);
  request.sampler = [](uint32_t reg, std::string* name, HlslSamplerKind* kind) {
    if (reg > 3) return false;
    *name = "tex" + std::to_string(reg);
    *kind = HlslSamplerKind::Tex2D;
    return true;
  };
  r.translated = TranslateAsmShader(request, &r.shader, &r.line, &r.message);
  if (!r.translated) return r;
  HlslRequest hlsl;
  hlsl.stage = pixel ? HlslStage::Pixel : HlslStage::Vertex;
  hlsl.source = &r.shader.hlsl;
  hlsl.entry = kAsmEntry;
  hlsl.blockName = pixel ? "ps_block" : "vs_block";
  hlsl.samplerUnit = [](const std::string& name) {
    return name.rfind("tex", 0) == 0 ? std::atoi(name.c_str() + 3) : -1;
  };
  r.compiled = CompileHlslStage(hlsl, &r.code, &r.log);
  return r;
}

const HlslMember* Constants(const Result& r, const char* name) {
  for (const HlslMember& m : r.code.members)
    if (m.name == name) return &m;
  return nullptr;
}

#define EXPECT_COMPILES(r)                                           \
  do {                                                               \
    ASSERT_TRUE((r).translated) << (r).line << ": " << (r).message;  \
    EXPECT_TRUE((r).compiled) << (r).log << "\n" << (r).shader.hlsl; \
  } while (0)

TEST(AsmShader, VersionWordsNameTheProfile) {
  EXPECT_EQ(formats::FxAsmProfile("\n  vs.1.1\n mov oPos, v0"), "vs_1_1");
  EXPECT_EQ(formats::FxAsmProfile("// lit\nPS_1_4"), "ps_1_4");
  EXPECT_EQ(formats::FxAsmProfile("ps_2_x"), "ps_2_x");
  EXPECT_EQ(formats::FxAsmProfile("vs_1_0"), "");
  EXPECT_EQ(formats::FxAsmProfile("ps_4_0"), "");
  EXPECT_EQ(formats::FxAsmProfile("mov r0, v0"), "");
}

TEST(AsmShader, VertexShadersOfEveryModelCompile) {
  const Result v11 = Translate(R"(vs.1.1
    dcl_position v0
    dcl_normal v1
    dcl_texcoord0 v2
    def c90, 0.5, 2, -1, 1e-3
    m4x4 oPos, v0, c0        // transform
    dp3 r0.x, v1, c4
    max r0.x, r0.x, c90.x
    mov a0.x, c5.x
    mad oD0, r0.x, c[a0.x + 10], c6
    rcp r1.w, v0.w
    rsq r1.y, c90.y
    expp r2, v0.x
    logp r3, v0.y
    lit r4, r0
    dst r5, r4, r3
    slt r6, v0, c90
    sge r7, v0, -c90
    frc r8.xy, v2
    m3x3 r9.xyz, v1, c4
    m4x3 r10.xyz, v0, c0
    m3x2 r11.xy, v1, c4
    add r9, r9, r10
    mul oT0, v2, r8
    mov oT1, r9
    mov oFog, r1.w
    exp r0, r5.z
    log r1, r0.x
    ; min and max
    min oT2, r0, r1
    mov oT3, r2
    mov oT4, r3
    mov oD1, r7
    mov oT5, r6
    mov oT6, r11
  )",
                               false);
  EXPECT_COMPILES(v11);
  EXPECT_EQ(v11.shader.profile, "vs_1_1");
  // Relative addressing reads the whole register file.
  const HlslMember* vc = Constants(v11, kAsmVertexConstants);
  ASSERT_NE(vc, nullptr);
  EXPECT_EQ(vc->elements, 256u);
  EXPECT_EQ(vc->arrayStride, 16u);

  const Result v20 = Translate(R"(vs_2_0
    dcl_position v0
    dcl_color v1
    defi i0, 3, 0, 1, 0
    defi i1, 2, 0, 0, 0
    defb b0, true
    def c10, 0, 0, 0, 0
    mova a0.x, v1.x
    mov r0, c[a0.x]
    loop aL, i0
      add r0, r0, c[aL + 20]
      rep i1
        add r0.x, r0.x, c10.x
        break_gt r0.x, c10.y
      endrep
    endloop
    if b0
      sincos r1.xy, r0.x, c11, c12
    else
      nrm r1, r0
    endif
    if_lt r0.y, c10.x
      crs r2.xyz, r0, r1
    endif
    pow r3, r0.x, c13.y
    abs r4, -r3
    sgn r5, r4, r6, r7
    m4x4 oPos, v0, c0
    add oD0, r2, r5
    mov oT0, r1
  )",
                               false);
  EXPECT_COMPILES(v20);

  const Result v30 = Translate(R"(vs_3_0
    dcl_position v0
    dcl_texcoord0 v1.xy
    dcl_texcoord1 v1.zw
    dcl_position o0
    dcl_texcoord0 o1.xy
    dcl_texcoord1 o2
    dcl_color0 o3
    m4x4 o0, v0, c0
    mov o1.xy, v1
    mov o2, v1.zwzw
    mov o3, c4
  )",
                               false);
  EXPECT_COMPILES(v30);
  const HlslMember* vc30 = Constants(v30, kAsmVertexConstants);
  ASSERT_NE(vc30, nullptr);
  EXPECT_EQ(vc30->elements, 5u);  // c0 to c4
}

TEST(AsmShader, PixelShadersOfEveryModelCompile) {
  const Result p11 = Translate(R"(ps.1.1
    def c7, 1.0, 0.5, 0.25, 1.0
    tex t0
    tex t1
    texcoord t2
    texkill t3
    texreg2ar t3, t0
    mul r0.rgb, t0, v0
    +add r0.a, t1.b, v1.a
    mad_x2 r1, t0_bx2, 1-t1, -c7
    dp3_sat r1.rgb, t2_bias, r1
    lrp r0, c0, r0, t3
    cnd r0, r0.a, r0, r1_x2
  )",
                               true);
  EXPECT_COMPILES(p11);
  EXPECT_EQ(p11.code.samplers.size(), 3u);  // stages 0, 1 and 3

  const Result p14 = Translate(R"(ps_1_4
    texld r0, t0
    texcrd r1.rgb, t1_dw.xyw
    phase
    texld r2, r0
    cmp_sat r0, r1, r2, c0
    mul_x4 r0, r0, v0
  )",
                               true);
  EXPECT_COMPILES(p14);

  const Result p20 = Translate(R"(ps_2_0
    dcl t0.xy
    dcl_pp t1
    dcl v0
    dcl_2d s0
    dcl_2d s1
    def c3, 0.5, 0.5, 0.5, 1
    texld r0, t0, s0
    texldp r1, t1, s1
    texldb_pp r2, t1, s0
    texkill r2
    dp2add r3, r0, c0, c3.x
    cmp r0, -r3, r1, r0
    mad_sat oC0, r0, v0, c1
  )",
                               true);
  EXPECT_COMPILES(p20);

  const Result p30 = Translate(R"(ps_3_0
    dcl_texcoord0 v0.xy
    dcl_color0 v1
    dcl vPos.xy
    dcl vFace
    dcl_cube s2
    dcl_2d s0
    texldl r0, v0, s0
    texldd r1, v0, s0, c0, c1
    dsx r2, v0
    dsy r3, v0
    texld r4, r2, s2
    cmp r5, vFace, r4, r0
    add oC0, r5, v1
    mov oC1, vPos
    mov oDepth, r1.x
  )",
                               true);
  EXPECT_COMPILES(p30);
  ASSERT_EQ(p30.code.samplers.size(), 2u);
  EXPECT_TRUE(p30.code.readsVpos);
}

TEST(AsmShader, ShaderConstantLiteralsAndDefsAreWrittenIntoTheCode) {
  // c1 is given by the pass and c2 by the shader, so only c0 is left for the block to fill.
  const Result r = Translate(
      "vs_2_0\ndcl_position v0\ndef c2, 1, 1, 1, 1\n"
      "add r0, c0, c1\nadd oPos, r0, c2\n",
      false, {{1, {0.25f, 0, 0, 1}}});
  EXPECT_COMPILES(r);
  const HlslMember* vc = Constants(r, kAsmVertexConstants);
  ASSERT_NE(vc, nullptr);
  EXPECT_EQ(vc->elements, 1u);
  // A shader with no constant registers read has no block at all.
  const Result none = Translate("ps_2_0\ndef c0, 1, 0, 0, 1\nmov oC0, c0\n", true);
  EXPECT_COMPILES(none);
  EXPECT_TRUE(none.code.blockName.empty());
}

// Each refusal names the line of the block where its construct is.
TEST(AsmShader, UnsupportedConstructsAreRefusedAtTheirLine) {
  struct Case {
    const char* text;
    bool pixel;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"ps_1_1\ntex t0\ntexm3x3spec t1, t0, c0\n", true, 2,
       "assembly instruction 'texm3x3spec' is not supported"},
      {"ps_1_1\ntex t0\ntexm3x2tex t1, t0\n", true, 2, "texm3x2tex follows no pad instruction"},
      {"ps_2_0\ndcl t0\ntexbem t1, t0\n", true, 2,
       "assembly instruction 'texbem' is not supported here"},
      {"vs_2_0\ndcl_position v0\n\ncall l0\n", false, 3,
       "assembly instruction 'call' is not supported"},
      {"vs_1_1\ndcl_position v0\nmov oPos, p0\n", false, 2, "assembly register 'p0' is not"},
      {"vs_1_1\ndcl_position v0\nmov oPos, v0_foo\n", false, 2, "assembly modifier '_foo'"},
      {"vs_1_1\nmov_x9 oPos, v0\n", false, 1, "assembly modifier '_x9'"},
      {"vs_1_1\ndcl_position v0\nmov oPos, v1\n", false, 2, "v1 has no dcl"},
      {"vs_1_1\nmov oPos, c256\n", false, 1, "assembly register 'c256' is not supported"},
      {"ps_2_0\nmov oC0, c40\n", true, 1, "assembly register 'c40'"},
      {"vs_2_0\ndefi i0, 1, 0, 0, 0\nrep i0\nmov oPos, c0\n", false, 2, "never closed"},
      {"vs_2_0\nendif\n", false, 1, "closes no if"},
      {"vs_2_0\nbreak\n", false, 1, "break outside a loop"},
      {"ps_2_0\ntexld r0, t0, s7\n", true, 1, "s7 reads no sampler"},
      {"ps_2_0\nmov oC0, c0\n", false, 0, "pixel shader assembly is bound as the vertex"},
      {"vs_1_0\nmov oPos, c0\n", false, 0, "starts with its version"},
      {"vs_1_1\nmov oPos, c0 'quote\n", false, 1, "unexpected character"},
      {"vs_1_1\ndef c0, 1e39, 0, 0, 0\n", false, 1, "out of range"},
      {"vs_3_0\ndcl_position v0\nmov o3, v0\n", false, 0, "o3 has no dcl"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Result r = Translate(c.text, c.pixel);
    ASSERT_FALSE(r.translated);
    EXPECT_EQ(r.line, c.line);
    EXPECT_NE(r.message.find(c.message), std::string::npos) << r.message;
  }
}

TEST(AsmShader, HostileBlocksStopAtTheirLimits) {
  std::string longProgram = "vs_2_0\n";
  for (size_t i = 0; i <= kMaxAsmInstructions; ++i) longProgram += "add r0, r0, c0\n";
  const Result tooLong = Translate(longProgram, false);
  EXPECT_FALSE(tooLong.translated);
  EXPECT_NE(tooLong.message.find("more than"), std::string::npos) << tooLong.message;

  std::string deep = "vs_2_0\ndefb b0, true\n";
  for (int i = 0; i <= kMaxAsmNesting; ++i) deep += "if b0\n";
  const Result tooDeep = Translate(deep, false);
  EXPECT_FALSE(tooDeep.translated);
  EXPECT_NE(tooDeep.message.find("nest too deep"), std::string::npos) << tooDeep.message;

  // A loop count beyond the hardware's is cut to it, so no draw runs for long.
  const Result big = Translate(
      "vs_2_0\ndcl_position v0\ndefi i0, 100000, 0, 1, 0\nrep i0\nadd r0, r0, c0\nendrep\n"
      "mov oPos, r0\n",
      false);
  EXPECT_COMPILES(big);
  EXPECT_NE(big.shader.hlsl.find("< " + std::to_string(kMaxAsmLoopCount) + ";"), std::string::npos);
  EXPECT_EQ(big.shader.hlsl.find("100000"), std::string::npos);
}

}  // namespace
