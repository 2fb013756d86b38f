// Internal to the OpenGL backend: the device class, the render-state mapping the effect shares,
// and a read-back of the back buffer for tests. Not part of the graphics seam.
#pragma once
#include <epoxy/gl.h>

#include <cstdint>
#include <vector>

#include "render/gfx/gl/gl_objects.hpp"

struct SDL_Window;

namespace gfx::gl {

// Cull modes name the winding that is culled, as seen on the screen. The back buffer is shown
// unflipped and clip space keeps +y up, so on-screen winding matches the original platform. The
// front face is always GL_CCW (as the effect's passes set it too): CULL_CW culls GL_BACK (the
// clockwise triangles), CULL_CCW culls GL_FRONT, CULL_NONE culls nothing. False for other values.
bool ApplyCullMode(uint32_t cullMode);

class GlDevice final : public RefCounted<Device> {
 public:
  // Takes ownership of the context; the window stays the window system's.
  GlDevice(SDL_Window* window, void* glContext, GLuint framebuffer, GLuint colour, GLuint depth,
           int width, int height);
  ~GlDevice() override;

  HRESULT SetRenderState(RenderStateType state, uint32_t value) override;
  HRESULT SetTransform(TransformStateType state, const Matrix* matrix) override;
  HRESULT Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, uint32_t colour, float z,
                uint32_t stencil) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Present(const Rect* source, const Rect* destination, HWND window,
                  const void* dirtyRegion) override;

  int Width() const { return width_; }
  int Height() const { return height_; }
  GLuint Framebuffer() const { return framebuffer_; }

 private:
  SDL_Window* window_;
  void* glContext_;
  GLuint framebuffer_, colour_, depth_;
  int width_, height_;
  bool inScene_ = false;
};

// The back buffer as RGBA8, rows from the top of the image down (row 0 = top, as the program's
// pixel coordinates count), sized to it (gfx::ReadBackBuffer is the seam's form). Returns false
// when the device is not an OpenGL device.
bool ReadBackBuffer(Device* device, std::vector<uint8_t>* rgba, int* width, int* height);

}  // namespace gfx::gl
