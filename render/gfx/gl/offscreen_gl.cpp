#include "render/gfx/gl/offscreen_gl.hpp"

#include <SDL.h>
#include <dlfcn.h>
#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include "render/gfx/gl/gl_state.hpp"

namespace gfx::gl {
namespace {

constexpr int kSize = 16;

bool HiddenWindow(std::string* why) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    *why = std::string("no video: ") + SDL_GetError();
    return false;
  }
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_Window* window =
      SDL_CreateWindow("effect check", 0, 0, kSize, kSize, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!window) {
    *why = std::string("no window: ") + SDL_GetError();
    return false;
  }
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context || SDL_GL_MakeCurrent(window, context) != 0 || epoxy_gl_version() < 33) {
    *why = "no OpenGL 3.3 core context";
    return false;
  }
  return true;
}

bool Surfaceless(std::string* why) {
  // libepoxy ends the process when it cannot load libEGL, so its presence is asked first.
  if (!::dlopen("libEGL.so.1", RTLD_LAZY | RTLD_LOCAL)) {
    *why = "no libEGL.so.1";
    return false;
  }
  if (!epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_MESA_platform_surfaceless")) {
    *why = "EGL offers no surfaceless platform";
    return false;
  }
  EGLDisplay display =
      eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  EGLint major = 0, minor = 0;
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor) ||
      !eglBindAPI(EGL_OPENGL_API)) {
    *why = "the surfaceless EGL display does not start";
    return false;
  }
  const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                               3,
                               EGL_CONTEXT_MINOR_VERSION,
                               3,
                               EGL_CONTEXT_OPENGL_PROFILE_MASK,
                               EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                               EGL_NONE};
  const EGLContext context =
      epoxy_has_egl_extension(display, "EGL_KHR_no_config_context") &&
              epoxy_has_egl_extension(display, "EGL_KHR_surfaceless_context")
          ? eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes)
          : EGL_NO_CONTEXT;
  if (context == EGL_NO_CONTEXT ||
      !eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context) ||
      epoxy_gl_version() < 33) {
    *why = "no surfaceless OpenGL 3.3 core context";
    return false;
  }
  return true;
}

}  // namespace

bool MakeOffscreenContext(OffscreenKind kind, std::string* how, std::string* why) {
  std::string eglWhy;
  if (kind == OffscreenKind::Surfaceless && Surfaceless(&eglWhy)) {
    *how = "surfaceless EGL";
  } else if (HiddenWindow(why)) {
    *how = "a hidden window";
  } else {
    if (!eglWhy.empty()) *why = eglWhy + "; " + *why;
    return false;
  }
  // A target of our own: a surfaceless context has no default framebuffer, and a hidden window's
  // may be incomplete, where a driver could skip the draw (and the compile it would cause).
  GLuint framebuffer = 0, buffers[2] = {};
  glGenFramebuffers(1, &framebuffer);
  glGenRenderbuffers(2, buffers);
  glBindRenderbuffer(GL_RENDERBUFFER, buffers[0]);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kSize, kSize);
  glBindRenderbuffer(GL_RENDERBUFFER, buffers[1]);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, kSize, kSize);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, buffers[0]);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, buffers[1]);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    *why = "no framebuffer to draw into";
    return false;
  }
  glViewport(0, 0, kSize, kSize);
  SyncStateFromGl();
  return true;
}

}  // namespace gfx::gl
