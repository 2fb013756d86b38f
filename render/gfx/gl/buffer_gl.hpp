// Internal to the OpenGL backend: the byte buffer that loaders hand back (material arrays, error
// texts). Sized once at creation; its contents are owned by the buffer.
#pragma once
#include <cstdint>
#include <string>

#include "render/gfx/gfx.hpp"

namespace gfx::gl {

// A zero-filled buffer of size bytes; null when it cannot be allocated.
Buffer* CreateBuffer(uint32_t size);
// A buffer holding text and its terminating NUL.
Buffer* CreateTextBuffer(const std::string& text);

}  // namespace gfx::gl
