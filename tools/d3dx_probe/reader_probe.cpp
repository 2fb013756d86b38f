// What our own readers (formats/xfile, formats/image_decode) make of each file named, in the line
// format of probe_format.hpp, so it can be set beside what D3DX says (d3dx_probe.cpp). A .x file
// is read as a mesh, anything else as an image, as the D3DX probe decides.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

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
  return result;
}

bool EndsWithX(const std::string& name) {
  return name.size() > 2 && name[name.size() - 2] == '.' &&
         (name.back() == 'x' || name.back() == 'X');
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
      result.kind = EndsWithX(argv[i]) ? "mesh" : "image";
      result.failure = "cannot read the file";
    } else {
      result = EndsWithX(argv[i]) ? ProbeMesh(content.str()) : ProbeImage(content.str());
    }
    std::printf("%s\n", probe::FormatLine(argv[i], result).c_str());
  }
  return 0;
}
