// A visible-to-GL (hidden) SDL window with a real OpenGL device on it, for tests of the backend
// that need the device, plus small helpers: a temporary directory and back-buffer pixel reads.
#pragma once
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "render/gfx/gfx.hpp"
#include "render/gfx/gl/device_gl.hpp"

class GlDeviceTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 128, kHeight = 96;

  void SetUp() override {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    window = SDL_CreateWindow("gl device test", 0, 0, kWidth, kHeight,
                              SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    context = gfx::Create(gfx::SDK_VERSION);
    ASSERT_NE(context, nullptr);
    gfx::PresentParameters parameters{};
    parameters.Windowed = true;
    parameters.EnableAutoDepthStencil = true;
    parameters.AutoDepthStencilFormat = gfx::FMT_D16;
    ASSERT_EQ(context->CreateDevice(gfx::ADAPTER_DEFAULT, gfx::DEVTYPE_HAL,
                                    reinterpret_cast<HWND>(window), 0, &parameters, &device),
              gfx::S_OK);
    ASSERT_NE(device, nullptr);
    created = parameters;
  }

  void TearDown() override {
    if (device) device->Release();
    if (context) context->Release();
    if (window) SDL_DestroyWindow(window);
  }

  // RGBA of the back-buffer pixel at (x, y), y counted from the top.
  uint32_t Pixel(int x, int y) {
    std::vector<uint8_t> rgba;
    int w = 0, h = 0;
    EXPECT_TRUE(gfx::gl::ReadBackBuffer(device, &rgba, &w, &h));
    const uint8_t* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
  }

  std::vector<uint8_t> Pixels() {
    std::vector<uint8_t> rgba;
    int w = 0, h = 0;
    EXPECT_TRUE(gfx::gl::ReadBackBuffer(device, &rgba, &w, &h));
    EXPECT_EQ(w, kWidth);
    EXPECT_EQ(h, kHeight);
    return rgba;
  }

  SDL_Window* window = nullptr;
  gfx::Context* context = nullptr;
  gfx::Device* device = nullptr;
  gfx::PresentParameters created{};
};

// A program that paints every fragment opaque white, placing vertices from location 0 in clip
// space: enough to see what a draw covered. The caller deletes it.
inline GLuint WhiteProgram() {
  static const char* vs =
      "#version 330 core\nlayout(location = 0) in vec3 p;\n"
      "void main() { gl_Position = vec4(p, 1.0); }\n";
  static const char* fs = "#version 330 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n";
  GLuint program = glCreateProgram();
  for (auto [stage, source] : {std::pair{GL_VERTEX_SHADER, vs}, {GL_FRAGMENT_SHADER, fs}}) {
    GLuint shader = glCreateShader(stage);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    glAttachShader(program, shader);
    glDeleteShader(shader);
  }
  glLinkProgram(program);
  return program;
}

// A fresh directory under the system's temporary directory, for files a test writes.
inline std::string MakeTempDirectory() {
  char pattern[] = "/tmp/tobrin_gl_XXXXXX";
  const char* made = mkdtemp(pattern);
  return made ? made : "";
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}
