// Pixel centres where the original platform's rasterizer has them. It puts a pixel's centre on
// whole window coordinates, GL half a pixel further right and up, so the same clip-space position
// lands half a pixel up and to the left of where the original draws it. Every vertex stage the
// backend links gets a main of ours that runs the stage's own and then moves gl_Position back by
// that half pixel, read from a uniform the effect sets for the viewport it draws into.
// Limits: the stage's text starts with its #version line, and the names tobrin_stageMain and
// tobrin_pixelOffset are ours.
#pragma once
#include <string>

namespace gfx::gl {

// vec2, in normalised device units: PixelOffset of the viewport.
constexpr const char* kPixelOffsetUniform = "tobrin_pixelOffset";
// The stage's own main, renamed; a link log that names it means the stage has none.
constexpr const char* kStageMain = "tobrin_stageMain";

// The vertex stage `glsl` with its main renamed and ours appended. The stage's lines keep their
// numbers, so driver messages still name the lines they named.
std::string WithOriginalPixelCentres(const std::string& glsl);

// The move, in normalised device units with GL's y running up, for a viewport of width x height
// pixels whose rasterizer snaps vertices to 1 / 2^subpixelBits of a pixel (GL_SUBPIXEL_BITS):
// right and down on screen by half a pixel less one step of that grid. Zero for an empty viewport.
void PixelOffset(int width, int height, int subpixelBits, float offset[2]);

}  // namespace gfx::gl
