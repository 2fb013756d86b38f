#include "app/main.hpp"
#include "render/gfx/gl/effect_check.hpp"

// The effect check runs in a copy of this executable, which must not start the program.
int main(int argc, char** argv) {
  gfx::gl::EnterEffectCheckIfAsked(argc, argv);
  return AppMain(GetModuleHandle(nullptr), SW_SHOWDEFAULT);
}
