// The byte buffer of the OpenGL backend: one heap block, freed with the last reference.
// Creation failure is a null result, never an exception, since callers sit behind HRESULTs.
#include "render/gfx/gl/buffer_gl.hpp"

#include <cstring>
#include <new>

#include "render/gfx/gl/gl_objects.hpp"

namespace gfx::gl {
namespace {

class GlBuffer final : public RefCounted<Buffer> {
 public:
  GlBuffer(uint8_t* bytes, uint32_t size) : bytes_(bytes), size_(size) {}
  ~GlBuffer() override { delete[] bytes_; }
  void* GetBufferPointer() override { return bytes_; }
  uint32_t GetBufferSize() override { return size_; }

 private:
  uint8_t* bytes_;
  uint32_t size_;
};

}  // namespace

Buffer* CreateBuffer(uint32_t size) {
  uint8_t* bytes = new (std::nothrow) uint8_t[size ? size : 1]();
  if (!bytes) return nullptr;
  Buffer* buffer = new (std::nothrow) GlBuffer(bytes, size);
  if (!buffer) delete[] bytes;
  return buffer;
}

Buffer* CreateTextBuffer(const std::string& text) {
  Buffer* buffer = CreateBuffer(static_cast<uint32_t>(text.size() + 1));
  if (buffer) std::memcpy(buffer->GetBufferPointer(), text.c_str(), text.size() + 1);
  return buffer;
}

}  // namespace gfx::gl
