// The bare-GL baseline: the same scene as RenderFrame, drawn with the same vertex arrays, the
// same textures, programs of the same shading, the same uniform values and the same draw order, but
// with uniform locations looked up once, no effect layer, no names and no state saved or restored.
// The overlay is drawn through the same font object, so text costs the same on both sides.
// Limits: needs the program's resources loaded (InitDevice, LoadResources) and a working effect.
#pragma once
#include <string>

namespace bench {

// Reads an effect file of our GLSL format holding the same scene as the program's effect for the
// pass and sampler states, builds it for its programs, captures the meshes' draw ranges from the
// live objects, and caches every uniform location.
bool SetUpBaseline(const char* effectFile, std::string* error);
// One frame of the technique the program currently has (AppState.colorAnimationActive) with
// SceneSettings.number_objects copies per list, presented like the program presents.
void DrawBaselineFrame();
// Starts the baseline's animation clock at the given running time from now on, so that a
// baseline frame can be compared with a program frame of the same moment.
void SyncBaselineClock(double elapsedSeconds);
// Puts back the device state the program's frames expect; call after a run of baseline frames.
void RestoreProgramState();
void TearDownBaseline();

}  // namespace bench
