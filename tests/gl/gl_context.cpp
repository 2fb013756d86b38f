#include "tests/gl/gl_context.hpp"

#include <SDL.h>
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include "render/gfx/gl/effect_check.hpp"
#include "render/gfx/gl/gl_state.hpp"

namespace gltest {
namespace {
SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
const char* failure = nullptr;
}  // namespace

bool EnsureContext(const char** why) {
  // A device made in between had a context of its own: the backend's shadow must learn this one.
  if (context) {
    if (SDL_GL_MakeCurrent(window, context) != 0) return false;
    gfx::gl::SyncStateFromGl();
    return true;
  }
  if (failure) {
    *why = failure;
    return false;
  }
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    *why = failure = "SDL video could not start (no display?)";
    return false;
  }
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  window = SDL_CreateWindow("gl test", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!window) {
    *why = failure = "no GL window";
    return false;
  }
  context = SDL_GL_CreateContext(window);
  if (!context) {
    *why = failure = "no GL 3.3 core context";
    return false;
  }
  if (epoxy_has_gl_extension("GL_ARB_clip_control") || epoxy_gl_version() >= 45)
    glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
  gfx::gl::SyncStateFromGl();
  return true;
}

SDL_Window* Window() { return window; }

}  // namespace gltest

// Each GL test executable checks effects in a copy of itself, which must not run the tests.
int main(int argc, char** argv) {
  gfx::gl::EnterEffectCheckIfAsked(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
