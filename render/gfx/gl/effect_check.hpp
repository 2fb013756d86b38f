// Internal to the OpenGL backend: every effect is compiled and drawn once in a child process, with
// a time and a memory budget, before the program loads it. A shader compiler that crashes, runs
// away with memory or never returns (glslang or the driver's) then costs the child, not the
// program: the parent turns it into an ordinary effect error. The child is the same executable,
// entered from main through EnterEffectCheckIfAsked; it answers with the compiled effect in its
// binary form (compiler/effect_binary.hpp), which the parent reads and checks before use.
#pragma once
#include <cstdint>
#include <string>

#include "compiler/compiled_effect.hpp"
#include "render/gfx/gfx.hpp"

namespace gfx::gl {

// First thing in main of every executable that creates effects. In the checking child (its
// private first argument) it runs the check and exits; elsewhere it notes that this executable can
// check effects, and returns. An executable that never calls it builds its effects unchecked.
void EnterEffectCheckIfAsked(int argc, char** argv);

// Defaults: 10 s and 2 GiB (the memory limit is not applied in sanitizer builds, whose shadow
// memory needs far more address space). Tests shorten the time.
void SetEffectCheckBudget(double seconds, uint64_t bytes);

// Starts a checker ahead of the check, so that its own start overlaps the caller's loading; the
// next check takes it, later ones start their own. Nothing happens when one already waits, or
// inside a checker.
void StartEffectCheckAhead();

enum class EffectCheck : uint8_t {
  Built,      // *out holds the compiled effect the child built and drew
  Failed,     // *result and *error are what CreateEffectFromFile returns
  Unchecked,  // no child could check it (the reason went to standard error): compile it here
};

// Compiles fileName in a child and draws one triangle with every pass of every technique. On a
// crash or an overrun *error is "FILE: error: …" naming it; on a compile error, the child's own
// messages.
EffectCheck CheckEffectInChild(const char* fileName, compiler::CompiledEffect* out, HRESULT* result,
                               std::string* error);

// Draws one triangle into the current framebuffer with every pass of every technique, so a driver
// that compiles only at the first draw (llvmpipe's JIT) meets each program here.
void DrawEveryPass(Effect* effect);

}  // namespace gfx::gl
