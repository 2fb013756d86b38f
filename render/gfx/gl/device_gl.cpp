// The OpenGL device: render states, clears and presentation of the offscreen back buffer.
// Limits: no stencil buffer (a stencil clear is an invalid call). Transforms go to the device's
// fixed-function values, which the passes drawn without a vertex shader read.
#include "render/gfx/gl/device_gl.hpp"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "render/gfx/gl/fixed_values_gl.hpp"
#include "render/gfx/gl/gl_state.hpp"

namespace gfx::gl {

bool ApplyCullMode(uint32_t cullMode) {
  switch (cullMode) {
    case CULL_NONE: SetEnabled(GL_CULL_FACE, false); return true;
    case CULL_CW:
    case CULL_CCW:
      SetEnabled(GL_CULL_FACE, true);
      SetFrontFace(GL_CCW);
      SetCullFace(cullMode == CULL_CW ? GL_BACK : GL_FRONT);
      return true;
    default: return false;
  }
}

GlDevice::GlDevice(SDL_Window* window, void* glContext, GLuint framebuffer, GLuint colour,
                   GLuint depth, int width, int height)
    : window_(window),
      glContext_(glContext),
      framebuffer_(framebuffer),
      colour_(colour),
      depth_(depth),
      width_(width),
      height_(height) {
  ResetFixedValues();
}

GlDevice::~GlDevice() {
  SDL_GL_MakeCurrent(window_, glContext_);
  BindFramebuffer(GL_FRAMEBUFFER, 0);
  glDeleteFramebuffers(1, &framebuffer_);
  glDeleteRenderbuffers(1, &colour_);
  glDeleteRenderbuffers(1, &depth_);
  SDL_GL_MakeCurrent(window_, nullptr);
  SDL_GL_DeleteContext(glContext_);
}

HRESULT GlDevice::SetRenderState(RenderStateType state, uint32_t value) {
  switch (state) {
    case RS_CULLMODE: return ApplyCullMode(value) ? S_OK : E_INVALIDARG;
    case RS_ZENABLE:  // 2 asks for a W-buffer; the depth buffer stands in for it
      SetEnabled(GL_DEPTH_TEST, value != 0);
      return S_OK;
    case RS_ZWRITEENABLE: SetDepthMask(value != 0); return S_OK;
    case RS_ALPHABLENDENABLE: SetEnabled(GL_BLEND, value != 0); return S_OK;
    case RS_FILLMODE: {
      static constexpr GLenum kModes[] = {GL_POINT, GL_LINE, GL_FILL};  // point 1, wire 2, solid 3
      if (value < 1 || value > 3) return E_INVALIDARG;
      SetPolygonMode(kModes[value - 1]);
      return S_OK;
    }
  }
  return E_INVALIDARG;
}

HRESULT GlDevice::SetTransform(TransformStateType state, const Matrix* matrix) {
  if (!matrix) return E_INVALIDARG;
  uint32_t slot = 0;
  if (state == TS_WORLD)
    slot = compiler::kFixedWorld;
  else if (state == TS_VIEW)
    slot = compiler::kFixedView;
  else if (state == TS_PROJECTION)
    slot = compiler::kFixedProjection;
  else
    return E_INVALIDARG;
  static_assert(sizeof(Matrix) == 16 * sizeof(float), "a matrix is 16 packed floats");
  std::memcpy(FixedValues() + compiler::FixedSlotOf(slot).offset, matrix, sizeof(Matrix));
  return S_OK;
}

HRESULT GlDevice::Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, uint32_t colour,
                        float z, uint32_t /*stencil*/) {
  if (flags & CLEAR_STENCIL) return E_INVALIDARG;  // the back buffer has no stencil
  if (!(flags & (CLEAR_TARGET | CLEAR_ZBUFFER))) return E_INVALIDARG;
  if (rectCount > 0 && !rects) return E_INVALIDARG;

  // A clear must reach every pixel whatever masks and scissor the last pass left behind, with
  // the colour as given: a pass's sRGB writes do not convert it.
  const GlState saved = State();
  SetEnabled(GL_FRAMEBUFFER_SRGB, false);
  GLbitfield mask = 0;
  if (flags & CLEAR_TARGET) {
    SetColourMask(true, true, true, true);
    glClearColor(((colour >> 16) & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f,
                 (colour & 0xFF) / 255.0f, ((colour >> 24) & 0xFF) / 255.0f);
    mask |= GL_COLOR_BUFFER_BIT;
  }
  if (flags & CLEAR_ZBUFFER) {
    SetDepthMask(true);
    glClearDepth(z < 0.0f ? 0.0 : z > 1.0f ? 1.0 : z);
    mask |= GL_DEPTH_BUFFER_BIT;
  }
  if (rectCount == 0) {
    SetEnabled(GL_SCISSOR_TEST, false);
    glClear(mask);
  } else {
    // Rectangles count from the top-left; the framebuffer's rows count from the bottom.
    SetEnabled(GL_SCISSOR_TEST, true);
    for (uint32_t i = 0; i < rectCount; ++i) {
      const Rect& r = rects[i];
      if (r.right <= r.left || r.bottom <= r.top) continue;
      SetScissor(r.left, height_ - r.bottom, r.right - r.left, r.bottom - r.top);
      glClear(mask);
    }
  }

  const bool* m = saved.colourMask;
  SetColourMask(m[0], m[1], m[2], m[3]);
  SetDepthMask(saved.depthMask);
  SetEnabled(GL_SCISSOR_TEST, saved.scissorTest);
  SetEnabled(GL_FRAMEBUFFER_SRGB, saved.framebufferSrgb);
  const GLint* box = saved.scissorBox;
  SetScissor(box[0], box[1], box[2], box[3]);
  return S_OK;
}

HRESULT GlDevice::BeginScene() {
  if (inScene_) return E_INVALIDARG;
  inScene_ = true;
  return S_OK;
}

HRESULT GlDevice::EndScene() {
  if (!inScene_) return E_INVALIDARG;
  inScene_ = false;
  return S_OK;
}

HRESULT GlDevice::Present(const Rect*, const Rect*, HWND, const void*) {
  // The back buffer keeps its creation size; the window shows it stretched to its current size.
  int drawableWidth = 0, drawableHeight = 0;
  SDL_GL_GetDrawableSize(window_, &drawableWidth, &drawableHeight);
  const bool scissor = State().scissorTest, srgb = State().framebufferSrgb;
  SetEnabled(GL_SCISSOR_TEST, false);      // the blit obeys the scissor test
  SetEnabled(GL_FRAMEBUFFER_SRGB, false);  // and would decode the back buffer's bytes
  BindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
  BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  if (drawableWidth > 0 && drawableHeight > 0)
    glBlitFramebuffer(0, 0, width_, height_, 0, 0, drawableWidth, drawableHeight,
                      GL_COLOR_BUFFER_BIT, GL_LINEAR);
  SDL_GL_SwapWindow(window_);
  BindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  SetEnabled(GL_SCISSOR_TEST, scissor);
  SetEnabled(GL_FRAMEBUFFER_SRGB, srgb);
  return S_OK;
}

bool ReadBackBuffer(Device* device, std::vector<uint8_t>* rgba, int* width, int* height) {
  auto* gl = dynamic_cast<GlDevice*>(device);
  if (!gl) return false;
  rgba->assign(static_cast<size_t>(gl->Width()) * gl->Height() * 4, 0);
  *width = gl->Width();
  *height = gl->Height();
  return !Failed(gfx::ReadBackBuffer(device, static_cast<uint32_t>(*width),
                                     static_cast<uint32_t>(*height), rgba->data()));
}

}  // namespace gfx::gl

namespace gfx {

HRESULT ReadBackBuffer(Device* device, uint32_t width, uint32_t height, uint8_t* rgba) {
  auto* gl = dynamic_cast<gl::GlDevice*>(device);
  if (!gl || !rgba) return E_INVALIDARG;
  if (static_cast<uint32_t>(gl->Width()) != width || static_cast<uint32_t>(gl->Height()) != height)
    return E_INVALIDARG;
  gl::BindFramebuffer(GL_READ_FRAMEBUFFER, gl->Framebuffer());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, gl->Width(), gl->Height(), GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  // GL hands rows bottom-up; turn them so row 0 is the top of the picture.
  const size_t stride = static_cast<size_t>(width) * 4;
  for (uint32_t y = 0; y < height / 2; ++y) {
    uint8_t* top = rgba + y * stride;
    std::swap_ranges(top, top + stride, rgba + (height - 1 - y) * stride);
  }
  return S_OK;
}

}  // namespace gfx
