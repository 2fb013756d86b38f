// The overlay font: FreeType glyphs of a fontconfig-matched face in one atlas made at creation,
// drawn as clipped quads into the back buffer by a tiny program of its own.
// Limits: bytes 32..126 and 160..255 (as Latin-1) have glyphs, others draw nothing; format flags
// other than left/top alignment are ignored; lines break at line feeds only.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "render/gfx/gl/device_gl.hpp"
#include "render/gfx/gl/gl_state.hpp"

namespace gfx {
namespace {

constexpr int kAtlasSize = 512;
constexpr int kBatchGlyphs = 256;  // quads per draw call; longer texts are drawn in batches
constexpr int kFloatsPerGlyph = 6 * 4;

struct Glyph {
  bool present = false;
  int x = 0, y = 0, width = 0, height = 0;  // in the atlas
  int left = 0, top = 0;                    // bitmap offset from the pen, top is up
  float advance = 0;
};

const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec2 inPosition;  // back-buffer pixels, y down
layout(location = 1) in vec2 inTexCoord;
uniform vec2 pixelToClip;
out vec2 texCoord;
void main() {
  texCoord = inTexCoord;
  vec2 clip = vec2(inPosition.x * pixelToClip.x - 1.0, 1.0 - inPosition.y * pixelToClip.y);
  gl_Position = vec4(clip, 0.0, 1.0);
}
)";

const char* kFragmentShader = R"(#version 330 core
in vec2 texCoord;
uniform sampler2D atlas;
uniform vec4 colour;
out vec4 fragment;
void main() { fragment = vec4(colour.rgb, colour.a * texture(atlas, texCoord).r); }
)";

GLuint Compile(GLenum stage, const char* source) {
  GLuint shader = glCreateShader(stage);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

class GlFont final : public gl::RefCounted<Font> {
 public:
  GlFont(gl::GlDevice* device, GLuint program, GLuint vao, GLuint vbo, GLuint atlas, int ascent,
         int lineHeight, const Glyph* glyphs)
      : device_(device),
        program_(program),
        vao_(vao),
        vbo_(vbo),
        atlas_(atlas),
        ascent_(ascent),
        lineHeight_(lineHeight) {
    std::copy(glyphs, glyphs + 256, glyphs_);
    pixelToClipLocation_ = glGetUniformLocation(program, "pixelToClip");
    colourLocation_ = glGetUniformLocation(program, "colour");
    atlasLocation_ = glGetUniformLocation(program, "atlas");
  }
  ~GlFont() override {
    glDeleteProgram(program_);
    glDeleteVertexArrays(1, &vao_);
    glDeleteBuffers(1, &vbo_);
    glDeleteTextures(1, &atlas_);
  }

  int DrawText(void* sprite, const char* text, int count, Rect* rect, uint32_t format,
               uint32_t colour) override;

 private:
  void Flush(int glyphs) {
    if (glyphs == 0) return;
    glBufferSubData(GL_ARRAY_BUFFER, 0, glyphs * kFloatsPerGlyph * sizeof(float), vertices_);
    glDrawArrays(GL_TRIANGLES, 0, glyphs * 6);
  }
  // Appends the glyph's quad cut to the clip rectangle; false when nothing of it is inside.
  bool AddQuad(int slot, const Glyph& g, float penX, float baseline, const Rect& clip);

  gl::GlDevice* device_;  // outlives the font: fonts are released before the device
  GLuint program_, vao_, vbo_, atlas_;
  GLint pixelToClipLocation_, colourLocation_, atlasLocation_;
  int ascent_, lineHeight_;
  Glyph glyphs_[256];
  float vertices_[kBatchGlyphs * kFloatsPerGlyph];
};

bool GlFont::AddQuad(int slot, const Glyph& g, float penX, float baseline, const Rect& clip) {
  float x0 = std::round(penX) + g.left, y0 = baseline - g.top;
  float x1 = x0 + g.width, y1 = y0 + g.height;
  float u0 = g.x / float(kAtlasSize), v0 = g.y / float(kAtlasSize);
  float u1 = (g.x + g.width) / float(kAtlasSize), v1 = (g.y + g.height) / float(kAtlasSize);
  // Cut the quad and its texture coordinates to the rectangle, so nothing lands outside it.
  const float du = (u1 - u0) / g.width, dv = (v1 - v0) / g.height;
  if (x0 < clip.left) u0 += (clip.left - x0) * du, x0 = float(clip.left);
  if (x1 > clip.right) u1 -= (x1 - clip.right) * du, x1 = float(clip.right);
  if (y0 < clip.top) v0 += (clip.top - y0) * dv, y0 = float(clip.top);
  if (y1 > clip.bottom) v1 -= (y1 - clip.bottom) * dv, y1 = float(clip.bottom);
  if (x1 <= x0 || y1 <= y0) return false;
  const float quad[kFloatsPerGlyph] = {x0, y0, u0, v0, x1, y0, u1, v0, x1, y1, u1, v1,
                                       x0, y0, u0, v0, x1, y1, u1, v1, x0, y1, u0, v1};
  std::memcpy(vertices_ + slot * kFloatsPerGlyph, quad, sizeof quad);
  return true;
}

int GlFont::DrawText(void*, const char* text, int count, Rect* rect, uint32_t, uint32_t colour) {
  if (!text || !rect) return 0;
  const size_t length = count < 0 ? std::strlen(text) : static_cast<size_t>(count);
  const Rect clip = *rect;

  // Everything changed below is put back at the end: the overlay draws between the effect's
  // End and EndScene, and the next frame's passes must find the device as they left it.
  const gl::GlState saved = gl::State();
  gl::BindFramebuffer(GL_DRAW_FRAMEBUFFER, device_->Framebuffer());
  gl::SetViewport(0, 0, device_->Width(), device_->Height());
  gl::UseProgram(program_);
  glUniform2f(pixelToClipLocation_, 2.0f / device_->Width(), 2.0f / device_->Height());
  glUniform4f(colourLocation_, ((colour >> 16) & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f,
              (colour & 0xFF) / 255.0f, ((colour >> 24) & 0xFF) / 255.0f);
  glUniform1i(atlasLocation_, 0);
  gl::BindTexture2D(0, atlas_);
  gl::BindSampler(0, 0);
  gl::BindVertexArray(vao_);
  gl::BindArrayBuffer(vbo_);
  gl::SetEnabled(GL_BLEND, true);
  gl::SetBlendEquation(GL_FUNC_ADD, GL_FUNC_ADD);
  gl::SetBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
  gl::SetEnabled(GL_DEPTH_TEST, false);
  gl::SetEnabled(GL_CULL_FACE, false);
  gl::SetEnabled(GL_SCISSOR_TEST, false);
  gl::SetPolygonMode(GL_FILL);
  gl::SetColourMask(true, true, true, true);

  int lines = length > 0 ? 1 : 0, queued = 0;
  float penX = float(clip.left);
  float baseline = float(clip.top + ascent_);
  for (size_t i = 0; i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\n') {
      penX = float(clip.left);
      baseline += lineHeight_;
      ++lines;
      continue;
    }
    const Glyph& g = glyphs_[c];
    if (!g.present) continue;
    if (g.width > 0 && AddQuad(queued, g, penX, baseline, clip) && ++queued == kBatchGlyphs) {
      Flush(queued);
      queued = 0;
    }
    penX += g.advance;
  }
  Flush(queued);

  gl::RestoreState(saved);
  return lines * lineHeight_;
}

// The face file fontconfig picks for the name, weight and slant; empty when it finds none.
std::string MatchFace(const char* faceName, uint32_t weight, bool italic) {
  std::string file;
  if (!FcInit()) return file;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName));
  if (weight > 0)
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(static_cast<int>(weight)));
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcChar8* path = nullptr;
  if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
    file = reinterpret_cast<const char*>(path);
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return file;
}

// Average width in font units as the classic definition weights lowercase letters and the space,
// which is what the original platform's average width of a metric-compatible face comes to.
double AverageWidth(FT_Face face) {
  static constexpr int kWeights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                       56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
  double sum = 0;
  for (int i = 0; i < 27; ++i) {
    const FT_ULong c = i < 26 ? 'a' + i : ' ';
    if (FT_Load_Char(face, c, FT_LOAD_NO_SCALE) != 0) return 0;
    sum += face->glyph->metrics.horiAdvance * kWeights[i];
  }
  return sum / 1000.0;
}

HRESULT FailFont(const char* faceName, const char* why) {
  std::fprintf(stderr, "font \"%s\": %s\n", faceName ? faceName : "", why);
  return E_FAIL;
}

}  // namespace

HRESULT CreateFont(Device* device, int height, uint32_t width, uint32_t weight,
                   uint32_t /*mipLevels*/, bool italic, uint32_t /*charSet*/,
                   uint32_t /*outputPrecision*/, uint32_t /*quality*/, uint32_t /*pitchAndFamily*/,
                   const char* faceName, Font** font) {
  if (!font) return E_INVALIDARG;
  *font = nullptr;
  auto* gl = dynamic_cast<gl::GlDevice*>(device);
  if (!gl || !faceName || height == 0 || height < -1000 || height > 1000 || width > 1000)
    return E_INVALIDARG;

  const std::string file = MatchFace(faceName, weight, italic);
  if (file.empty()) return FailFont(faceName, "no font file matches");
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return FailFont(faceName, "FreeType did not start");
  FT_Face face = nullptr;
  if (FT_New_Face(library, file.c_str(), 0, &face) != 0 || !FT_IS_SCALABLE(face)) {
    if (face) FT_Done_Face(face);
    FT_Done_FreeType(library);
    return FailFont(faceName, ("cannot read " + file).c_str());
  }

  // A positive height is the cell height (ascent plus descent), a negative one the em height,
  // measured with the face's Windows metrics where it has them.
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const double units = face->units_per_EM;
  const double cellUnits = os2 && os2->usWinAscent + os2->usWinDescent > 0
                               ? os2->usWinAscent + os2->usWinDescent
                               : face->ascender - face->descender;
  const double ascentUnits = os2 && os2->usWinAscent > 0 ? os2->usWinAscent : face->ascender;
  const double emY = height > 0 ? height * units / cellUnits : -height;
  const double average = AverageWidth(face);
  const double emX = width > 0 && average > 0 ? width * units / average : emY;
  FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(std::lround(emX * 64)),
                   static_cast<FT_F26Dot6>(std::lround(emY * 64)), 72, 72);
  const int ascent = static_cast<int>(std::lround(ascentUnits * emY / units));
  const int lineHeight =
      height > 0 ? height : static_cast<int>(std::lround(cellUnits * emY / units));

  // One atlas row after another; a glyph that does not fit is left out rather than clipped.
  std::vector<uint8_t> atlas(kAtlasSize * kAtlasSize, 0);
  Glyph glyphs[256];
  int x = 1, y = 1, rowHeight = 0;
  for (int c = 32; c < 256; ++c) {
    if (c >= 127 && c < 160) continue;
    if (FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER) != 0) continue;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    const int w = static_cast<int>(bitmap.width), h = static_cast<int>(bitmap.rows);
    if (x + w + 1 > kAtlasSize) x = 1, y += rowHeight + 1, rowHeight = 0;
    if (y + h + 1 > kAtlasSize) continue;
    for (int row = 0; row < h; ++row)
      std::memcpy(&atlas[(y + row) * kAtlasSize + x], bitmap.buffer + row * bitmap.pitch, w);
    Glyph& g = glyphs[c];
    g = Glyph{true,
              x,
              y,
              w,
              h,
              face->glyph->bitmap_left,
              face->glyph->bitmap_top,
              face->glyph->advance.x / 64.0f};
    x += w + 1;
    rowHeight = std::max(rowHeight, h);
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);

  GLuint vs = Compile(GL_VERTEX_SHADER, kVertexShader);
  GLuint fs = Compile(GL_FRAGMENT_SHADER, kFragmentShader);
  GLuint program = glCreateProgram();
  if (vs) glAttachShader(program, vs);
  if (fs) glAttachShader(program, fs);
  glLinkProgram(program);
  if (vs) glDeleteShader(vs);
  if (fs) glDeleteShader(fs);
  GLint linked = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (!vs || !fs || !linked) {
    glDeleteProgram(program);
    return FailFont(faceName, "the text program did not build");
  }

  GLuint texture = 0, vao = 0, vbo = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, kAtlasSize, kAtlasSize, 0, GL_RED, GL_UNSIGNED_BYTE,
               atlas.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glGenVertexArrays(1, &vao);
  glGenBuffers(1, &vbo);
  glBindVertexArray(vao);
  glBindBuffer(GL_ARRAY_BUFFER, vbo);
  glBufferData(GL_ARRAY_BUFFER, kBatchGlyphs * kFloatsPerGlyph * sizeof(float), nullptr,
               GL_DYNAMIC_DRAW);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 16, nullptr);
  glEnableVertexAttribArray(1);
  glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 16, reinterpret_cast<const void*>(8));
  // Back to what the backend's shadow holds, so the frames find GL as it says.
  const gl::GlState& known = gl::State();
  glBindVertexArray(known.vertexArray);
  glBindBuffer(GL_ARRAY_BUFFER, known.arrayBuffer);
  glBindTexture(GL_TEXTURE_2D, known.textures[known.activeUnit]);

  *font = new (std::nothrow) GlFont(gl, program, vao, vbo, texture, ascent, lineHeight, glyphs);
  if (!*font) {
    glDeleteProgram(program);
    glDeleteVertexArrays(1, &vao);
    glDeleteBuffers(1, &vbo);
    glDeleteTextures(1, &texture);
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

}  // namespace gfx
