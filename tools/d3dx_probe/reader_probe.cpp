// What our own readers (formats/xfile, formats/image_decode) make of each file named, in the line
// format of probe_format.hpp, so it can be set beside what D3DX says (d3dx_probe.cpp). A .x file
// is read as a mesh, anything else as an image, as the D3DX probe decides.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "formats/image_decode.hpp"
#include "formats/xfile.hpp"
#include "tools/d3dx_probe/probe_format.hpp"

namespace {

const char* FormatName(formats::PixelFormat format) {
  switch (format) {
    case formats::PixelFormat::kRgba8: return "int8";
    case formats::PixelFormat::kRgba16F: return "rgba16f";
    case formats::PixelFormat::kRgba32F: return "rgba32f";
    case formats::PixelFormat::kDxt1: return "dxt1";
    case formats::PixelFormat::kDxt3: return "dxt3";
    case formats::PixelFormat::kDxt5: return "dxt5";
  }
  return "?";
}

// S3TC blocks to 8-bit RGBA, only so the picture can be set beside D3DX's decoded one: our reader
// keeps blocks as stored for the GPU. Colours widen 5/6 bits by repeating the top bits.
void DecodeColourBlock(const unsigned char* b, bool allowTransparent, unsigned char out[16][4]) {
  const unsigned c0 = b[0] | b[1] << 8, c1 = b[2] | b[3] << 8;
  int colour[4][4];
  for (int i = 0; i < 2; ++i) {
    const unsigned c = i ? c1 : c0;
    const unsigned r = c >> 11, g = (c >> 5) & 63, bl = c & 31;
    colour[i][0] = static_cast<int>(r << 3 | r >> 2);
    colour[i][1] = static_cast<int>(g << 2 | g >> 4);
    colour[i][2] = static_cast<int>(bl << 3 | bl >> 2);
    colour[i][3] = 255;
  }
  const bool four = c0 > c1 || !allowTransparent;
  for (int k = 0; k < 4; ++k) {
    colour[2][k] = four ? (2 * colour[0][k] + colour[1][k]) / 3 : (colour[0][k] + colour[1][k]) / 2;
    colour[3][k] = four ? (colour[0][k] + 2 * colour[1][k]) / 3 : 0;
  }
  if (!four) colour[3][3] = 0;
  const uint32_t bits = b[4] | b[5] << 8 | b[6] << 16 | static_cast<uint32_t>(b[7]) << 24;
  for (int p = 0; p < 16; ++p)
    for (int k = 0; k < 4; ++k)
      out[p][k] = static_cast<unsigned char>(colour[(bits >> 2 * p) & 3][k]);
}

std::vector<unsigned char> DecodeBlocks(formats::PixelFormat format,
                                        const formats::ImageLevel& level) {
  const int w = level.width, h = level.height,
            blockBytes = format == formats::PixelFormat::kDxt1 ? 8 : 16;
  std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4);
  const unsigned char* block = level.data;
  for (int by = 0; by < (h + 3) / 4; ++by) {
    for (int bx = 0; bx < (w + 3) / 4; ++bx, block += blockBytes) {
      unsigned char pixels[16][4];
      DecodeColourBlock(block + blockBytes - 8, format == formats::PixelFormat::kDxt1, pixels);
      if (format == formats::PixelFormat::kDxt3) {
        for (int p = 0; p < 16; ++p)
          pixels[p][3] = static_cast<unsigned char>(((block[p / 2] >> 4 * (p & 1)) & 15) * 17);
      } else if (format == formats::PixelFormat::kDxt5) {
        int alpha[8] = {block[0], block[1]};
        for (int i = 2; i < 8; ++i)
          alpha[i] = alpha[0] > alpha[1] ? ((8 - i) * alpha[0] + (i - 1) * alpha[1]) / 7
                     : i < 6             ? ((6 - i) * alpha[0] + (i - 1) * alpha[1]) / 5
                                         : (i == 6 ? 0 : 255);
        uint64_t bits = 0;
        for (int i = 0; i < 6; ++i) bits |= static_cast<uint64_t>(block[2 + i]) << 8 * i;
        for (int p = 0; p < 16; ++p)
          pixels[p][3] = static_cast<unsigned char>(alpha[(bits >> 3 * p) & 7]);
      }
      for (int p = 0; p < 16; ++p) {
        const int x = bx * 4 + p % 4, y = by * 4 + p / 4;
        if (x < w && y < h) std::copy_n(pixels[p], 4, &rgba[(static_cast<size_t>(y) * w + x) * 4]);
      }
    }
  }
  return rgba;
}

probe::Result ProbeMesh(const std::string& bytes) {
  probe::Result result;
  result.kind = "mesh";
  formats::XModel model;
  std::string error;
  if (!formats::ReadXFile(bytes, &model, &error)) {
    result.failure = "ReadXFile: " + error;
    return result;
  }
  result.vertices = model.VertexCount();
  result.faces = static_cast<uint32_t>(model.indices.size() / 3);
  result.materials = static_cast<uint32_t>(model.materials.size());
  if (!model.materials.empty() && model.materials[0].hasTexture)
    result.texture = model.materials[0].texture;
  for (uint32_t v = 0; v < result.vertices; ++v) {
    for (int i = 0; i < 3; ++i) {
      const float p = model.vertices[v * 8 + i];
      if (v == 0 || p < result.boxMin[i]) result.boxMin[i] = p;
      if (v == 0 || p > result.boxMax[i]) result.boxMax[i] = p;
    }
  }
  return result;
}

probe::Result ProbeImage(const std::string& bytes) {
  probe::Result result;
  result.kind = "image";
  formats::DecodedImage image;
  std::string why;
  if (!formats::DecodeImage(bytes, &image, &why)) {
    result.failure = "DecodeImage: " + why;
    return result;
  }
  result.width = static_cast<uint32_t>(image.width);
  result.height = static_cast<uint32_t>(image.height);
  result.format = FormatName(image.format);
  result.levels = static_cast<uint32_t>(image.levels.size());
  result.detail = image.note;
  static constexpr int kRgba[4] = {0, 1, 2, 3};
  const formats::ImageLevel& level = image.levels[0];
  const size_t pitch = static_cast<size_t>(level.width) * 4;
  if (image.format == formats::PixelFormat::kRgba8) {
    result.pixels = probe::Quarters(level.data, level.width, level.height, pitch, kRgba);
  } else if (image.format == formats::PixelFormat::kDxt1 ||
             image.format == formats::PixelFormat::kDxt3 ||
             image.format == formats::PixelFormat::kDxt5) {
    const std::vector<unsigned char> rgba = DecodeBlocks(image.format, level);
    result.pixels = probe::Quarters(rgba.data(), level.width, level.height, pitch, kRgba);
  }
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: reader_probe FILE...\n");
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    probe::Result result;
    if (!in) {
      result.kind = probe::EndsWithX(argv[i]) ? "mesh" : "image";
      result.failure = "cannot read the file";
    } else {
      result = probe::EndsWithX(argv[i]) ? ProbeMesh(content.str()) : ProbeImage(content.str());
    }
    std::printf("%s\n", probe::FormatLine(argv[i], result).c_str());
  }
  return 0;
}
