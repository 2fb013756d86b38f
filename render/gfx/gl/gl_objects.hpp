// Internal to the OpenGL backend: the reference counting every object shares and the GL objects
// that more than one file of the backend needs to see.
#pragma once
#include <epoxy/gl.h>

#include <cstdint>

#include "render/gfx/gfx.hpp"

namespace gfx::gl {

// Objects start with the one reference their creator hands out.
template <class Interface>
class RefCounted : public Interface {
 public:
  uint32_t AddRef() override { return ++references_; }
  uint32_t Release() override {
    const uint32_t left = --references_;
    if (left == 0) delete this;
    return left;
  }

 private:
  uint32_t references_ = 1;
};

class GlTexture final : public RefCounted<Texture> {
 public:
  GlTexture(GLuint name, int width, int height) : name(name), width(width), height(height) {}
  ~GlTexture() override { glDeleteTextures(1, &name); }
  // GL_TEXTURE_2D with a full mip chain: RGBA8, RGBA16F, RGBA32F or S3TC, as the file had it.
  const GLuint name;
  const int width, height;
};

}  // namespace gfx::gl
