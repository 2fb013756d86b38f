// The one line both probes print per file, so scripts/test-windows-ref.sh can set them side by
// side: "NAME<TAB>WHAT<TAB>DETAIL<TAB>PIXELS", where NAME is the file's base name, WHAT is compared
// as it stands, DETAIL (the failure's reason, the file's own format code) is shown but never
// compared and PIXELS (an 8-bit image's mean colour in each quarter) is compared within a
// tolerance.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace probe {

struct Result {
  std::string kind;     // "mesh" or "image"
  std::string failure;  // empty when the file was read; then the fields below hold
  uint32_t vertices = 0, faces = 0, materials = 0;
  std::string texture;  // the first material's texture name, as stored (the one the program uses)
  float boxMin[3] = {}, boxMax[3] = {};  // of the positions, frames applied
  uint32_t width = 0, height = 0, levels = 0;
  std::string format;  // the class of pixels our reader keeps: int8, dxt1, dxt3, dxt5, rgba16f, ...
  std::string detail;
  std::string pixels;  // Quarters() of the decoded picture, or empty
};

// Both probes take a name ending in ".x" (either case) for a mesh, anything else for an image.
inline bool EndsWithX(const std::string& name) {
  return name.size() > 2 && name[name.size() - 2] == '.' &&
         (name.back() == 'x' || name.back() == 'X');
}

// Mean R, G, B, A (0..255, rounded) of the top-left, top-right, bottom-left and bottom-right
// quarters (a middle row or column counts in both): a wrong palette, channel order, row order or
// alpha shows, and two decoders' rounding does not. `order` gives the byte offsets of R, G, B, A
// within a 4-byte pixel; rows are `pitch` bytes apart, top row first.
inline std::string Quarters(const unsigned char* data, int width, int height, size_t pitch,
                            const int order[4]) {
  double sum[4][4] = {};
  double count[4] = {};
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = data + pitch * static_cast<size_t>(y);
    for (int x = 0; x < width; ++x) {
      for (int q = 0; q < 4; ++q) {
        const bool inX = (q & 1) ? 2 * x + 1 >= width : 2 * x < width;
        const bool inY = (q & 2) ? 2 * y + 1 >= height : 2 * y < height;
        if (!inX || !inY) continue;
        for (int c = 0; c < 4; ++c) sum[q][c] += row[4 * x + order[c]];
        ++count[q];
      }
    }
  }
  std::string text;
  for (int q = 0; q < 4; ++q) {
    char part[48];
    std::snprintf(part, sizeof part, "%s%.0f,%.0f,%.0f,%.0f", q ? " " : "", sum[q][0] / count[q],
                  sum[q][1] / count[q], sum[q][2] / count[q], sum[q][3] / count[q]);
    text += part;
  }
  return text;
}

inline std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Millimetre steps of a unit: enough to see a frame applied twice or not at all, coarse enough
// that two correct readers' float rounding never shows. -0 prints as 0.
inline std::string Box(const float lo[3], const float hi[3]) {
  char text[160];
  double v[6];
  for (int i = 0; i < 3; ++i) {
    v[i] = std::round(static_cast<double>(lo[i]) * 1000.0) / 1000.0 + 0.0;
    v[i + 3] = std::round(static_cast<double>(hi[i]) * 1000.0) / 1000.0 + 0.0;
  }
  std::snprintf(text, sizeof text, "(%.3f,%.3f,%.3f)..(%.3f,%.3f,%.3f)", v[0], v[1], v[2], v[3],
                v[4], v[5]);
  return text;
}

inline std::string FormatLine(const std::string& path, const Result& r) {
  std::string what;
  if (!r.failure.empty()) {
    what = r.kind + " fails";
  } else if (r.kind == "mesh") {
    what = "mesh vertices=" + std::to_string(r.vertices) + " faces=" + std::to_string(r.faces) +
           " materials=" + std::to_string(r.materials) + " texture='" + r.texture +
           "' box=" + Box(r.boxMin, r.boxMax);
  } else {
    what = "image width=" + std::to_string(r.width) + " height=" + std::to_string(r.height) +
           " format=" + r.format + " levels=" + std::to_string(r.levels);
  }
  // Tabs and line ends in a reason would break the columns.
  std::string detail = r.failure.empty() ? r.detail : r.failure;
  for (char& c : detail)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return BaseName(path) + "\t" + what + "\t" + detail + "\t" + r.pixels;
}

}  // namespace probe
