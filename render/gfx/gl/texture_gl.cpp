// Textures from image files of every format formats/image_decode reads: RGBA8, float RGBA (half or
// single, kept at the file's precision) or S3TC blocks as stored, with the file's own mip chain
// when it has a whole one and a generated chain otherwise.
// Limits: those of the decoder (16384 pixels a side, 64 Mpixel, 256 MiB decoded); the file is read
// whole (at most 256 MiB); DXT files need the driver's S3TC support.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "formats/file_names.hpp"
#include "formats/image_decode.hpp"
#include "formats/quote.hpp"
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

// The next smaller level of an RGBA8 image, each texel a 2 x 2 box filter of the texels it covers
// (the last row or column of an odd size repeats) as a bilinear sample at the block's centre
// takes it: the two rows' means, then their mean, each rounded half up. These are the levels
// llvmpipe's glGenerateMipmap makes (the shipped data's frames are the same pixel for pixel), and
// within one level of the exact mean the original platform's loader takes. Made here because a
// driver's glGenerateMipmap may first build a blit pipeline of its own: on llvmpipe 85 ms of the
// program's start, against about 1 ms for this.
void HalveRgba8(const uint8_t* from, int width, int height, std::vector<uint8_t>* to) {
  const int w = std::max(width / 2, 1), h = std::max(height / 2, 1);
  to->resize(size_t(w) * h * 4);
  const auto at = [&](int x, int y, int c) { return int{from[(size_t(y) * width + x) * 4 + c]}; };
  for (int y = 0; y < h; ++y) {
    const int y0 = std::min(2 * y, height - 1), y1 = std::min(2 * y + 1, height - 1);
    for (int x = 0; x < w; ++x) {
      const int x0 = std::min(2 * x, width - 1), x1 = std::min(2 * x + 1, width - 1);
      for (int c = 0; c < 4; ++c) {
        const int top = (at(x0, y0, c) + at(x1, y0, c) + 1) >> 1;
        const int bottom = (at(x0, y1, c) + at(x1, y1, c) + 1) >> 1;
        (*to)[(size_t(y) * w + x) * 4 + c] = static_cast<uint8_t>((top + bottom + 1) >> 1);
      }
    }
  }
}

}  // namespace

HRESULT CreateTextureFromFile(Device* device, const char* fileName, Texture** texture) {
  if (!texture) return E_INVALIDARG;
  *texture = nullptr;
  if (!device || !fileName) return E_INVALIDARG;

  // The name may come from a mesh file: quoted, so no byte of it reaches the terminal raw.
  const std::string quoted = formats::Quote(fileName);
  const char* label = quoted.c_str();
  std::string bytes, why;
  if (!formats::ReadWholeFile(fileName, size_t{256} << 20, &bytes, &why)) {
    std::fprintf(stderr, "%s: %s\n", label, why.c_str());
    return E_NOTFOUND;
  }
  // Levels of a DDS point into `bytes`, which lives until the upload is done.
  formats::DecodedImage image;
  if (!formats::DecodeImage(bytes, &image, &why)) {
    std::fprintf(stderr, "%s: %s\n", label, why.c_str());
    return E_FAIL;
  }
  if (!image.note.empty()) std::fprintf(stderr, "%s: %s\n", label, image.note.c_str());
  const Upload upload = UploadFor(image.format);
  if (upload.compressed && !epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc")) {
    std::fprintf(stderr, "%s: the graphics driver cannot take DXT-compressed textures\n", label);
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
  } else if (image.format == formats::PixelFormat::kRgba8) {
    std::vector<uint8_t> level, next;
    const uint8_t* from = image.levels[0].data;
    int width = image.width, height = image.height, made = 0;
    while (width > 1 || height > 1) {
      HalveRgba8(from, width, height, &next);
      level.swap(next);
      from = level.data();
      width = std::max(width / 2, 1);
      height = std::max(height / 2, 1);
      glTexImage2D(GL_TEXTURE_2D, ++made, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                   from);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, made);
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
    std::fprintf(stderr, "%s: the texture could not be made\n", label);
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
