// Textures from image files (BMP, PNG, JPEG, TGA through stb_image) as RGBA8 with a full mip chain.
// Limits: images over 16384 pixels on a side are refused; the file is read whole (at most 256 MiB).
#include <stb_image.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "render/gfx/gl/file_names.hpp"
#include "render/gfx/gl/gl_objects.hpp"

namespace gfx {
namespace {

// stb_image fills a short uncompressed BMP up with whatever it finds, so a cut-off file would load
// as a picture with garbage in it; the header says how long the pixel data must be.
bool BmpIsTruncated(const std::string& bytes) {
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return false;
  auto read32 = [&](size_t at) {
    uint32_t v;
    std::memcpy(&v, &bytes[at], 4);
    return v;
  };
  const uint32_t offset = read32(10), compression = read32(30);
  const int32_t width = static_cast<int32_t>(read32(18)), height = static_cast<int32_t>(read32(22));
  uint16_t bits;
  std::memcpy(&bits, &bytes[28], 2);
  if (compression != 0 || width <= 0 || height == 0) return false;
  const uint64_t stride = (uint64_t{static_cast<uint32_t>(width)} * bits + 31) / 32 * 4;
  const uint64_t rows = height < 0 ? -int64_t{height} : height;
  return bytes.size() < uint64_t{offset} + stride * rows;
}

}  // namespace

HRESULT CreateTextureFromFile(Device* device, const char* fileName, Texture** texture) {
  if (!texture) return E_INVALIDARG;
  *texture = nullptr;
  if (!device || !fileName) return E_INVALIDARG;

  constexpr int kMaxSide = 16384;
  std::string bytes, why;
  if (!gl::ReadWholeFile(fileName, size_t{256} << 20, &bytes, &why)) {
    std::fprintf(stderr, "%s: %s\n", fileName, why.c_str());
    return E_NOTFOUND;
  }
  const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  const int size = static_cast<int>(bytes.size());
  int width = 0, height = 0, channels = 0;
  // Check the header first so a hostile size is refused before anything is allocated for it.
  if (!stbi_info_from_memory(data, size, &width, &height, &channels)) {
    std::fprintf(stderr, "%s: not a readable image (%s)\n", fileName, stbi_failure_reason());
    return E_FAIL;
  }
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
    std::fprintf(stderr, "%s: image size %dx%d is not supported\n", fileName, width, height);
    return E_FAIL;
  }
  if (BmpIsTruncated(bytes)) {
    std::fprintf(stderr, "%s: the image data is cut short\n", fileName);
    return E_FAIL;
  }
  // Row 0 of the image (its top) goes to t = 0, where texture coordinates put v = 0.
  stbi_set_flip_vertically_on_load(0);
  stbi_uc* pixels = stbi_load_from_memory(data, size, &width, &height, &channels, 4);
  if (!pixels) {
    std::fprintf(stderr, "%s: corrupt image (%s)\n", fileName, stbi_failure_reason());
    return E_FAIL;
  }

  while (glGetError() != GL_NO_ERROR) {
  }  // only this upload's errors should count
  GLint previous = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
  glGenerateMipmap(GL_TEXTURE_2D);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
  stbi_image_free(pixels);
  if (glGetError() != GL_NO_ERROR) {
    glDeleteTextures(1, &name);
    std::fprintf(stderr, "%s: the texture could not be made\n", fileName);
    return E_OUTOFMEMORY;
  }

  *texture = new (std::nothrow) gl::GlTexture(name, width, height);
  if (!*texture) {
    glDeleteTextures(1, &name);
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

}  // namespace gfx
