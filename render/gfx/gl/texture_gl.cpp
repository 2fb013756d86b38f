// Textures from image files (BMP, PNG, JPEG, TGA… through stb_image) as RGBA8 with a full mip chain.
// Limits: images over 16384 pixels on a side are refused; the file is read whole (at most 256 MiB).
#include <stb_image.h>

#include <cstdio>
#include <new>
#include <string>

#include "render/gfx/gl/file_names.hpp"
#include "render/gfx/gl/gl_objects.hpp"

namespace gfx {

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
