#include "app/main.hpp"
#include "render/gfx/gl/effect_check.hpp"

// The effect check runs in a copy of this executable, which must not start the program. The
// program's own checker starts first thing, so that its start (a process, a GL context, the
// compilers' set-up) overlaps the window's creation instead of delaying the effect's build.
int main(int argc, char** argv) {
  gfx::gl::EnterEffectCheckIfAsked(argc, argv);
  gfx::gl::StartEffectCheckAhead();
  return AppMain(GetModuleHandle(nullptr), SW_SHOWDEFAULT);
}
