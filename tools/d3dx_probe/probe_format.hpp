// The one line both probes print per file, so scripts/compare-d3dx.sh can set them side by side:
// "NAME<TAB>WHAT<TAB>DETAIL", where NAME is the file's base name, WHAT is compared and DETAIL (the
// failure's reason, the file's own format code) is shown but never compared.
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
};

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
  return BaseName(path) + "\t" + what + "\t" + detail;
}

}  // namespace probe
