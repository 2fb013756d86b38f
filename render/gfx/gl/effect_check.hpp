// Internal to the OpenGL backend: every effect is built and drawn once in a child process, with a
// time and a memory budget, before the program builds it for real. A shader compiler that
// crashes, runs away with memory or never returns (GLSL or HLSL alike) then costs the child, not
// the program: the parent turns it into an ordinary effect error.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "render/gfx/gfx.hpp"

namespace gfx::gl {

// Defaults: 10 s and 2 GiB (the memory limit is not applied in sanitizer builds, whose shadow
// memory needs far more address space). Tests shorten the time.
void SetEffectCheckBudget(double seconds, uint64_t bytes);

// Starts a checker ahead of the check, so that its own start overlaps the caller's loading; the
// next check takes it, later ones start their own. Nothing happens when one already waits, or
// inside a checker.
void StartEffectCheckAhead();

// True in the checking child, where CreateEffectFromFile builds without a check of its own.
bool InsideEffectCheck();

// Builds fileName in a child and draws one triangle with every pass of every technique. True when
// the child built and drew it; otherwise false with *result and *error set to what
// CreateEffectFromFile is to return: the child's own error text, or "FILE: error: …" naming the
// crash or the overrun. When no child can be started or it gets no GL context, the reason goes to
// standard error and the result is true: the effect is then built unchecked, as before.
bool CheckEffectInChild(const char* fileName, HRESULT* result, std::string* error);

// The techniques of an effect of this backend, in file order (effect_gl.cpp).
std::vector<std::string> TechniqueNames(Effect* effect);

}  // namespace gfx::gl
