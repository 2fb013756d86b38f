// tobrin-fxview as an effect author runs it: what the pictures show when parameters are bound by
// semantic and by name, textures named by annotation against the checker, and the statuses and
// messages of what a user can get wrong. Effects and pictures live in a temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "formats/image_decode.hpp"
#include "tests/tools/run_command.hpp"

namespace {

const std::string kSource = TOBRIN_SOURCE_DIR;
constexpr int kSize = 128;
// The tool's clear colour, 0xFF203040.
constexpr int kClear[3] = {0x20, 0x30, 0x40};

using tobrin_test::Outcome;

// Runs from the source folder, so the default mesh is found as a user at the root finds it.
Outcome Fxview(const std::string& arguments) {
  return tobrin_test::RunCommand("cd " + kSource + " && " + std::string(TOBRIN_FXVIEW) + " " +
                                 arguments);
}

std::string Folder(const std::string& name) {
  const std::string path = testing::TempDir() + "/fxview_" + name;
  EXPECT_EQ(std::system(("rm -rf " + path + " && mkdir -p " + path).c_str()), 0);
  return path;
}

std::string Write(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

struct Picture {
  int width = 0, height = 0;
  std::string rgba;
  const unsigned char* At(int x, int y) const {
    return reinterpret_cast<const unsigned char*>(rgba.data()) + (y * width + x) * 4;
  }
  bool Clear(int x, int y) const {
    const unsigned char* p = At(x, y);
    return p[0] == kClear[0] && p[1] == kClear[1] && p[2] == kClear[2];
  }
};

Picture Read(const std::string& path) {
  Picture picture;
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  formats::DecodedImage image;
  std::string why;
  EXPECT_TRUE(formats::DecodeImage(bytes.str(), &image, &why)) << path << ": " << why;
  if (image.levels.empty()) return picture;
  picture.width = image.width;
  picture.height = image.height;
  picture.rgba.assign(reinterpret_cast<const char*>(image.levels[0].data),
                      static_cast<size_t>(image.width) * image.height * 4);
  return picture;
}

::testing::AssertionResult Near(const Picture& picture, int x, int y, int r, int g, int b) {
  const unsigned char* p = picture.At(x, y);
  if (std::abs(p[0] - r) <= 2 && std::abs(p[1] - g) <= 2 && std::abs(p[2] - b) <= 2)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "(" << x << ", " << y << ") is " << int{p[0]} << " " << int{p[1]} << " " << int{p[2]}
         << ", not " << r << " " << g << " " << b;
}

// Pixels that differ by more than one level in some channel.
int Differing(const Picture& a, const Picture& b) {
  int count = 0;
  for (size_t i = 0; i < a.rgba.size() && i < b.rgba.size(); i += 4)
    for (size_t c = 0; c < 3; ++c)
      if (std::abs(a.rgba[i + c] - b.rgba[i + c]) > 1) {
        ++count;
        break;
      }
  return count + static_cast<int>(a.rgba.size() != b.rgba.size());
}

const char kVertex[] = R"(
struct VsOut { float4 p : POSITION; float2 uv : TEXCOORD0; };
VsOut Place(float4 p, float2 uv, float4x4 m) { VsOut o; o.p = mul(p, m); o.uv = uv; return o; }
)";

std::string Technique(const std::string& name, const std::string& vs, const std::string& ps) {
  return "technique " + name + " { pass P { VertexShader = compile vs_3_0 " + vs +
         "; PixelShader = compile ps_3_0 " + ps + "; } }\n";
}

TEST(Fxview, ParametersBoundBySemanticGiveTheirValuesToThePicture) {
  const std::string folder = Folder("semantic");
  // TIME's own value would turn green to full; VIEWPORTPIXELSIZE is the picture's size.
  const std::string effect = Write(folder + "/bound.fx", std::string(R"(
float4x4 Transform : WorldViewProjection;
float2 Size : VIEWPORTPIXELSIZE;
float Clock : Time = 7;
float3 Light : DIRECTION;
)") + kVertex + R"(
VsOut VS(float4 p : POSITION, float2 uv : TEXCOORD0) { return Place(p, uv, Transform); }
float4 PS() : COLOR { return float4(Size.x / 512, Clock + 0.5, 0.5 - Light.y * 0.5, 1); }
)" + Technique("Bound", "VS()", "PS()"));
  const Outcome run = Fxview("--size 128 --out " + folder + " " + effect);
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NE(
      run.out.find(effect + ": technique Bound, 1 pass: wrote " + folder + "/bound-Bound.png"),
      std::string::npos)
      << run.out;
  const Picture picture = Read(folder + "/bound-Bound.png");
  ASSERT_EQ(picture.width, kSize);
  // 128 / 512, 0 + 0.5, and a light going down: its y is -1/sqrt(3).
  EXPECT_TRUE(Near(picture, kSize / 2, kSize / 2, 64, 128, 201));
  for (const int corner : {0, kSize - 1}) EXPECT_TRUE(picture.Clear(corner, corner));
  // The mesh's centre is the camera's target: the middle row is drawn symmetrically about it.
  int left = kSize, right = -1;
  for (int x = 0; x < kSize; ++x)
    if (!picture.Clear(x, kSize / 2)) left = std::min(left, x), right = std::max(right, x);
  EXPECT_LE(std::abs(left + right - (kSize - 1)), 2) << left << ".." << right;
  EXPECT_GT(right - left, kSize / 3);
  EXPECT_LT(right - left, kSize - 4);
}

// Each transform, its products, inverses and transposes, by semantic or by name, must say the same
// thing about the one camera: every technique's picture is that of WORLDVIEWPROJECTION, and each
// identity the pixel shader checks paints its channel full.
TEST(Fxview, EveryTransformAgreesWithTheOthers) {
  const std::string folder = Folder("matrices");
  const std::string effect =
      Write(folder + "/m.fx", std::string(R"(
float4x4 W : WORLD; float4x4 V : View; float4x4 P : PROJECTION;
float4x4 WV : WORLDVIEW; float4x4 VP : VIEWPROJECTION; float4x4 WVP : WORLDVIEWPROJECTION;
float4x4 WVI : WORLDVIEWINVERSE; float4x4 WVPT : WORLDVIEWPROJECTIONTRANSPOSE;
float4x4 WIT : WorldInverseTranspose; float4x4 VI : VIEWINVERSE; float3 Eye : CAMERAPOSITION;
float4x4 g_mWorldViewProjection; float4x4 matViewProj; float4x4 mWorld;
)") + kVertex + R"(
VsOut ByWhole(float4 p : POSITION, float2 uv : TEXCOORD0) { return Place(p, uv, WVP); }
VsOut ByParts(float4 p : POSITION, float2 uv : TEXCOORD0) { return Place(mul(mul(p, W), V), uv, P); }
VsOut ByHalves(float4 p : POSITION, float2 uv : TEXCOORD0) { return Place(mul(p, WV), uv, P); }
VsOut ByShared(float4 p : POSITION, float2 uv : TEXCOORD0) { return Place(mul(p, W), uv, VP); }
VsOut ByNamed(float4 p : POSITION, float2 uv : TEXCOORD0) { return Place(mul(p, mWorld), uv, matViewProj); }
VsOut BySdkNamed(float4 p : POSITION, float2 uv : TEXCOORD0) { return Place(p, uv, g_mWorldViewProjection); }
bool Same(float4 a, float4 b) { return all(abs(a - b) <= 1e-3 * (1 + abs(a))); }
float4 Plain() : COLOR { return 1; }
float4 Identities() : COLOR {
  const float4 q = float4(0.25, -0.5, 0.75, 1);
  bool inverse = Same(mul(mul(q, WV), WVI), q) && Same(mul(WIT, mul(q, W)), q);
  bool transpose = Same(mul(WVPT, q), mul(q, WVP));
  bool camera = Same(float4(VI[3].xyz, 1), float4(Eye, 1)) && Same(mul(float4(Eye, 1), V), float4(0, 0, 0, 1));
  return float4(inverse, transpose, camera, 1);
}
)" + Technique("Whole", "ByWhole()", "Plain()") +
                                  Technique("Parts", "ByParts()", "Plain()") +
                                  Technique("Halves", "ByHalves()", "Plain()") +
                                  Technique("Shared", "ByShared()", "Plain()") +
                                  Technique("Named", "ByNamed()", "Plain()") +
                                  Technique("SdkNamed", "BySdkNamed()", "Plain()") +
                                  Technique("Identities", "ByWhole()", "Identities()"));
  const Outcome run = Fxview("--size 128 --out " + folder + " " + effect);
  ASSERT_EQ(run.status, 0) << run.out;
  const Picture whole = Read(folder + "/m-Whole.png");
  for (const char* other : {"Parts", "Halves", "Shared", "Named", "SdkNamed"})
    EXPECT_LE(Differing(whole, Read(folder + "/m-" + other + ".png")), 4) << other;
  EXPECT_TRUE(Near(Read(folder + "/m-Identities.png"), kSize / 2, kSize / 2, 255, 255, 255));
}

TEST(Fxview, ATextureIsTheFileItsAnnotationNamesElseTheChecker) {
  const std::string folder = Folder("textures");
  const std::string effects = Folder("textures_effect");
  // A 2 x 2 red BMP beside the effect, found from wherever the tool runs.
  std::string bmp("BM\x46\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x02\0\0\0\x02\0\0\0\x01\0\x18\0", 30);
  bmp += std::string(24, '\0');
  for (int row = 0; row < 2; ++row) bmp += std::string("\0\0\xFF\0\0\xFF\0\0", 8);
  Write(effects + "/red.bmp", bmp);
  const std::string effect = Write(effects + "/tex.fx", std::string(R"(
float4x4 Transform : WORLDVIEWPROJECTION;
texture NamedTex < string ResourceName = "red.bmp"; >;
texture PlainTex;
texture LostTex < string file = "no_such.png"; >;
sampler NamedSampler = sampler_state { Texture = <NamedTex>; };
sampler PlainSampler = sampler_state { Texture = <PlainTex>; MinFilter = Point; MagFilter = Point; };
sampler LostSampler = sampler_state { Texture = <LostTex>; };
)") + kVertex + R"(
VsOut VS(float4 p : POSITION, float2 uv : TEXCOORD0) { return Place(p, uv, Transform); }
float4 FromNamed(VsOut v) : COLOR { return tex2D(NamedSampler, v.uv); }
float4 FromPlain(VsOut v) : COLOR { return tex2D(PlainSampler, v.uv); }
float4 FromLost(VsOut v) : COLOR { return tex2D(LostSampler, v.uv); }
)" + Technique("Named", "VS()", "FromNamed()") + Technique("Plain", "VS()", "FromPlain()") +
                                                            Technique("Lost", "VS()",
                                                                      "FromLost()"));
  const Outcome run = Fxview("--size 128 --out " + folder + " " + effect);
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("LostTex: cannot load " + effects + "/no_such.png; the checker instead"),
            std::string::npos)
      << run.out;
  EXPECT_TRUE(Near(Read(folder + "/tex-Named.png"), kSize / 2, kSize / 2, 255, 0, 0));
  // The checker's two colours, unlit, in about equal parts.
  for (const char* technique : {"Plain", "Lost"}) {
    const Picture picture = Read(folder + "/tex-" + technique + ".png");
    int light = 0, dark = 0, drawn = 0;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        if (picture.Clear(x, y)) continue;
        ++drawn;
        light += Near(picture, x, y, 230, 220, 190) ? 1 : 0;
        dark += Near(picture, x, y, 70, 110, 170) ? 1 : 0;
      }
    EXPECT_GT(light + dark, drawn * 9 / 10) << technique;
    EXPECT_GT(light, drawn / 4) << technique;
    EXPECT_GT(dark, drawn / 4) << technique;
  }
}

TEST(Fxview, WhatAUserGetsWrongEndsWithAMessageAndItsOwnStatus) {
  const std::string folder = Folder("failures");
  const Outcome missing = Fxview("--out " + folder + " " + folder + "/no_such.fx");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find(folder + "/no_such.fx: error: cannot open the effect file"),
            std::string::npos)
      << missing.out;

  const std::string broken = Write(folder + "/broken.fx", R"(float4 PS() : COLOR {
  return undeclared;
}
technique T { pass P { PixelShader = compile ps_2_0 PS(); } }
)");
  const Outcome built = Fxview("--out " + folder + " " + broken);
  EXPECT_EQ(built.status, 1);
  EXPECT_NE(built.out.find(broken + "(2): error:"), std::string::npos) << built.out;
  EXPECT_NE(built.out.find(broken + ": error: the effect did not build"), std::string::npos)
      << built.out;
  EXPECT_EQ(built.out.find("technique T"), std::string::npos) << built.out;

  const std::string good = kSource + "/data/Za_rad_2.fx";
  EXPECT_EQ(Fxview("").status, 2);
  EXPECT_EQ(Fxview("--frobnicate " + good).status, 2);
  EXPECT_EQ(Fxview("--size 8 " + good).status, 2);
  EXPECT_EQ(Fxview("--size 12x " + good).status, 2);
  EXPECT_EQ(Fxview(good + " " + good).status, 2);

  const Outcome noMesh = Fxview("--mesh " + folder + "/none.x --out " + folder + " " + good);
  EXPECT_EQ(noMesh.status, 5);
  EXPECT_NE(noMesh.out.find("none.x: error: cannot open the mesh file"), std::string::npos)
      << noMesh.out;
  const std::string junk = Write(folder + "/junk.x", "xof 0303txt 0032\nMesh { nonsense");
  const Outcome badMesh = Fxview("--mesh " + junk + " --out " + folder + " " + good);
  EXPECT_EQ(badMesh.status, 5);
  EXPECT_NE(badMesh.out.find("junk.x: error: cannot load the mesh"), std::string::npos)
      << badMesh.out;
  const std::string notAFolder = Write(folder + "/file", "");
  const Outcome badOut = Fxview("--out " + notAFolder + "/pictures " + good);
  EXPECT_EQ(badOut.status, 5);
  EXPECT_NE(badOut.out.find("cannot make the output folder"), std::string::npos) << badOut.out;
}

}  // namespace
