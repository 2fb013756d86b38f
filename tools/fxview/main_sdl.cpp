// The tool's entry on Linux. Its effects are checked in a copy of this executable, entered here,
// which must not run the tool.
#include "render/gfx/gl/effect_check.hpp"
#include "tools/fxview/fxview.hpp"

int main(int argc, char** argv) {
  gfx::gl::EnterEffectCheckIfAsked(argc, argv);
  return fxview::Main(argc, argv);
}
