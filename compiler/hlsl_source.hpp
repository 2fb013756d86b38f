// The HLSL text of a D3D9 effect as glslang is given it, and glslang's messages mapped back to the
// effect file: small local rewrites for legal legacy HLSL glslang refuses, entry wrappers that bind
// a pass's uniform arguments, the vertex stage of pixel-only passes. No GL.
#pragma once
#include <string>

#include "formats/fx_effect.hpp"

namespace compiler {

// Uniform-block members of globals the effect's code assigns to carry this prefix (see
// RewriteAssignedGlobals); the parameter of that name fills them. A member with kSetFlagPrefix is
// true once the program has set the parameter of that name.
constexpr const char* kAssignedGlobalPrefix = "tobrin_u_";
constexpr const char* kSetFlagPrefix = "tobrin_set_";

// The original compiler lets shaders write to non-static globals (each shader starts from the
// parameter's value); glslang refuses. Every global that some statement assigns is renamed with
// kAssignedGlobalPrefix and followed by a static copy of the old name initialised from it.
// A scalar or vector global whose initialiser the reader could not evaluate
// (`float3 L = normalize(float3(1, 1, 1));`) is treated so too, its copy reading the initialiser
// until the program sets the parameter. A static global initialised by a call to a function of
// the file, which glslang refuses ("Recursion detected"), loses its initialiser to *prologue,
// statements each entry runs first (EntryWithArguments). Lines stay where they were, so messages
// keep their places.
std::string RewriteAssignedGlobals(const formats::FxEffect& effect, const std::string& hlsl,
                                   std::string* prologue);

// glslang takes VPOS and VFACE for its built-ins in some declarations and not in others, with the
// wrong vector sizes; renamed to TOBRIN_VPOS and TOBRIN_VFACE they are always plain inputs, which
// the compile step wires to the built-ins itself.
std::string RenameBuiltinSemantics(const std::string& hlsl);

// `float w[3] = (float[3]) v;`, a C-style cast of a vector to an array, is legal HLSL glslang
// refuses; it becomes the initialiser list `{ (float)(v)[0], (float)(v)[1], (float)(v)[2] }`.
std::string RewriteArrayCasts(const std::string& hlsl);

// `float4(a, b) = ddx(v);`, an assignment to a constructor of variables, is legal HLSL glslang
// cannot parse; it becomes `tobrin_split((float4)(ddx(v)), a, b);`, overloads of which (one per
// way to cut the vector) go in front of the text, on its first line.
std::string RewriteConstructorAssignments(const std::string& hlsl);

// glslang lets the last storage qualifier win, so `const static int N = 4;` is a plain static
// there and `float w[N + 1]` has no constant length; written `static const` it is the constant
// the original compiler takes either order for.
std::string RewriteQualifierOrder(const std::string& hlsl);

// The original compiler scopes a variable declared in a for statement's first clause to the block
// around the loop, so code after the loop may read it (`for (int i = 0; ...) {...} return i;`) and
// a later loop may declare it again; glslang scopes it to the loop. Where the name is used after
// the loop, the declaration moves in front of the loop (and of its attributes), and a later
// `for (int i = ...` of the same type in that block becomes `for (i = ...`. Lines keep their
// numbers.
std::string RewriteLoopScopes(const std::string& hlsl);

// For `compile vs_2_0 Main(2, true)`: appends to *source an entry that runs `prologue`, then
// calls Main with the arguments in place of its uniform parameters, and names it in *entry.
// Without arguments or prologue, and where no other function has its name, *entry is the
// binding's own entry. Returns false with the reason when the function is not declared or the
// argument count does not match its uniform parameters.
bool EntryWithArguments(const formats::FxEffect& effect, const formats::FxShaderBinding& binding,
                        int serial, const std::string& prologue, std::string* source,
                        std::string* entry, std::string* why);

// The vertex stage of a pass that names only a pixel shader: position and texture coordinates
// pass through unchanged.
extern const char kPassThroughVertexShader[];
extern const char kPassThroughEntry[];

// "FILE(LINE)" for a 0-based line of the preprocessed text; lines past its end are `fallback`.
std::string FxLineLabel(const formats::FxPreprocessed& source, int line, int fallback);

// Appends glslang's log ("ERROR: 0:LINE: text") as "FILE(LINE): error: text (context)" lines,
// each once. Lines it cannot place name fallbackLine. Returns the number of messages it held.
int AppendGlslangLog(const std::string& log, const formats::FxPreprocessed& source,
                     int fallbackLine, const std::string& context, std::string* out);

}  // namespace compiler
