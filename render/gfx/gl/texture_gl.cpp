// Textures from BMP and PNG files as RGBA8 with a full mip chain.
// Limits: images over 16384 pixels on a side are refused; the file is read whole (at most 256 MiB).
#include <cstdio>
#include <new>
#include <string>

#include "formats/file_names.hpp"
#include "formats/image_decode.hpp"
#include "render/gfx/gl/gl_objects.hpp"

namespace gfx {

HRESULT CreateTextureFromFile(Device* device, const char* fileName, Texture** texture) {
  if (!texture) return E_INVALIDARG;
  *texture = nullptr;
  if (!device || !fileName) return E_INVALIDARG;

  std::string bytes, why;
  if (!formats::ReadWholeFile(fileName, size_t{256} << 20, &bytes, &why)) {
    std::fprintf(stderr, "%s: %s\n", fileName, why.c_str());
    return E_NOTFOUND;
  }
  formats::DecodedImage image;
  if (!formats::DecodeImage(bytes, &image, &why)) {
    std::fprintf(stderr, "%s: %s\n", fileName, why.c_str());
    return E_FAIL;
  }
  const int width = image.width, height = image.height;

  while (glGetError() != GL_NO_ERROR) {
  }  // only this upload's errors should count
  GLint previous = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               image.pixels);
  glGenerateMipmap(GL_TEXTURE_2D);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
  formats::FreeImage(&image);
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
