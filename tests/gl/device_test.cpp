// The OpenGL device: creation and its failures, clears read back from the back buffer, the cull
// winding and depth range the effect relies on, presentation, and the monotonic clock.
#include <SDL.h>
#include <epoxy/gl.h>

#include "formats/file_names.hpp"
#include "render/gfx/gl/gl_state.hpp"
#include "tests/gl/device_fixture.hpp"

namespace {

// Draws one triangle given in clip space (x, y, z per corner) through the state shadow, as the
// backend binds: with the program in use when `program` is 0 (an effect's pass), else with it.
void DrawCorners(const float corners[9], GLuint program) {
  GLuint vao = 0, vbo = 0;
  glGenVertexArrays(1, &vao);
  glGenBuffers(1, &vbo);
  gfx::gl::BindVertexArray(vao);
  gfx::gl::BindArrayBuffer(vbo);
  glBufferData(GL_ARRAY_BUFFER, 9 * sizeof(float), corners, GL_STATIC_DRAW);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
  const GLuint before = gfx::gl::State().program;
  if (program) gfx::gl::UseProgram(program);
  glDrawArrays(GL_TRIANGLES, 0, 3);
  gfx::gl::UseProgram(before);
  gfx::gl::BindVertexArray(0);
  gfx::gl::BindArrayBuffer(0);
  glDeleteBuffers(1, &vbo);
  glDeleteVertexArrays(1, &vao);
}

// One flat white triangle with no effect bound.
void DrawTriangle(const float corners[9]) {
  const GLuint program = WhiteProgram();
  DrawCorners(corners, program);
  glDeleteProgram(program);
}

// Bottom-left, top, bottom-right: clockwise as seen on the screen (clip space keeps +y up).
constexpr float kClockwise[9] = {-0.8f, -0.8f, 0.5f, 0.0f, 0.8f, 0.5f, 0.8f, -0.8f, 0.5f};
constexpr float kCounterClockwise[9] = {-0.8f, -0.8f, 0.5f, 0.8f, -0.8f, 0.5f, 0.0f, 0.8f, 0.5f};

TEST(GlContext, RefusesOtherSdkVersionsAndReportsTheDesktopMode) {
  EXPECT_EQ(gfx::Create(31), nullptr);
  gfx::Context* context = gfx::Create(gfx::SDK_VERSION);
  ASSERT_NE(context, nullptr);
  gfx::DisplayMode mode{};
  ASSERT_EQ(context->GetAdapterDisplayMode(gfx::ADAPTER_DEFAULT, &mode), gfx::S_OK);
  EXPECT_EQ(mode.Format, gfx::FMT_X8R8G8B8);
  EXPECT_EQ(mode.Width, 1280u);  // the Xvfb screen of scripts/with-xvfb.sh
  EXPECT_EQ(mode.Height, 1024u);
  EXPECT_TRUE(gfx::Failed(context->GetAdapterDisplayMode(1, &mode)));
  EXPECT_EQ(context->Release(), 0u);
}

TEST(GlContext, DeviceCreationFailsCleanlyWithoutAUsableWindow) {
  gfx::Context* context = gfx::Create(gfx::SDK_VERSION);
  ASSERT_NE(context, nullptr);
  gfx::PresentParameters parameters{};
  gfx::Device* device = reinterpret_cast<gfx::Device*>(1);
  EXPECT_TRUE(
      gfx::Failed(context->CreateDevice(0, gfx::DEVTYPE_HAL, nullptr, 0, &parameters, &device)));
  EXPECT_EQ(device, nullptr);
  // A window made without OpenGL cannot carry a context.
  SDL_Window* plain = SDL_CreateWindow("plain", 0, 0, 32, 32, SDL_WINDOW_HIDDEN);
  ASSERT_NE(plain, nullptr);
  device = reinterpret_cast<gfx::Device*>(1);
  EXPECT_TRUE(gfx::Failed(context->CreateDevice(0, gfx::DEVTYPE_HAL, reinterpret_cast<HWND>(plain),
                                                0, &parameters, &device)));
  EXPECT_EQ(device, nullptr);
  SDL_DestroyWindow(plain);
  context->Release();
}

TEST_F(GlDeviceTest, BackBufferTakesTheClientSizeAndClearsToTheArgbColour) {
  EXPECT_EQ(created.BackBufferWidth, static_cast<uint32_t>(kWidth));
  EXPECT_EQ(created.BackBufferHeight, static_cast<uint32_t>(kHeight));
  // The back buffer is sRGB-encoded, so that a pass's SRGBWriteEnable has an effect.
  GLint encoding = 0;
  glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                        GL_FRAMEBUFFER_ATTACHMENT_COLOR_ENCODING, &encoding);
  EXPECT_EQ(encoding, GL_SRGB);
  // Masks left off by a previous pass must not stop the clear, and come back afterwards; sRGB
  // writes left on must not change its colour.
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glDepthMask(GL_FALSE);
  glEnable(GL_FRAMEBUFFER_SRGB);
  gfx::gl::SyncStateFromGl();  // set behind the backend's back, as another library might
  ASSERT_EQ(device->Clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF336699u, 1.0f, 0),
            gfx::S_OK);
  GLboolean colourMask[4], depthMask;
  glGetBooleanv(GL_COLOR_WRITEMASK, colourMask);
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
  EXPECT_FALSE(colourMask[0]);
  EXPECT_FALSE(depthMask);
  EXPECT_TRUE(glIsEnabled(GL_FRAMEBUFFER_SRGB));
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glDisable(GL_FRAMEBUFFER_SRGB);
  gfx::gl::SyncStateFromGl();
  const std::vector<uint8_t> rgba = Pixels();
  for (size_t i = 0; i < rgba.size(); i += 4) {
    ASSERT_EQ(rgba[i], 0x33) << "pixel " << i / 4;
    ASSERT_EQ(rgba[i + 1], 0x66);
    ASSERT_EQ(rgba[i + 2], 0x99);
    ASSERT_EQ(rgba[i + 3], 0xFF);
  }
  EXPECT_TRUE(gfx::Failed(device->Clear(0, nullptr, gfx::CLEAR_STENCIL, 0, 1.0f, 0)));
}

TEST_F(GlDeviceTest, ClearRectanglesCountFromTheTopLeft) {
  device->Clear(0, nullptr, gfx::CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
  const gfx::Rect rect{10, 5, 20, 15};
  device->Clear(1, &rect, gfx::CLEAR_TARGET, 0xFFFF0000u, 1.0f, 0);
  EXPECT_EQ(Pixel(10, 5), 0xFF0000FFu);
  EXPECT_EQ(Pixel(19, 14), 0xFF0000FFu);
  EXPECT_EQ(Pixel(20, 14), 0x000000FFu);
  EXPECT_EQ(Pixel(10, 15), 0x000000FFu);
  EXPECT_EQ(Pixel(10, kHeight - 6), 0x000000FFu);  // where a bottom-up rectangle would land
}

TEST_F(GlDeviceTest, CullModesNameTheOnScreenWindingThatIsCulled) {
  struct Case {
    uint32_t mode;
    bool clockwiseDrawn, counterClockwiseDrawn;
  };
  for (const Case& c : {Case{gfx::CULL_NONE, true, true}, Case{gfx::CULL_CW, false, true},
                        Case{gfx::CULL_CCW, true, false}}) {
    ASSERT_EQ(device->SetRenderState(gfx::RS_CULLMODE, c.mode), gfx::S_OK);
    device->Clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    DrawTriangle(kClockwise);
    EXPECT_EQ(Pixel(kWidth / 2, kHeight / 2) == 0xFFFFFFFFu, c.clockwiseDrawn) << c.mode;
    device->Clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    DrawTriangle(kCounterClockwise);
    EXPECT_EQ(Pixel(kWidth / 2, kHeight / 2) == 0xFFFFFFFFu, c.counterClockwiseDrawn) << c.mode;
  }
  EXPECT_TRUE(gfx::Failed(device->SetRenderState(gfx::RS_CULLMODE, 7)));
}

// The program turns culling off at start-up through the device and never asks GL for its state;
// a pass's CullMode must then still cull the winding it names, whatever the device set before.
TEST_F(GlDeviceTest, PassCullModesHoldAfterTheDeviceSetsCulling) {
  const std::string dir = MakeTempDirectory();
  ASSERT_FALSE(dir.empty());
  WriteFile(dir + "/cull.fx", R"(
float4 Corner(float4 p : POSITION) : POSITION { return p; }
float4 White() : COLOR { return 1; }
technique None { pass P0 { CullMode = None;
  VertexShader = compile vs_2_0 Corner(); PixelShader = compile ps_2_0 White(); } }
technique Cw { pass P0 { CullMode = CW;
  VertexShader = compile vs_2_0 Corner(); PixelShader = compile ps_2_0 White(); } }
technique Ccw { pass P0 { CullMode = Ccw;
  VertexShader = compile vs_2_0 Corner(); PixelShader = compile ps_2_0 White(); } }
)");
  gfx::Effect* effect = nullptr;
  gfx::Buffer* errors = nullptr;
  ASSERT_EQ(gfx::CreateEffectFromFile(device, (dir + "/cull.fx").c_str(), nullptr, nullptr, 0,
                                      nullptr, &effect, &errors),
            gfx::S_OK)
      << (errors ? static_cast<const char*>(errors->GetBufferPointer()) : "");
  struct Case {
    const char* technique;
    bool clockwiseDrawn, counterClockwiseDrawn;
  };
  for (uint32_t before : {gfx::CULL_NONE, gfx::CULL_CW, gfx::CULL_CCW}) {
    for (const Case& c :
         {Case{"None", true, true}, Case{"Cw", false, true}, Case{"Ccw", true, false}}) {
      ASSERT_EQ(device->SetRenderState(gfx::RS_CULLMODE, before), gfx::S_OK);
      ASSERT_EQ(effect->SetTechnique(c.technique), gfx::S_OK);
      uint32_t passes = 0;
      ASSERT_EQ(effect->Begin(&passes, 0), gfx::S_OK);
      ASSERT_EQ(effect->BeginPass(0), gfx::S_OK);
      device->Clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
      DrawCorners(kClockwise, 0);
      const bool clockwise = Pixel(kWidth / 2, kHeight / 2) == 0xFFFFFFFFu;
      device->Clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
      DrawCorners(kCounterClockwise, 0);
      const bool counterClockwise = Pixel(kWidth / 2, kHeight / 2) == 0xFFFFFFFFu;
      effect->EndPass();
      effect->End();
      EXPECT_EQ(clockwise, c.clockwiseDrawn) << c.technique << " after device mode " << before;
      EXPECT_EQ(counterClockwise, c.counterClockwiseDrawn)
          << c.technique << " after device mode " << before;
    }
  }
  effect->Release();
}

TEST_F(GlDeviceTest, DepthRunsFromZeroToOneAndFollowsTheDepthStates) {
  device->SetRenderState(gfx::RS_CULLMODE, gfx::CULL_NONE);
  // Depth below 0 lies in front of the near plane and is clipped, as on the original platform.
  const float nearSide[9] = {-0.8f, -0.8f, -0.5f, 0.0f, 0.8f, -0.5f, 0.8f, -0.8f, -0.5f};
  device->Clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
  DrawTriangle(nearSide);
  EXPECT_EQ(Pixel(kWidth / 2, kHeight / 2), 0x000000FFu);

  // A depth buffer cleared to 0.25 hides a triangle at 0.5 unless the depth test is off.
  device->Clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF000000u, 0.25f, 0);
  DrawTriangle(kClockwise);
  EXPECT_EQ(Pixel(kWidth / 2, kHeight / 2), 0x000000FFu);
  ASSERT_EQ(device->SetRenderState(gfx::RS_ZENABLE, 0), gfx::S_OK);
  DrawTriangle(kClockwise);
  EXPECT_EQ(Pixel(kWidth / 2, kHeight / 2), 0xFFFFFFFFu);
  ASSERT_EQ(device->SetRenderState(gfx::RS_ZENABLE, 1), gfx::S_OK);

  // With depth writes off the triangle draws but leaves the depth buffer as cleared.
  device->Clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
  ASSERT_EQ(device->SetRenderState(gfx::RS_ZWRITEENABLE, 0), gfx::S_OK);
  DrawTriangle(kClockwise);
  GLfloat depth = 0;
  glReadPixels(kWidth / 2, kHeight / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  EXPECT_FLOAT_EQ(depth, 1.0f);
  ASSERT_EQ(device->SetRenderState(gfx::RS_ZWRITEENABLE, 1), gfx::S_OK);
  DrawTriangle(kClockwise);
  glReadPixels(kWidth / 2, kHeight / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  EXPECT_NEAR(depth, 0.5f, 0.001f);
  EXPECT_TRUE(gfx::Failed(device->SetRenderState(gfx::RS_FILLMODE, 0)));
}

TEST_F(GlDeviceTest, PresentShowsTheFrameAndKeepsDrawingIntoTheBackBuffer) {
  SDL_ShowWindow(window);
  device->Clear(0, nullptr, gfx::CLEAR_TARGET, 0xFF00FF00u, 1.0f, 0);
  EXPECT_EQ(device->BeginScene(), gfx::S_OK);
  EXPECT_TRUE(gfx::Failed(device->BeginScene()));
  EXPECT_EQ(device->EndScene(), gfx::S_OK);
  ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), gfx::S_OK);
  // A resized window gets the frame stretched; the back buffer keeps its size.
  SDL_SetWindowSize(window, kWidth * 2, kHeight);
  ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), gfx::S_OK);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  device->Clear(0, nullptr, gfx::CLEAR_TARGET, 0xFF0000FFu, 1.0f, 0);
  EXPECT_EQ(Pixel(3, 3), 0x0000FFFFu);
  EXPECT_EQ(Pixels().size(), static_cast<size_t>(kWidth) * kHeight * 4);
}

TEST(GlClock, IsMonotonicMilliseconds) {
  const int64_t start = gfx::ReadClockMilliseconds();
  SDL_Delay(30);
  const int64_t later = gfx::ReadClockMilliseconds();
  EXPECT_GE(later - start, 25);
  EXPECT_LT(later - start, 2000);
}

TEST(GlFileNames, BackslashesBecomeTheNativeSeparator) {
  EXPECT_EQ(formats::NativeFileName("modeli\\sphere.x"), "modeli/sphere.x");
  EXPECT_EQ(formats::NativeFileName("modeli\\a\\b.bmp"), "modeli/a/b.bmp");
  EXPECT_EQ(formats::NativeFileName("tekstura2.bmp"), "tekstura2.bmp");
}

}  // namespace
