// Textures from image files of every format formats/image_decode reads: RGBA8, float RGBA (half or
// single, kept at the file's precision) or S3TC blocks as stored, with the file's own mip chain
// when it has a whole one and a generated chain otherwise.
// Limits: those of the decoder (16384 pixels a side, 64 Mpixel, 256 MiB decoded); the file is read
// whole (at most 256 MiB); DXT files need the driver's S3TC support.
#include <cstdio>
#include <new>
#include <string>

#include "formats/file_names.hpp"
#include "formats/image_decode.hpp"
#include "render/gfx/gl/gl_objects.hpp"

namespace gfx {
namespace {

struct Upload {
  GLenum internalFormat, format, type;
  bool compressed;
};

Upload UploadFor(formats::PixelFormat format) {
  switch (format) {
    case formats::PixelFormat::kRgba8: return {GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, false};
    case formats::PixelFormat::kRgba16F: return {GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT, false};
    case formats::PixelFormat::kRgba32F: return {GL_RGBA32F, GL_RGBA, GL_FLOAT, false};
    // DXT1 keeps its 1-bit alpha: the block's fourth colour is transparent black.
    case formats::PixelFormat::kDxt1: return {GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0, true};
    case formats::PixelFormat::kDxt3: return {GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0, true};
    case formats::PixelFormat::kDxt5: return {GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, true};
  }
  return {GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, false};
}

}  // namespace

HRESULT CreateTextureFromFile(Device* device, const char* fileName, Texture** texture) {
  if (!texture) return E_INVALIDARG;
  *texture = nullptr;
  if (!device || !fileName) return E_INVALIDARG;

  std::string bytes, why;
  if (!formats::ReadWholeFile(fileName, size_t{256} << 20, &bytes, &why)) {
    std::fprintf(stderr, "%s: %s\n", fileName, why.c_str());
    return E_NOTFOUND;
  }
  // Levels of a DDS point into `bytes`, which lives until the upload is done.
  formats::DecodedImage image;
  if (!formats::DecodeImage(bytes, &image, &why)) {
    std::fprintf(stderr, "%s: %s\n", fileName, why.c_str());
    return E_FAIL;
  }
  if (!image.note.empty()) std::fprintf(stderr, "%s: %s\n", fileName, image.note.c_str());
  const Upload upload = UploadFor(image.format);
  if (upload.compressed && !epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc")) {
    std::fprintf(stderr, "%s: the graphics driver cannot take DXT-compressed textures\n", fileName);
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
  const GLint levels = static_cast<GLint>(image.levels.size());
  for (GLint i = 0; i < levels; ++i) {
    const formats::ImageLevel& level = image.levels[i];
    if (upload.compressed)
      glCompressedTexImage2D(GL_TEXTURE_2D, i, upload.internalFormat, level.width, level.height, 0,
                             static_cast<GLsizei>(level.size), level.data);
    else
      glTexImage2D(GL_TEXTURE_2D, i, static_cast<GLint>(upload.internalFormat), level.width,
                   level.height, 0, upload.format, upload.type, level.data);
  }
  if (levels > 1) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels - 1);
  } else {
    glGenerateMipmap(GL_TEXTURE_2D);
    // A driver may not make a chain of compressed levels; the top level alone still samples.
    if (upload.compressed && glGetError() != GL_NO_ERROR)
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
  const int width = image.width, height = image.height;
  image = formats::DecodedImage{};
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
