// Wrappers over libepoxy's dispatch pointers: capture of mesh draws and pass programs, and call
// counting with a small model of the bound state to tell redundant calls from needed ones.
#include "bench/gl_probe.hpp"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <tuple>

#include "bench/alloc_count.hpp"
#include "render/gfx/gl/gl_state.hpp"

namespace bench {
namespace {

// ---- capture -------------------------------------------------------------------------------

GLuint capturedVao = 0;
DrawRange* captureTarget = nullptr;
bool captured = false;

void RecordBindVertexArray(GLuint vao) {
  if (vao) capturedVao = vao;
}

void RecordDrawElements(GLenum mode, GLsizei count, GLenum type, const void* offset) {
  captureTarget->vao = capturedVao;
  captureTarget->mode = mode;
  captureTarget->count = count;
  captureTarget->type = type;
  captureTarget->offset = reinterpret_cast<uintptr_t>(offset);
  captured = true;
}

// ---- counting ------------------------------------------------------------------------------

constexpr int kMaxHooks = 96;
struct HookEntry {
  const char* name;
  void (*restore)();
  uint64_t calls, redundant;
};
HookEntry hooks[kMaxHooks];
int hookCount = 0;

void Count(int id, bool redundant) {
  ++hooks[id].calls;
  if (redundant) ++hooks[id].redundant;
}

struct DriverScope {
  DriverScope() { EnterDriver(); }
  ~DriverScope() { LeaveDriver(); }
};

struct BenchScope {
  BenchScope() { EnterBench(); }
  ~BenchScope() { LeaveBench(); }
};

template <auto* Pointer, class Function>
struct Hook;

template <auto* Pointer, class R, class... A>
struct Hook<Pointer, R (*)(A...)> {
  static inline R (*real)(A...) = nullptr;
  static inline bool (*check)(A...) = nullptr;
  static inline int id = 0;
  static R Call(A... a) {
    {
      // The state model's bookkeeping allocates; that is the bench's, not the frame's.
      const BenchScope bench;
      Count(id, check && check(a...));
    }
    const DriverScope scope;
    return real(a...);
  }
  static void Restore() { *Pointer = real; }
  static void Install(const char* name, bool (*redundancy)(A...)) {
    if (hookCount == kMaxHooks) return;
    id = hookCount++;
    hooks[id] = HookEntry{name, &Restore, 0, 0};
    real = *Pointer;
    check = redundancy;
    *Pointer = &Call;
  }
};

#define HOOK(fn) Hook<&epoxy_##fn, decltype(epoxy_##fn)>::Install(#fn, nullptr)
#define HOOK_CHECKED(fn, ...) Hook<&epoxy_##fn, decltype(epoxy_##fn)>::Install(#fn, __VA_ARGS__)

// The bound state as the calls since GlCountingOn() left it. Unknown entries never count as
// redundant.
struct Model {
  std::map<GLenum, GLuint> values;  // single-valued state, keyed by a GL enum naming it
  std::map<GLenum, bool> enabled;
  GLuint program = 0;
  bool programKnown = false;
  GLenum activeUnit = GL_TEXTURE0;
  std::map<std::pair<GLenum, GLenum>, GLuint> textures;  // (unit, target)
  std::map<GLuint, GLuint> samplers;
  std::map<std::pair<GLuint, GLint>, std::array<float, 16>> uniforms;  // (program, location)
  std::map<GLenum, std::array<double, 4>> tuples;                      // multi-valued state
};
Model model;

// Records the value and says whether the model already held it.
template <class Key, class Value>
bool Same(std::map<Key, Value>* map, const Key& key, const Value& value) {
  const auto found = map->find(key);
  const bool same = found != map->end() && found->second == value;
  (*map)[key] = value;
  return same;
}

bool SameValue(GLenum key, GLuint value) { return Same(&model.values, key, value); }

bool SameTuple(GLenum key, double a, double b = 0, double c = 0, double d = 0) {
  return Same(&model.tuples, key, std::array<double, 4>{a, b, c, d});
}

bool SameEnable(GLenum cap, bool on) { return Same(&model.enabled, cap, on); }

bool SameUniform(GLint location, const float* values, size_t floats) {
  if (location < 0 || !model.programKnown) return false;
  std::array<float, 16> value{};
  std::memcpy(value.data(), values, std::min<size_t>(floats, 16) * sizeof(float));
  const auto key = std::make_pair(model.program, location);
  const auto found = model.uniforms.find(key);
  const bool same = found != model.uniforms.end() && found->second == value;
  model.uniforms[key] = value;
  return same;
}

// Distinct keys for state that has no single GL enum of its own.
constexpr GLenum kBlendFuncKey = 0x7F000001, kBlendEquationKey = 0x7F000002;

void InstallCounting() {
  HOOK_CHECKED(glUseProgram, [](GLuint p) {
    const bool same = model.programKnown && model.program == p;
    model.program = p;
    model.programKnown = true;
    return same;
  });
  HOOK_CHECKED(glBindVertexArray, [](GLuint v) { return SameValue(GL_VERTEX_ARRAY_BINDING, v); });
  HOOK_CHECKED(glBindBuffer, [](GLenum target, GLuint b) { return SameValue(target, b); });
  HOOK_CHECKED(glBindFramebuffer, [](GLenum target, GLuint f) {
    if (target != GL_FRAMEBUFFER) return SameValue(target, f);
    const bool read = SameValue(GL_READ_FRAMEBUFFER, f);
    return SameValue(GL_DRAW_FRAMEBUFFER, f) && read;
  });
  HOOK_CHECKED(glActiveTexture, [](GLenum unit) {
    const bool same = model.activeUnit == unit && model.values.count(GL_ACTIVE_TEXTURE);
    model.activeUnit = unit;
    model.values[GL_ACTIVE_TEXTURE] = unit;
    return same;
  });
  HOOK_CHECKED(glBindTexture, [](GLenum target, GLuint t) {
    const auto key = std::make_pair(model.activeUnit, target);
    const auto found = model.textures.find(key);
    const bool same = found != model.textures.end() && found->second == t;
    model.textures[key] = t;
    return same;
  });
  HOOK_CHECKED(glBindSampler, [](GLuint unit, GLuint s) {
    const auto found = model.samplers.find(unit);
    const bool same = found != model.samplers.end() && found->second == s;
    model.samplers[unit] = s;
    return same;
  });
  HOOK_CHECKED(glEnable, [](GLenum cap) { return SameEnable(cap, true); });
  HOOK_CHECKED(glDisable, [](GLenum cap) { return SameEnable(cap, false); });
  HOOK_CHECKED(glDepthMask, [](GLboolean m) { return SameValue(GL_DEPTH_WRITEMASK, m); });
  HOOK_CHECKED(glCullFace, [](GLenum m) { return SameValue(GL_CULL_FACE_MODE, m); });
  HOOK_CHECKED(glFrontFace, [](GLenum m) { return SameValue(GL_FRONT_FACE, m); });
  HOOK_CHECKED(glDepthFunc, [](GLenum f) { return SameValue(GL_DEPTH_FUNC, f); });
  HOOK_CHECKED(glPolygonMode, [](GLenum, GLenum m) { return SameValue(GL_POLYGON_MODE, m); });
  HOOK_CHECKED(glBlendFunc,
               [](GLenum s, GLenum d) { return SameTuple(kBlendFuncKey, s, d, s, d); });
  HOOK_CHECKED(glBlendFuncSeparate, [](GLenum s, GLenum d, GLenum sa, GLenum da) {
    return SameTuple(kBlendFuncKey, s, d, sa, da);
  });
  HOOK_CHECKED(glBlendEquation, [](GLenum e) { return SameTuple(kBlendEquationKey, e, e); });
  HOOK_CHECKED(glBlendEquationSeparate,
               [](GLenum e, GLenum a) { return SameTuple(kBlendEquationKey, e, a); });
  HOOK_CHECKED(glColorMask, [](GLboolean r, GLboolean g, GLboolean b, GLboolean a) {
    return SameTuple(GL_COLOR_WRITEMASK, r, g, b, a);
  });
  HOOK_CHECKED(glViewport, [](GLint x, GLint y, GLsizei w, GLsizei h) {
    return SameTuple(GL_VIEWPORT, x, y, w, h);
  });
  HOOK_CHECKED(glScissor, [](GLint x, GLint y, GLsizei w, GLsizei h) {
    return SameTuple(GL_SCISSOR_BOX, x, y, w, h);
  });
  HOOK_CHECKED(glClearColor, [](GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    return SameTuple(GL_COLOR_CLEAR_VALUE, r, g, b, a);
  });
  HOOK_CHECKED(glClearDepth, [](GLdouble z) { return SameTuple(GL_DEPTH_CLEAR_VALUE, z); });
  HOOK_CHECKED(glUniform1f, [](GLint l, GLfloat v) { return SameUniform(l, &v, 1); });
  HOOK_CHECKED(glUniform1i, [](GLint l, GLint v) {
    const float f = static_cast<float>(v);
    return SameUniform(l, &f, 1);
  });
  HOOK_CHECKED(glUniform2f, [](GLint l, GLfloat x, GLfloat y) {
    const float v[2] = {x, y};
    return SameUniform(l, v, 2);
  });
  HOOK_CHECKED(glUniform4f, [](GLint l, GLfloat x, GLfloat y, GLfloat z, GLfloat w) {
    const float v[4] = {x, y, z, w};
    return SameUniform(l, v, 4);
  });
  HOOK_CHECKED(glUniform1fv,
               [](GLint l, GLsizei n, const GLfloat* v) { return n == 1 && SameUniform(l, v, 1); });
  HOOK_CHECKED(glUniform2fv,
               [](GLint l, GLsizei n, const GLfloat* v) { return n == 1 && SameUniform(l, v, 2); });
  HOOK_CHECKED(glUniform3fv,
               [](GLint l, GLsizei n, const GLfloat* v) { return n == 1 && SameUniform(l, v, 3); });
  HOOK_CHECKED(glUniform4fv,
               [](GLint l, GLsizei n, const GLfloat* v) { return n == 1 && SameUniform(l, v, 4); });
  HOOK_CHECKED(glUniformMatrix4fv, [](GLint l, GLsizei n, GLboolean, const GLfloat* v) {
    return n == 1 && SameUniform(l, v, 16);
  });
  // Queries: every one is work a loop that knows its own state does not do.
  HOOK(glGetIntegerv);
  HOOK(glGetBooleanv);
  HOOK(glGetFloatv);
  HOOK(glIsEnabled);
  HOOK(glGetUniformLocation);
  HOOK(glGetError);
  // Work.
  HOOK(glClear);
  HOOK(glDrawElements);
  HOOK(glDrawArrays);
  HOOK(glBufferData);
  HOOK(glBufferSubData);
  HOOK(glBlitFramebuffer);
  HOOK(glFlush);
  HOOK(glFinish);
  HOOK(glReadPixels);
  HOOK(glPixelStorei);
  HOOK(glTexImage2D);
  HOOK(glTexParameteri);
  HOOK(glGenerateMipmap);
  HOOK(glVertexAttribPointer);
  HOOK(glEnableVertexAttribArray);
  HOOK(glGetBufferSubData);
}

}  // namespace

// The swap is the window system's, not an epoxy pointer: the executable's own definition takes
// the place of SDL's for every caller and hands on to SDL's.
extern "C" void SDL_GL_SwapWindow(SDL_Window* window) {
  using Swap = void (*)(SDL_Window*);
  static const Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
  const DriverScope scope;
  real(window);
}

bool CaptureMeshDraw(gfx::Mesh* mesh, uint32_t subset, DrawRange* out) {
  if (!mesh || !out) return false;
  const auto bind = epoxy_glBindVertexArray;
  const auto draw = epoxy_glDrawElements;
  capturedVao = 0;
  captured = false;
  captureTarget = out;
  // The backend skips a bind its state shadow already holds; unbound first, the mesh must bind.
  gfx::gl::BindVertexArray(0);
  epoxy_glBindVertexArray = &RecordBindVertexArray;
  epoxy_glDrawElements = &RecordDrawElements;
  mesh->DrawSubset(subset);
  epoxy_glBindVertexArray = bind;
  epoxy_glDrawElements = draw;
  captureTarget = nullptr;
  gfx::gl::SyncStateFromGl();  // the recorded bind never reached GL
  return captured && out->vao != 0;
}

void GlCountingOn() {
  model = Model{};
  hookCount = 0;
  InstallCounting();
}

void ResetGlCounts() {
  for (int i = 0; i < hookCount; ++i) hooks[i].calls = hooks[i].redundant = 0;
}

std::vector<GlCallCount> GlCountingOff() {
  std::vector<GlCallCount> out;
  for (int i = hookCount - 1; i >= 0; --i) {
    hooks[i].restore();
    if (hooks[i].calls) out.push_back({hooks[i].name, hooks[i].calls, hooks[i].redundant});
  }
  hookCount = 0;
  std::sort(out.begin(), out.end(), [](const GlCallCount& a, const GlCallCount& b) {
    return std::tie(b.calls, a.name) < std::tie(a.calls, b.name);
  });
  return out;
}

}  // namespace bench
