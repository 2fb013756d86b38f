// The binary form of a compiled effect: what the effect-checking child hands the program and what
// `tobrin-fxc --out` writes. docs/compiled-effect.md gives the layout. Little-endian throughout;
// a reader takes its own version only, bounds every count and length before it reserves memory
// for it, and checks every index and extent, so a form cut short, damaged or made by another
// version is refused with the reason and never used.
#pragma once
#include <cstddef>
#include <string>

#include "compiler/compiled_effect.hpp"

namespace compiler {

constexpr char kCompiledEffectMagic[8] = {'T', 'O', 'B', 'R', 'I', 'N', 'F', 'X'};
constexpr size_t kMaxCompiledEffectBytes = 64u << 20;

std::string WriteCompiledEffect(const CompiledEffect& effect);

// False with the reason in *why ("truncated at byte N", "version 2, this reader takes 1", ...).
bool ReadCompiledEffect(const std::string& bytes, CompiledEffect* out, std::string* why);

// Every index in range, every block member inside its block, every count within the backends'
// limits. Read effects are checked by ReadCompiledEffect; the compiler's own satisfy it.
bool ValidateCompiledEffect(const CompiledEffect& effect, std::string* why);

}  // namespace compiler
