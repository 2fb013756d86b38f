// A hidden SDL window with a GL 3.3 core context, for tests of the OpenGL backend that need a
// context but not the device. One per test binary; created on first use.
#pragma once

struct SDL_Window;

namespace gltest {

// Makes the context current; returns false (and the reason in *why) when none can be made.
bool EnsureContext(const char** why);
SDL_Window* Window();

}  // namespace gltest

#define REQUIRE_GL_CONTEXT()                           \
  do {                                                 \
    const char* why_ = nullptr;                        \
    ASSERT_TRUE(gltest::EnsureContext(&why_)) << why_; \
  } while (0)
