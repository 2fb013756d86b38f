// Fuzz harness for the whole .x reader (header, MSZIP, tokens, objects, merge), without GL. What
// it yields must satisfy everything the GL upload indexes by, since the loader trusts it: corners
// within the vertices, subsets tiling the indices, every number finite.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "formats/xfile.hpp"

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, ".x reader invariant broken: %s\n", what);
  std::abort();
}

void CheckModel(const formats::XModel& m) {
  Check(m.vertices.size() % 8 == 0 && !m.vertices.empty(), "8 floats per vertex, at least one");
  for (float f : m.vertices) Check(std::isfinite(f), "every vertex value finite");
  Check(!m.indices.empty() && m.indices.size() % 3 == 0, "whole triangles, at least one");
  for (uint32_t i : m.indices) Check(i < m.VertexCount(), "corner within the vertices");
  const size_t subsets = m.materials.empty() ? 1 : m.materials.size();
  Check(m.subsetFirst.size() == subsets && m.subsetCount.size() == subsets,
        "a subset per material");
  uint32_t at = 0;
  for (size_t k = 0; k < subsets; ++k) {
    Check(m.subsetFirst[k] == at && m.subsetCount[k] % 3 == 0, "subsets tile the indices in order");
    at += m.subsetCount[k];
  }
  Check(at == m.indices.size(), "subsets cover every index");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  formats::XModel model;
  std::string error;
  if (!formats::ReadXFile(bytes, &model, &error)) {
    Check(!error.empty(), "a refused file has a reason");
    return 0;
  }
  CheckModel(model);
  return 0;
}
