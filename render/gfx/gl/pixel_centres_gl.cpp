#include "render/gfx/gl/pixel_centres_gl.hpp"

#include <string>

namespace gfx::gl {
namespace {

// Times w, since the offset is in normalised device units and the divide by w comes later. A
// macro renames the stage's main rather than a search for it: the preprocessor finds every
// spelling (prototypes, comments in between, `main(void)`) and none inside comments or longer
// names. The stage's main is declared first so that a stage without one fails to link, as it
// would without us, rather than to compile at a line past its end.
std::string OurMain() {
  const std::string offset = kPixelOffsetUniform, stageMain = kStageMain;
  return "\n#undef main\nuniform vec2 " + offset + ";\nvoid " + stageMain +
         "();\nvoid main() {\n  " + stageMain + "();\n  gl_Position.xy += " + offset +
         " * gl_Position.w;\n}\n";
}

}  // namespace

std::string WithOriginalPixelCentres(const std::string& glsl) {
  // The #version line, which must stay first, and the #extension lines after it, which must
  // come before any other text.
  size_t head = 0;
  int lines = 0;
  bool ended = true;
  while (ended && (head == 0 ? glsl.compare(0, 8, "#version") == 0
                             : glsl.compare(head, 10, "#extension") == 0)) {
    const size_t end = glsl.find('\n', head);
    ended = end != std::string::npos;
    head = ended ? end + 1 : glsl.size();
    ++lines;
  }
  std::string text;
  const std::string ours = OurMain();
  text.reserve(glsl.size() + ours.size() + 64);
  text.append(glsl, 0, head);
  if (!ended) text += '\n';
  text += "#define main ";
  text += kStageMain;
  text += '\n';
  // The line after the directives keeps its number in the stage.
  text += "#line " + std::to_string(lines + 1) + "\n";
  text.append(glsl, head, std::string::npos);
  text += ours;
  return text;
}

// Exactly half a pixel would leave an edge through a pixel centre on the original platform through
// a GL pixel centre too, where the driver's tie rule decides, and GL names none: Mesa, for one,
// keeps the bottom edge of a framebuffer object where the original keeps the top one, so a quad
// over the whole target lost its top row. One grid step less puts such an edge just above or left
// of the centre, after snapping too, so along the axes the original's rule holds whatever the
// driver's: a pixel on a left or top edge is drawn, one on a right or bottom edge is not. On a
// slanted edge through a centre the two can differ only where it is no steeper than a diagonal.
// Edges that miss a centre by more than that step land as they would at exactly half a pixel.
void PixelOffset(int width, int height, int subpixelBits, float offset[2]) {
  const int bits = subpixelBits < 4 ? 4 : subpixelBits > 16 ? 16 : subpixelBits;  // GL's minimum
  // Half a pixel is 1 / width in normalised device units; a grid step is 2 / (width * 2^bits).
  const float shift = 1.0f - 2.0f / static_cast<float>(1 << bits);
  offset[0] = width > 0 ? shift / static_cast<float>(width) : 0.0f;
  offset[1] = height > 0 ? -shift / static_cast<float>(height) : 0.0f;
}

}  // namespace gfx::gl
