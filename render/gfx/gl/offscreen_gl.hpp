// A GL 3.3 core context with nothing on screen, current on the calling thread, drawing into a
// small framebuffer object of its own: for the effect check and tobrin-fxc's test draw. Lives
// until the process exits.
#pragma once
#include <string>

namespace gfx::gl {

enum class OffscreenKind : uint8_t {
  HiddenWindow,  // SDL's hidden window on the display: the driver the program's window gets
  Surfaceless,   // EGL with no display at all (EGL_MESA_platform_surfaceless), else a hidden window
};

// False with the reason in *why; *how says which context was made.
bool MakeOffscreenContext(OffscreenKind kind, std::string* how, std::string* why);

}  // namespace gfx::gl
