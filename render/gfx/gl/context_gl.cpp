// The graphics system object: the desktop mode and the device on the main window (an OpenGL 3.3
// core context drawing into an offscreen RGBA8 + 16-bit depth back buffer of the client size).
// Every failure is a failed result with a null device and a line on standard error saying why.
#include <SDL.h>

#include <cstdio>
#include <new>

#include "render/gfx/gl/device_gl.hpp"
#include "render/gfx/gl/effect_check.hpp"
#include "render/gfx/gl/gl_state.hpp"

namespace gfx {
namespace {

HRESULT Fail(const char* what, Device** device) {
  std::fprintf(stderr, "graphics: cannot create the device: %s\n", what);
  *device = nullptr;
  return E_FAIL;
}

class GlContext final : public gl::RefCounted<Context> {
 public:
  HRESULT GetAdapterDisplayMode(uint32_t adapter, DisplayMode* mode) override {
    if (adapter != ADAPTER_DEFAULT || !mode) return E_INVALIDARG;
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) return E_FAIL;
    mode->Width = static_cast<uint32_t>(desktop.w);
    mode->Height = static_cast<uint32_t>(desktop.h);
    mode->RefreshRate = static_cast<uint32_t>(desktop.refresh_rate);
    mode->Format = FMT_X8R8G8B8;
    return S_OK;
  }

  HRESULT CreateDevice(uint32_t adapter, uint32_t /*deviceType*/, HWND focusWindow,
                       uint32_t /*behaviourFlags*/, PresentParameters* parameters,
                       Device** device) override {
    if (!device) return E_INVALIDARG;
    *device = nullptr;
    if (adapter != ADAPTER_DEFAULT || !parameters) return Fail("invalid arguments", device);
    HWND handle = parameters->hDeviceWindow ? parameters->hDeviceWindow : focusWindow;
    // The window system hands its SDL window out as the window handle.
    SDL_Window* window = reinterpret_cast<SDL_Window*>(handle);
    if (!window) return Fail("no window", device);
    if (!(SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL))
      return Fail("the window was not created for OpenGL", device);

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) return Fail(SDL_GetError(), device);
    if (SDL_GL_MakeCurrent(window, context) != 0 || epoxy_gl_version() < 33) {
      SDL_GL_DeleteContext(context);
      return Fail("no OpenGL 3.3 core context", device);
    }
    gl::SyncStateFromGl();      // a new context: the shadow learns its state once
    SDL_GL_SetSwapInterval(0);  // immediate presentation: the frame rate is not tied to vsync
    // Depth 0..1 as the left-handed projection expects; without it near depths get clipped early.
    if (epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control"))
      glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);

    int width = static_cast<int>(parameters->BackBufferWidth);
    int height = static_cast<int>(parameters->BackBufferHeight);
    if (width == 0 || height == 0) SDL_GL_GetDrawableSize(window, &width, &height);
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
      SDL_GL_DeleteContext(context);
      return Fail("the window has no drawable area", device);
    }

    GLuint framebuffer = 0, colour = 0, depth = 0;
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    // sRGB-encoded so that a pass's SRGBWriteEnable has something to encode for; with
    // GL_FRAMEBUFFER_SRGB off, as it is outside such passes, its bytes are written, blended and
    // read exactly as GL_RGBA8's.
    glRenderbufferStorage(GL_RENDERBUFFER, GL_SRGB8_ALPHA8, width, height);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
    glGenFramebuffers(1, &framebuffer);
    gl::BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
      glDeleteFramebuffers(1, &framebuffer);
      glDeleteRenderbuffers(1, &colour);
      glDeleteRenderbuffers(1, &depth);
      SDL_GL_DeleteContext(context);
      return Fail("the back buffer could not be made", device);
    }
    gl::SetViewport(0, 0, width, height);

    // The original platform's defaults for a device with a depth buffer.
    gl::SetEnabled(GL_DEPTH_TEST, true);
    gl::SetDepthFunc(GL_LEQUAL);
    gl::SetDepthMask(true);
    gl::ApplyCullMode(CULL_CCW);
    gl::SetEnabled(GL_BLEND, false);
    gl::SetBlendFunc(GL_ONE, GL_ZERO, GL_ONE, GL_ZERO);
    gl::SetPolygonMode(GL_FILL);

    parameters->BackBufferWidth = static_cast<uint32_t>(width);
    parameters->BackBufferHeight = static_cast<uint32_t>(height);
    *device =
        new (std::nothrow) gl::GlDevice(window, context, framebuffer, colour, depth, width, height);
    if (!*device) return E_OUTOFMEMORY;
    return S_OK;
  }
};

}  // namespace

Context* Create(uint32_t sdkVersion) {
  if (sdkVersion != SDK_VERSION) return nullptr;
  if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
  // The effect comes last in the program's loading; its checker starts now and is ready by then.
  // Only the first context does this: the tests make many and build effects in few of them.
  static bool first = true;
  if (first) {
    first = false;
    gl::StartEffectCheckAhead();
  }
  return new (std::nothrow) GlContext();
}

}  // namespace gfx
