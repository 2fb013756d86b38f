// The overlay font: text lands inside its rectangle and nowhere else, lines advance by the cell
// height, the colour's alpha blends over the frame, and the GL state is as it was afterwards.
#include <algorithm>

#include "render/gfx/gl/gl_state.hpp"
#include "tests/gl/device_fixture.hpp"

namespace {

class GlFontTest : public GlDeviceTest {
 protected:
  void SetUp() override {
    GlDeviceTest::SetUp();
    ASSERT_EQ(gfx::CreateFont(device, 15, 8, 400, 1, false, 0, 0, 0, 0, "Arial", &font), gfx::S_OK);
    ASSERT_NE(font, nullptr);
    device->Clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
  }
  void TearDown() override {
    if (font) font->Release();
    GlDeviceTest::TearDown();
  }

  // The bounding box of every pixel that is not black; empty (right < left) when there is none.
  gfx::Rect LitBox(uint8_t* brightest = nullptr) {
    const std::vector<uint8_t> rgba = Pixels();
    gfx::Rect box{kWidth, kHeight, -1, -1};
    uint8_t top = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const uint8_t* p = &rgba[(size_t(y) * kWidth + x) * 4];
        if (p[0] | p[1] | p[2]) {
          box.left = std::min(box.left, x), box.top = std::min(box.top, y);
          box.right = std::max(box.right, x), box.bottom = std::max(box.bottom, y);
          top = std::max({top, p[0], p[1], p[2]});
        }
      }
    if (brightest) *brightest = top;
    return box;
  }

  gfx::Font* font = nullptr;
};

TEST_F(GlFontTest, TextStaysInsideItsRectangleAndLinesAdvanceByTheCellHeight) {
  gfx::Rect rect{6, 6, 120, 90};
  EXPECT_EQ(
      font->DrawText(nullptr, "Hg\nHg\nHg", -1, &rect, gfx::DT_LEFT | gfx::DT_TOP, 0xFFC8C8C8u),
      45);
  uint8_t brightest = 0;
  const gfx::Rect box = LitBox(&brightest);
  ASSERT_GE(box.right, box.left) << "nothing was drawn";
  EXPECT_GE(box.left, rect.left);
  EXPECT_GE(box.top, rect.top);
  EXPECT_LT(box.right, rect.right);
  EXPECT_LT(box.bottom, rect.bottom);
  // Left/top aligned: the first capital starts within a pixel or two of the corner, and three
  // lines 15 pixels apart span about two cells plus one line's ink.
  EXPECT_LE(box.left - rect.left, 2);
  EXPECT_LE(box.top - rect.top, 4);
  EXPECT_NEAR(box.bottom - box.top, 30 + 13, 3);
  EXPECT_EQ(brightest, 0xC8);  // opaque colour, full coverage somewhere in a stem
}

TEST_F(GlFontTest, WidthFollowsTheAverageCharacterWidth) {
  gfx::Rect rect{0, 0, kWidth, kHeight};
  font->DrawText(nullptr, "nnnnnnnnnn", -1, &rect, 0, 0xFFFFFFFFu);
  const gfx::Rect box = LitBox();
  // In Arial's metrics an 'n' is 1139/905 of the average width, so about 10.1 pixels at an
  // 8-pixel average: nine advances and one letter's ink. Sized by the height alone it would be
  // about 7.5 pixels (about 74 in all).
  EXPECT_NEAR(box.right - box.left + 1, 98, 4);
}

TEST_F(GlFontTest, TextIsCutAtTheRectangleEdges) {
  gfx::Rect rect{10, 10, 40, 22};
  font->DrawText(nullptr, "WWWWWWWWWWWW\nWWWWWWWWWWWW\nWWWW", -1, &rect, 0, 0xFFFFFFFFu);
  const gfx::Rect box = LitBox();
  ASSERT_GE(box.right, box.left) << "nothing was drawn";
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.right, 39);   // the last column inside
  EXPECT_EQ(box.bottom, 21);  // the second line is cut at the bottom edge
  // A count shorter than the text draws only that many characters.
  device->Clear(0, nullptr, gfx::CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
  gfx::Rect wide{10, 10, 120, 40};
  font->DrawText(nullptr, "WWWWWWWW", 1, &wide, 0, 0xFFFFFFFFu);
  EXPECT_LT(LitBox().right, 10 + 20);
}

TEST_F(GlFontTest, AlphaBlendsOverTheFrame) {
  device->Clear(0, nullptr, gfx::CLEAR_TARGET, 0xFF0000FFu, 1.0f, 0);  // blue
  gfx::Rect rect{0, 0, kWidth, kHeight};
  font->DrawText(nullptr, "HHHH", -1, &rect, 0, 0x80FF0000u);  // half-transparent red
  const std::vector<uint8_t> rgba = Pixels();
  uint8_t red = 0, blueUnderRed = 0;
  for (size_t i = 0; i < rgba.size(); i += 4)
    if (rgba[i] > red) red = rgba[i], blueUnderRed = rgba[i + 2];
  EXPECT_NEAR(red, 128, 3);
  EXPECT_NEAR(blueUnderRed, 127, 3);
}

TEST_F(GlFontTest, LeavesTheGlStateAsItFoundIt) {
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  glDisable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ZERO);
  glDepthMask(GL_FALSE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, texture);
  gfx::gl::SyncStateFromGl();  // set behind the backend's back, as another library might
  gfx::Rect rect{0, 0, 100, 40};
  font->DrawText(nullptr, "FPS: 60", -1, &rect, 0, 0xFFC8C8C8u);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  GLint value = 0, mode[2] = {};
  glGetIntegerv(GL_BLEND_SRC_RGB, &value);
  EXPECT_EQ(value, GL_ONE);
  glGetIntegerv(GL_CURRENT_PROGRAM, &value);
  EXPECT_EQ(value, 0);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
  EXPECT_EQ(static_cast<GLuint>(value), texture);
  glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &value);
  EXPECT_EQ(value, 0);
  glGetIntegerv(GL_POLYGON_MODE, mode);
  EXPECT_EQ(mode[0], GL_LINE);
  GLboolean depthMask = GL_TRUE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
  EXPECT_FALSE(depthMask);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDeleteTextures(1, &texture);
}

}  // namespace
