// tobrin_xfile_throughput: the .x reader's speed on large synthetic meshes (a grid with normals,
// texture coordinates and a material list) written in the text and the binary encoding, at
// doubling sizes, so that MB/s and the growth of time with size can be read off. No GL, no files.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "formats/xfile.hpp"

namespace {

std::string Text(int side) {
  const int n = side * side, quads = (side - 1) * (side - 1);
  std::string out = "xof 0303txt 0032\nMesh grid {\n" + std::to_string(n) + ";\n";
  char line[96];
  auto vectors = [&](auto value, int count, int width) {
    for (int i = 0; i < count; ++i) {
      float v[3];
      value(i, v);
      int at = 0;
      for (int k = 0; k < width; ++k)
        at += std::snprintf(line + at, sizeof line - at, "%.6f;", v[k]);
      std::snprintf(line + at, sizeof line - at, "%s\n", i + 1 < count ? "," : ";");
      out += line;
    }
  };
  auto position = [&](int i, float* v) {
    v[0] = float(i % side), v[1] = float(i / side), v[2] = 0.25f * (i % 7);
  };
  auto normal = [&](int i, float* v) { v[0] = 0.0f, v[1] = 0.6f, v[2] = -0.8f + 0.0f * i; };
  auto uv = [&](int i, float* v) { v[0] = float(i % side) / side, v[1] = float(i / side) / side; };
  auto faces = [&] {
    out += std::to_string(quads) + ";\n";
    for (int q = 0, y = 0; y + 1 < side; ++y)
      for (int x = 0; x + 1 < side; ++x, ++q) {
        const int a = y * side + x;
        std::snprintf(line, sizeof line, "4;%d,%d,%d,%d;%s\n", a, a + side, a + side + 1, a + 1,
                      q + 1 < quads ? "," : ";");
        out += line;
      }
  };
  vectors(position, n, 3);
  faces();
  out += "MeshNormals {\n" + std::to_string(n) + ";\n";
  vectors(normal, n, 3);
  faces();
  out += "}\nMeshTextureCoords {\n" + std::to_string(n) + ";\n";
  vectors(uv, n, 2);
  out += "}\nMeshMaterialList { 1; 1; 0;;\n Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } }\n}\n";
  return out;
}

std::string Binary(int side) {
  const int n = side * side, quads = (side - 1) * (side - 1);
  std::string out = "xof 0303bin 0032";
  auto word = [&](uint16_t w) { out.append(reinterpret_cast<const char*>(&w), 2); };
  auto dword = [&](uint32_t d) { out.append(reinterpret_cast<const char*>(&d), 4); };
  auto real = [&](float f) { out.append(reinterpret_cast<const char*>(&f), 4); };
  auto name = [&](const char* s) { word(1), dword(uint32_t(std::strlen(s))), out += s; };
  auto floats = [&](int count, int width, auto value) {
    word(7), dword(uint32_t(count * width));
    for (int i = 0; i < count; ++i) {
      float v[3];
      value(i, v);
      for (int k = 0; k < width; ++k) real(v[k]);
    }
  };
  auto faces = [&] {
    word(6), dword(uint32_t(1 + quads * 5)), dword(uint32_t(quads));
    for (int y = 0; y + 1 < side; ++y)
      for (int x = 0; x + 1 < side; ++x) {
        const uint32_t a = uint32_t(y * side + x);
        dword(4), dword(a), dword(a + side), dword(a + side + 1), dword(a + 1);
      }
  };
  name("Mesh"), word(10), word(6), dword(1), dword(uint32_t(n));
  floats(n, 3, [&](int i, float* v) {
    v[0] = float(i % side), v[1] = float(i / side), v[2] = 0.25f * (i % 7);
  });
  faces();
  name("MeshNormals"), word(10), word(6), dword(1), dword(uint32_t(n));
  floats(n, 3, [](int, float* v) { v[0] = 0.0f, v[1] = 0.6f, v[2] = -0.8f; });
  faces(), word(11);
  name("MeshTextureCoords"), word(10), word(6), dword(1), dword(uint32_t(n));
  floats(n, 2,
         [&](int i, float* v) { v[0] = float(i % side) / side, v[1] = float(i / side) / side; });
  word(11);
  name("MeshMaterialList"), word(10), word(6), dword(3), dword(1), dword(1), dword(0);
  name("Material"), word(10), word(7), dword(11);
  for (float f : {1.f, 1.f, 1.f, 1.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f}) real(f);
  word(11), word(11), word(11);
  return out;
}

// The best of a few runs, in seconds.
double Seconds(const std::string& bytes, uint32_t* vertices) {
  double best = 1e9;
  for (int run = 0; run < 5; ++run) {
    formats::XModel model;
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    if (!formats::ReadXFile(bytes, &model, &error)) {
      std::fprintf(stderr, "refused: %s\n", error.c_str());
      return -1;
    }
    best = std::min(
        best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    *vertices = model.VertexCount();
  }
  return best;
}

}  // namespace

int main() {
  std::printf("encoding  vertices   MB      ms      MB/s   ms per MB\n");
  for (const char* encoding : {"text", "binary"}) {
    for (int side : {250, 354, 500, 707}) {  // about 2x the vertices each step
      const std::string bytes = encoding[0] == 't' ? Text(side) : Binary(side);
      uint32_t vertices = 0;
      const double s = Seconds(bytes, &vertices);
      if (s < 0) return 1;
      const double mb = bytes.size() / 1e6;
      std::printf("%-8s %9u %6.1f %8.1f %8.1f %8.2f\n", encoding, vertices, mb, s * 1e3, mb / s,
                  s * 1e3 / mb);
    }
  }
  return 0;
}
