// Looks at the GL calls the real code makes, by swapping libepoxy's dispatch pointers (the
// epoxy_gl* globals every GL call in the process goes through) for wrappers while a probe runs.
// Used to learn which vertex array and index range a mesh draws and which program each pass uses,
// so the baseline draws exactly the same objects, and to count calls and redundant state changes
// per frame. Limits: install only after the functions were called once (epoxy resolves a pointer
// on its first call and would overwrite the wrapper); single-threaded GL use only.
#pragma once
#include <epoxy/gl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "render/gfx/gfx.hpp"

namespace bench {

struct DrawRange {
  GLuint vao = 0;
  GLenum mode = GL_TRIANGLES, type = GL_UNSIGNED_INT;
  GLsizei count = 0;
  uintptr_t offset = 0;  // bytes into the element buffer
};

// What mesh->DrawSubset(subset) draws; nothing reaches the GPU while it is captured.
bool CaptureMeshDraw(gfx::Mesh* mesh, uint32_t subset, DrawRange* out);

struct GlCallCount {
  std::string name;
  uint64_t calls = 0;
  uint64_t redundant = 0;  // calls that set state to the value it already had
};

// Wraps the counted functions. The state model starts empty, so run one frame, ResetGlCounts(),
// then the frame to report: everything the first frame set is known by then. While the wrappers
// are in, every wrapped call is also bracketed by EnterDriver/LeaveDriver (alloc_count.hpp), as
// is SDL_GL_SwapWindow at all times, so allocations are told apart by who made them.
void GlCountingOn();
void ResetGlCounts();
// Unwraps and returns the functions called at least once since the last reset, busiest first.
std::vector<GlCallCount> GlCountingOff();

}  // namespace bench
