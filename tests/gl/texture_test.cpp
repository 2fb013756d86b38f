// Textures from image files: a BMP written here loads as RGBA8 with its top row at t = 0 and a
// full mip chain; DXT files go up compressed with their own mip chain, float files as float
// textures; missing, corrupt and oversized images fail with a null texture.
#include <cstring>

#include "render/gfx/gl/gl_objects.hpp"
#include "tests/gl/device_fixture.hpp"

namespace {

// A 24-bit BMP, rows stored bottom-up as the format has them; pixels[y][x] with y = 0 at the top.
std::string Bmp(int width, int height, const std::vector<std::vector<uint32_t>>& pixels,
                int claimedWidth = 0) {
  const int stride = (width * 3 + 3) & ~3;
  const uint32_t dataSize = stride * height, fileSize = 54 + dataSize;
  std::string out(54, '\0');
  auto put32 = [&](int at, uint32_t v) { std::memcpy(&out[at], &v, 4); };
  auto put16 = [&](int at, uint16_t v) { std::memcpy(&out[at], &v, 2); };
  out[0] = 'B', out[1] = 'M';
  put32(2, fileSize), put32(10, 54), put32(14, 40);
  put32(18, claimedWidth ? claimedWidth : width), put32(22, height);
  put16(26, 1), put16(28, 24), put32(34, dataSize);
  for (int y = height - 1; y >= 0; --y) {
    std::string row(stride, '\0');
    for (int x = 0; x < width; ++x) {
      const uint32_t rgb = pixels[y][x];
      row[x * 3] = char(rgb & 0xFF), row[x * 3 + 1] = char(rgb >> 8),
              row[x * 3 + 2] = char(rgb >> 16);
    }
    out += row;
  }
  return out;
}

class GlTextureTest : public GlDeviceTest {
 protected:
  void SetUp() override {
    GlDeviceTest::SetUp();
    directory = MakeTempDirectory();
    ASSERT_FALSE(directory.empty());
  }
  gfx::HRESULT Load(const std::string& name, gfx::Texture** texture) {
    *texture = reinterpret_cast<gfx::Texture*>(1);
    return gfx::CreateTextureFromFile(device, (directory + "\\" + name).c_str(), texture);
  }
  std::string directory;
};

TEST_F(GlTextureTest, BmpLoadsTopRowFirstWithAFullMipChain) {
  const uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF;
  WriteFile(directory + "/small.bmp",
            Bmp(4, 2, {{red, red, green, green}, {blue, blue, white, white}}));
  gfx::Texture* texture = nullptr;
  ASSERT_EQ(Load("small.bmp", &texture), gfx::S_OK);
  auto* gl = dynamic_cast<gfx::gl::GlTexture*>(texture);
  ASSERT_NE(gl, nullptr);
  EXPECT_EQ(gl->width, 4);
  EXPECT_EQ(gl->height, 2);
  glBindTexture(GL_TEXTURE_2D, gl->name);
  uint8_t texels[4 * 2 * 4] = {};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
  // t = 0 (the first row GL stores) is the picture's top row.
  EXPECT_EQ(texels[0], 0xFF);
  EXPECT_EQ(texels[1], 0x00);
  EXPECT_EQ(texels[2 * 4 + 1], 0xFF);  // top row, third pixel: green
  EXPECT_EQ(texels[4 * 4 + 2], 0xFF);  // second row: blue
  EXPECT_EQ(texels[4 * 4 + 3], 0xFF);  // opaque
  GLint smallest = 0, maxLevel = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &smallest);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, &maxLevel);
  EXPECT_EQ(smallest, 1);  // 4 → 2 → 1
  EXPECT_EQ(maxLevel, 2);
  // Each smaller level is the 2 x 2 mean of the one above (within one step of rounding): red over
  // blue, green over white, then the two of them.
  uint8_t level1[2 * 4] = {}, level2[4] = {};
  glGetTexImage(GL_TEXTURE_2D, 1, GL_RGBA, GL_UNSIGNED_BYTE, level1);
  glGetTexImage(GL_TEXTURE_2D, 2, GL_RGBA, GL_UNSIGNED_BYTE, level2);
  const int want1[8] = {128, 0, 128, 255, 128, 255, 128, 255}, want2[4] = {128, 128, 128, 255};
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(level1[i], want1[i], 1) << "level 1, byte " << i;
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(level2[i], want2[i], 1) << "level 2, byte " << i;
  glBindTexture(GL_TEXTURE_2D, 0);
  EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(GlTextureTest, UnreadableImagesFailWithANullTexture) {
  gfx::Texture* texture = nullptr;
  EXPECT_EQ(Load("absent.bmp", &texture), gfx::E_NOTFOUND);
  EXPECT_EQ(texture, nullptr);

  WriteFile(directory + "/garbage.bmp", "this is not an image at all");
  EXPECT_TRUE(gfx::Failed(Load("garbage.bmp", &texture)));
  EXPECT_EQ(texture, nullptr);

  std::string truncated =
      Bmp(64, 64, std::vector<std::vector<uint32_t>>(64, std::vector<uint32_t>(64)));
  truncated.resize(100);
  WriteFile(directory + "/truncated.bmp", truncated);
  EXPECT_TRUE(gfx::Failed(Load("truncated.bmp", &texture)));
  EXPECT_EQ(texture, nullptr);

  // A header that claims a picture far larger than any texture we accept.
  WriteFile(directory + "/huge.bmp", Bmp(1, 1, {{0}}, 40000));
  EXPECT_TRUE(gfx::Failed(Load("huge.bmp", &texture)));
  EXPECT_EQ(texture, nullptr);

  WriteFile(directory + "/empty.bmp", "");
  EXPECT_TRUE(gfx::Failed(Load("empty.bmp", &texture)));
  EXPECT_EQ(texture, nullptr);
}

// The system's stb_image corrupts memory on these two (a hostile JPEG and a 16-bit PNM); they now
// go to libjpeg-turbo and our own PNM reader, which refuse them.
TEST_F(GlTextureTest, InputsThatBrokeTheOldDecoderFailCleanly) {
  const std::string findings = TOBRIN_SOURCE_DIR "/fuzz/regressions/image/";
  for (const char* name : {"jpeg-huffman-table-overflow.jpg", "pnm-16-bit-overread.ppm"}) {
    gfx::Texture* texture = nullptr;
    EXPECT_EQ(gfx::CreateTextureFromFile(device, (findings + name).c_str(), &texture), gfx::E_FAIL)
        << name;
    EXPECT_EQ(texture, nullptr);
  }
  // A PNG still loads: a 1x1 opaque red one.
  static const unsigned char kRedPng[] = {
      0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
      0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00,
      0x00, 0x90, 0x77, 0x53, 0xDE, 0x00, 0x00, 0x00, 0x0C, 0x49, 0x44, 0x41, 0x54, 0x78,
      0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0x00, 0x00, 0x03, 0x01, 0x01, 0x00, 0xC9, 0xFE, 0x92,
      0xEF, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
  WriteFile(directory + "/red.png",
            std::string(reinterpret_cast<const char*>(kRedPng), sizeof(kRedPng)));
  gfx::Texture* texture = nullptr;
  ASSERT_EQ(Load("red.png", &texture), gfx::S_OK);
  EXPECT_EQ(dynamic_cast<gfx::gl::GlTexture*>(texture)->width, 1);
  texture->Release();
}

// The level-0 RGBA8 texels of the bound texture, decompressed by GL where it is compressed.
std::vector<uint8_t> TopLevel(GLuint name, int width, int height) {
  std::vector<uint8_t> texels(size_t(width) * height * 4);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  return texels;
}

GLint LevelParameter(GLint level, GLenum parameter) {
  GLint value = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, parameter, &value);
  return value;
}

// The DXT5 file of another tool: its eleven levels go up as stored, none generated.
TEST_F(GlTextureTest, DxtFilesGoUpCompressedWithTheirOwnMipChain) {
  gfx::Texture* texture = nullptr;
  const std::string file = TOBRIN_SOURCE_DIR "/tests/data/images/BC3DXT4DXT5_RGBA_Legacy.dds";
  ASSERT_EQ(gfx::CreateTextureFromFile(device, file.c_str(), &texture), gfx::S_OK);
  const GLuint name = static_cast<gfx::gl::GlTexture*>(texture)->name;
  glBindTexture(GL_TEXTURE_2D, name);
  EXPECT_EQ(LevelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_COMPRESSED_RGBA_S3TC_DXT5_EXT);
  EXPECT_EQ(LevelParameter(0, GL_TEXTURE_COMPRESSED_IMAGE_SIZE), 1280 / 4 * 720 / 4 * 16);
  EXPECT_EQ(LevelParameter(10, GL_TEXTURE_WIDTH), 1);
  GLint maxLevel = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, &maxLevel);
  EXPECT_EQ(maxLevel, 10);
  // The first block as the file stores it decodes to what GL gives back.
  const std::vector<uint8_t> texels = TopLevel(name, 1280, 720);
  EXPECT_EQ(texels[3], 0xFF);  // alpha block 0xFF 0xFF: opaque
  texture->Release();

  // A hand-made DXT1 without a chain: one solid red block, the chain made by the driver.
  std::string dds(128, '\0');
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&dds[at], &v, 4); };
  std::memcpy(&dds[0], "DDS ", 4);
  put32(4, 124), put32(8, 0x1007), put32(12, 4), put32(16, 4), put32(76, 32), put32(80, 4);
  std::memcpy(&dds[84], "DXT1", 4);
  dds += std::string("\x00\xF8\x00\xF8\0\0\0\0", 8);  // both colours 5-6-5 red, index 0
  WriteFile(directory + "/red.dds", dds);
  ASSERT_EQ(Load("red.dds", &texture), gfx::S_OK);
  const GLuint red = static_cast<gfx::gl::GlTexture*>(texture)->name;
  const std::vector<uint8_t> block = TopLevel(red, 4, 4);
  EXPECT_EQ(block[0], 0xFF);
  EXPECT_EQ(block[1], 0x00);
  EXPECT_EQ(block[15 * 4 + 3], 0xFF);
  EXPECT_EQ(LevelParameter(2, GL_TEXTURE_WIDTH), 1);  // 4 -> 2 -> 1
  glBindTexture(GL_TEXTURE_2D, 0);
  texture->Release();
}

TEST_F(GlTextureTest, FloatImagesStayFloatOnTheGpu) {
  std::string pfm = "PF\n1 1\n-1.0\n";
  for (float v : {2.5f, 0.125f, 100.0f}) pfm.append(reinterpret_cast<const char*>(&v), 4);
  WriteFile(directory + "/bright.pfm", pfm);
  gfx::Texture* texture = nullptr;
  ASSERT_EQ(Load("bright.pfm", &texture), gfx::S_OK);
  glBindTexture(GL_TEXTURE_2D, static_cast<gfx::gl::GlTexture*>(texture)->name);
  EXPECT_EQ(LevelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA32F);
  float texel[4] = {};
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, texel);
  EXPECT_EQ(texel[0], 2.5f);  // beyond 1: an 8-bit texture would have clamped it
  EXPECT_EQ(texel[2], 100.0f);
  glBindTexture(GL_TEXTURE_2D, 0);
  texture->Release();
}

}  // namespace
