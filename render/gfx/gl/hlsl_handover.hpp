// Internal to the OpenGL backend: the checking child compiles every HLSL stage of an effect before
// the program does; it hands its translations back with its answer, so that the program's own
// build links them instead of running glslang a second time on the same text. Limits: one
// effect's worth at a time; an answer that does not read back whole is ignored.
#pragma once
#include <string>

#include "render/gfx/gl/hlsl_compile.hpp"

namespace gfx::gl {

// In the child: keep every stage compiled from now on, for RecordedTranslations().
void RecordTranslations();
// The kept stages as the answer carries them.
std::string RecordedTranslations();

// In the program: the child's answer. False, and nothing kept, when it does not read back whole.
bool TakeTranslations(const std::string& answer);
// After the build that used them.
void ForgetTranslations();

// Used by CompileHlslStage: a handed-over stage for exactly this request, and the recording.
bool FindTranslation(const HlslRequest& request, HlslStageCode* out);
void KeepTranslation(const HlslRequest& request, const HlslStageCode& code);

}  // namespace gfx::gl
