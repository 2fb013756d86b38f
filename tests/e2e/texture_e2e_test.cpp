// Texture formats end to end: a JPEG, a TGA and a DXT5 DDS, each saved as "tekstura2.bmp" (the
// loader goes by content, not name), show their colour on the spheres. The effect here draws the
// texture unlit, so every sphere pixel is the texture's colour and a wrong channel order, a lost
// texture (white) or a failed decode shows.
#include <cstdio>
#include <cstring>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "tests/e2e/program_fixture.hpp"

namespace {

using e2e::ProgramTest;
using e2e::Project;

constexpr char kUnlitEffect[] = R"(// Draws the texture as it is, for the texture-format tests.
float4x4 matViewProjection;
float4x4 matWorld;
texture inTexture;
sampler2D baseMap = sampler_state {
  Texture = inTexture;
  MinFilter = LinearMipmapLinear;
  MagFilter = Linear;
};
vertex_shader PlainVS {
  out vec2 uv;
  void main() {
    uv = inTexCoord;
    gl_Position = matViewProjection * matWorld * vec4(inPosition, 1.0);
  }
}
fragment_shader PlainFS {
  in vec2 uv;
  out vec4 colour;
  void main() { colour = vec4(texture(baseMap, uv).rgb, 1.0); }
}
technique ColorAnimation {
  pass P0 { VertexShader = PlainVS; FragmentShader = PlainFS; CullMode = None; }
}
)";

constexpr int kSide = 64;

std::string Jpeg(uint8_t r, uint8_t g, uint8_t b) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = cinfo.image_height = kSide;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row(kSide * 3);
  for (int x = 0; x < kSide; ++x) row[x * 3] = r, row[x * 3 + 1] = g, row[x * 3 + 2] = b;
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::string bytes(reinterpret_cast<char*>(out), size);
  jpeg_destroy_compress(&cinfo);
  std::free(out);
  return bytes;
}

// Run-length coded, 24-bit, stored top-down: every packet a run of 128 pixels of the colour.
std::string Tga(uint8_t r, uint8_t g, uint8_t b) {
  std::string out(18, '\0');
  out[2] = 10, out[12] = kSide, out[14] = kSide, out[16] = 24, out[17] = 0x20;
  for (int i = 0; i < kSide * kSide / 128; ++i) out += {'\xFF', char(b), char(g), char(r)};
  return out;
}

// DXT5 with its whole mip chain; every block opaque and of one 5-6-5 colour.
std::string Dxt5(uint16_t rgb565) {
  std::string out(128, '\0');
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&out[at], &v, 4); };
  std::memcpy(&out[0], "DDS ", 4);
  put32(4, 124), put32(8, 0x21007), put32(12, kSide), put32(16, kSide), put32(28, 7);
  put32(76, 32), put32(80, 4), put32(108, 0x401008);
  std::memcpy(&out[84], "DXT5", 4);
  const char block[16] = {'\xFF',
                          '\xFF',
                          0,
                          0,
                          0,
                          0,
                          0,
                          0,
                          char(rgb565 & 0xFF),
                          char(rgb565 >> 8),
                          char(rgb565 & 0xFF),
                          char(rgb565 >> 8)};
  for (int side = kSide; side >= 1; side /= 2)
    for (int i = 0; i < ((side + 3) / 4) * ((side + 3) / 4); ++i) out.append(block, 16);
  return out;
}

class TextureFormatTest : public ProgramTest {
 protected:
  // Pixels around the lower sphere within `tolerance` of the colour on every channel.
  void ExpectSphereColour(const std::string& texture, uint32_t rgb, int tolerance) {
    std::ofstream(dir_ / "Za_rad_2.fx") << kUnlitEffect;
    std::ofstream(dir_ / "tekstura2.bmp", std::ios::binary) << texture;
    ASSERT_NE(Launch(), 0u);
    Pause(1.5);
    const xdrv::Image image = Shot("sphere");
    const e2e::ScreenPoint at = Project(-7.5, -10, 30);
    int matching = 0;
    for (int y = at.y - 20; y <= at.y + 20; ++y)
      for (int x = at.x - 20; x <= at.x + 20; ++x) {
        const uint32_t p = image.At(x, y);
        bool near = true;
        for (int shift : {16, 8, 0})
          near &= std::abs(int((p >> shift) & 0xFF) - int((rgb >> shift) & 0xFF)) <= tolerance;
        matching += near;
      }
    EXPECT_GT(matching, 400) << "the sphere does not show the texture's colour; log:\n" << Log();
    EXPECT_EQ(Log().find("Cannot load the texture \"tekstura2.bmp\""), std::string::npos) << Log();
    xdrv::RequestClose(window_);
    EXPECT_EQ(WaitExit(), 0) << Log();
  }
};

TEST_F(TextureFormatTest, AJpegShowsOnTheSpheres) {
  ExpectSphereColour(Jpeg(200, 60, 30), 0xC83C1E, 8);
}

TEST_F(TextureFormatTest, ATgaShowsOnTheSpheres) {
  ExpectSphereColour(Tga(40, 160, 220), 0x28A0DC, 2);
}

// 5-6-5 (28, 47, 2) is (231, 190, 16) once the GPU widens it.
TEST_F(TextureFormatTest, ADxt5DdsShowsOnTheSpheres) {
  ExpectSphereColour(Dxt5(28 << 11 | 47 << 5 | 2), 0xE7BE10, 6);
}

}  // namespace
