// Where effects draw on the device's back buffer: on the original platform's pixel centres, which
// lie on whole window coordinates. Shapes drawn through effects of both languages are checked pixel
// by pixel against that platform's coverage rule (a pixel is drawn when its centre lies inside, or
// on a left or top edge), with edges between centres and through them; VPOS reads the pixel's
// index, texture coordinates are those of the original's centres, and a smaller viewport is
// followed. Positions leave the vertex stage with w = 2, so the move must scale with w.
#include <epoxy/gl.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "render/gfx/gl/gl_state.hpp"
#include "tests/gl/device_fixture.hpp"

namespace {

const char kHlslEffect[] = R"(
struct VsOut { float4 position : POSITION; float2 uv : TEXCOORD0; };
VsOut Vs(float4 p : POSITION, float2 uv : TEXCOORD0) {
  VsOut o; o.position = float4(p.xyz, 1) * 2; o.uv = uv; return o;
}
float4 Covered(float2 vpos : VPOS) : COLOR0 { return float4((vpos + 1) / 255.0, 1, 1); }
float4 Uv(float2 uv : TEXCOORD0) : COLOR0 { return float4(uv, 0, 1); }
technique Covered {
  pass P0 { VertexShader = compile vs_3_0 Vs(); PixelShader = compile ps_3_0 Covered(); }
}
technique Uv { pass P0 { VertexShader = compile vs_3_0 Vs(); PixelShader = compile ps_3_0 Uv(); } }
)";

const char kGlslEffect[] = R"(
vertex_shader Vs {
  out vec2 uv;
  void main() { uv = inTexCoord; gl_Position = vec4(inPosition, 1.0) * 2.0; }
}
fragment_shader Covered { out vec4 colour; void main() { colour = vec4(0.0, 0.0, 1.0, 1.0); } }
fragment_shader Uv { in vec2 uv; out vec4 colour; void main() { colour = vec4(uv, 0.0, 1.0); } }
technique Covered { pass P0 { VertexShader = Vs; FragmentShader = Covered; CullMode = None; } }
technique Uv { pass P0 { VertexShader = Vs; FragmentShader = Uv; CullMode = None; } }
)";

// The original's window coordinates: x right, y down, pixel i's centre at i.
struct Point {
  float x, y;
};
struct Triangle {
  Point corner[3];
  Point uv[3];
};

// Two triangles, corners clockwise on screen; texture coordinates 0..1 from the top-left corner.
std::vector<Triangle> Rectangle(float left, float top, float right, float bottom) {
  const Point tl{left, top}, tr{right, top}, br{right, bottom}, bl{left, bottom};
  return {{{tl, tr, br}, {{0, 0}, {1, 0}, {1, 1}}}, {{tl, br, bl}, {{0, 0}, {1, 1}, {0, 1}}}};
}

// The original platform's rule, written out: inside every edge, or on an edge that is a left
// edge (the inside to its right) or a top edge (horizontal, the inside below). Either winding.
bool OriginalCovers(const Triangle& t, float px, float py) {
  const Point* c = t.corner;
  const float area = (c[1].x - c[0].x) * (c[2].y - c[0].y) - (c[1].y - c[0].y) * (c[2].x - c[0].x);
  if (area == 0) return false;
  for (int k = 0; k < 3; ++k) {
    Point a = c[k], b = c[(k + 1) % 3];
    if (area < 0) std::swap(a, b);  // inside is where the edge function is positive
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float e = dx * (py - a.y) - dy * (px - a.x);
    if (e < 0) return false;
    if (e == 0 && !(dy < 0 || (dy == 0 && dx > 0))) return false;
  }
  return true;
}

class PixelCentres : public GlDeviceTest {
 protected:
  void SetUp() override {
    GlDeviceTest::SetUp();
    if (HasFatalFailure()) return;
    directory_ = MakeTempDirectory();
    glGenVertexArrays(1, &vertexArray_);
    glGenBuffers(1, &vertexBuffer_);
    gfx::gl::BindVertexArray(vertexArray_);
    gfx::gl::BindArrayBuffer(vertexBuffer_);
    glBufferData(GL_ARRAY_BUFFER, kMaxTriangles * 3 * 8 * sizeof(float), nullptr, GL_DYNAMIC_DRAW);
    const int sizes[3] = {3, 3, 2}, offsets[3] = {0, 3, 6};
    for (GLuint a = 0; a < 3; ++a) {
      glEnableVertexAttribArray(a);
      glVertexAttribPointer(a, sizes[a], GL_FLOAT, GL_FALSE, 8 * sizeof(float),
                            reinterpret_cast<const void*>(offsets[a] * sizeof(float)));
    }
    device->SetRenderState(gfx::RS_CULLMODE, gfx::CULL_NONE);
    device->SetRenderState(gfx::RS_ZENABLE, 0);
  }
  void TearDown() override {
    if (effect_) effect_->Release();
    glDeleteBuffers(1, &vertexBuffer_);
    glDeleteVertexArrays(1, &vertexArray_);
    GlDeviceTest::TearDown();
  }

  void Load(const char* name, const char* text) {
    const std::string path = directory_ + "/" + name;
    WriteFile(path, text);
    gfx::Buffer* errors = nullptr;
    ASSERT_EQ(gfx::CreateEffectFromFile(device, path.c_str(), nullptr, nullptr, 0, nullptr,
                                        &effect_, &errors),
              gfx::S_OK)
        << (errors ? static_cast<const char*>(errors->GetBufferPointer()) : "");
  }

  // Clears to transparent black and draws the triangles with the technique into the viewport
  // whose top-left corner is (left, top) in the original's window coordinates.
  void Draw(const char* technique, const std::vector<Triangle>& triangles, int left = 0,
            int top = 0, int width = kWidth, int height = kHeight) {
    ASSERT_LE(triangles.size(), static_cast<size_t>(kMaxTriangles));
    std::vector<float> vertices;
    for (const Triangle& t : triangles)
      for (int k = 0; k < 3; ++k) {
        const float x = (t.corner[k].x - left) * 2 / width - 1;
        const float y = 1 - (t.corner[k].y - top) * 2 / height;
        vertices.insert(vertices.end(), {x, y, 0.25f, 0, 0, -1, t.uv[k].x, t.uv[k].y});
      }
    gfx::gl::BindVertexArray(vertexArray_);
    gfx::gl::BindArrayBuffer(vertexBuffer_);
    glBufferSubData(GL_ARRAY_BUFFER, 0, vertices.size() * sizeof(float), vertices.data());
    // GL counts viewport rows from the bottom.
    gfx::gl::SetViewport(left, kHeight - top - height, width, height);
    ASSERT_EQ(device->Clear(0, nullptr, gfx::CLEAR_TARGET, 0x00000000, 1.0f, 0), gfx::S_OK);
    ASSERT_EQ(effect_->SetTechnique(technique), gfx::S_OK);
    uint32_t passes = 0;
    ASSERT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
    ASSERT_EQ(effect_->BeginPass(0), gfx::S_OK);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(triangles.size() * 3));
    effect_->EndPass();
    effect_->End();
    gfx::gl::SetViewport(0, 0, kWidth, kHeight);
  }

  // Every pixel of the back buffer, drawn (blue 255) where the original draws one of the
  // triangles and untouched elsewhere; with `vpos`, red and green hold VPOS + 1.
  void ExpectOriginalCoverage(const std::vector<Triangle>& triangles, bool vpos) {
    const std::vector<uint8_t> rgba = Pixels();
    int wrong = 0;
    std::string first;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        bool expected = false;
        for (const Triangle& t : triangles) expected = expected || OriginalCovers(t, x, y);
        const uint8_t* p = &rgba[(static_cast<size_t>(y) * kWidth + x) * 4];
        const bool drawn = p[2] == 255;
        bool right = drawn == expected && (drawn || p[3] == 0);
        if (drawn && vpos) right = right && p[0] == x + 1 && p[1] == y + 1;
        if (right) continue;
        if (++wrong <= 8) {
          char line[96];
          std::snprintf(line, sizeof line, " (%d, %d): %s, read %d %d %d %d;", x, y,
                        expected ? "covered" : "not covered", p[0], p[1], p[2], p[3]);
          first += line;
        }
      }
    EXPECT_EQ(wrong, 0) << "pixels that differ from the original's coverage:" << first;
  }

  // Shapes in the original's window coordinates of the back buffer.
  static const std::vector<std::pair<const char*, std::vector<Triangle>>>& Shapes() {
    static const std::vector<std::pair<const char*, std::vector<Triangle>>> shapes = {
        {"edges between centres", Rectangle(1.5f, 2.5f, 5.5f, 6.5f)},
        {"edges through centres", Rectangle(2, 1, 5, 4)},
        {"the whole target", Rectangle(0, 0, kWidth, kHeight)},
        {"slanted edges", {{{{10.5f, 3.25f}, {30.75f, 12.5f}, {14.25f, 40.5f}}, {}}}},
        {"the bottom-right corner", Rectangle(kWidth - 8, kHeight - 8, kWidth, kHeight)},
    };
    return shapes;
  }

  static constexpr int kMaxTriangles = 4;
  std::string directory_;
  GLuint vertexArray_ = 0, vertexBuffer_ = 0;
  gfx::Effect* effect_ = nullptr;
};

// Per language: every shape covers what the original covers (HLSL: VPOS reads each pixel's
// index), and an 8 x 8 quad with texture coordinates 0..1 gives pixel i the original's i / 8, where
// GL's centres would give (i + 0.5) / 8.
TEST_F(PixelCentres, EffectsOfBothLanguagesDrawWhereTheOriginalDraws) {
  for (const auto& [file, text] : {std::pair{"hlsl.fx", kHlslEffect}, {"glsl.fx", kGlslEffect}}) {
    SCOPED_TRACE(file);
    Load(file, text);
    for (const auto& [name, triangles] : Shapes()) {
      SCOPED_TRACE(name);
      Draw("Covered", triangles);
      ExpectOriginalCoverage(triangles, text == kHlslEffect);
    }
    Draw("Uv", Rectangle(0, 0, 8, 8));
    const std::vector<uint8_t> rgba = Pixels();
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        const uint8_t* p = &rgba[(static_cast<size_t>(y) * kWidth + x) * 4];
        EXPECT_NEAR(p[0], x * 255 / 8.0, 1.0) << x << ", " << y;
        EXPECT_NEAR(p[1], y * 255 / 8.0, 1.0) << x << ", " << y;
      }
    effect_->Release();
    effect_ = nullptr;
  }
}

// Counts glUniform2f calls, the move's only upload, while it lives.
struct Uniform2Calls {
  static inline int count = 0;
  static inline decltype(epoxy_glUniform2f) real = nullptr;
  decltype(epoxy_glUniform2f) old = epoxy_glUniform2f;
  Uniform2Calls() {
    count = 0;
    real = old;
    epoxy_glUniform2f = [](GLint location, GLfloat x, GLfloat y) {
      ++count;
      real(location, x, y);
    };
  }
  ~Uniform2Calls() { epoxy_glUniform2f = old; }
};

// The bottom-left quarter of the target, 64 x 48, from row 48 down: half a pixel is larger there
// in clip space.
TEST_F(PixelCentres, AViewportOfItsOwnIsFollowedAndSentOnlyWhenItChanges) {
  Load("viewport.fx", kHlslEffect);
  const std::vector<Triangle> shape = Rectangle(1.5f, 50.5f, 5.5f, 54.5f);
  Draw("Covered", shape);
  Uniform2Calls calls;
  Draw("Covered", shape);
  EXPECT_EQ(Uniform2Calls::count, 0) << "the same viewport was sent again";
  Draw("Covered", shape, 0, 48, 64, 48);
  EXPECT_EQ(Uniform2Calls::count, 1);
  ExpectOriginalCoverage(shape, false);
}

}  // namespace
