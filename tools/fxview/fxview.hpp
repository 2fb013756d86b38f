// tobrin-fxview: draws every technique of an effect file on a mesh, its parameters bound the way
// the effect viewers of Direct3D 9's day bound them (by semantic, then by annotation and name),
// with fixed inputs, and writes one PNG per technique. The same source builds on both systems: it
// talks to the machine only through the window-system and graphics seams.
#pragma once

namespace fxview {

// Exit statuses.
constexpr int kAllDrawn = 0;      // every technique drawn and its picture written
constexpr int kEffectFailed = 1;  // the effect file cannot be read or does not build
constexpr int kUsage = 2;         // bad arguments
constexpr int kNoDevice = 3;      // no window or no graphics device to draw with
constexpr int kNotAllDrawn = 4;   // the effect built, but a technique was not drawn or not written
constexpr int kBadInput = 5;  // the mesh cannot be loaded or the output folder cannot be written

// The whole tool; the entry points of both systems call it.
int Main(int argc, char** argv);

}  // namespace fxview
