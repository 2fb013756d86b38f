// GLM builds the column-vector matrix; its storage is our row-vector matrix, so only the order of
// products changes (our a × b is GLM's b * a).
#include "render/gfx/matrix.hpp"

#include <cmath>
#include <cstring>
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

namespace gfx {
namespace {

static_assert(sizeof(glm::mat4) == sizeof(Matrix), "GLM and our matrix must share a layout");

Matrix* Store(Matrix* out, const glm::mat4& m) {
  std::memcpy(out->m, &m[0][0], sizeof(out->m));
  return out;
}

glm::mat4 Load(const Matrix* in) {
  glm::mat4 m;
  std::memcpy(&m[0][0], in->m, sizeof(in->m));
  return m;
}

}  // namespace

Matrix* MatrixIdentity(Matrix* out) { return Store(out, glm::mat4(1.0f)); }

Matrix* MatrixPerspectiveFovLH(Matrix* out, float fovY, float aspect, float zNear, float zFar) {
  return Store(out, glm::perspectiveLH_ZO(fovY, aspect, zNear, zFar));
}

Matrix* MatrixTranslation(Matrix* out, float x, float y, float z) {
  return Store(out, glm::translate(glm::mat4(1.0f), glm::vec3(x, y, z)));
}

Matrix* MatrixRotationYawPitchRoll(Matrix* out, float yaw, float pitch, float roll) {
  const glm::mat4 identity(1.0f);
  const glm::mat4 rz = glm::rotate(identity, roll, glm::vec3(0, 0, 1));
  const glm::mat4 rx = glm::rotate(identity, pitch, glm::vec3(1, 0, 0));
  const glm::mat4 ry = glm::rotate(identity, yaw, glm::vec3(0, 1, 0));
  return Store(out, ry * rx * rz);  // roll applies first
}

Matrix* MatrixScaling(Matrix* out, float sx, float sy, float sz) {
  return Store(out, glm::scale(glm::mat4(1.0f), glm::vec3(sx, sy, sz)));
}

Matrix* MatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b) {
  return Store(out, Load(b) * Load(a));
}

Matrix* MatrixInverse(Matrix* out, float* determinant, const Matrix* m) {
  const glm::mat4 in = Load(m);
  const float d = glm::determinant(in);
  if (determinant) *determinant = d;
  if (d == 0.0f || !std::isfinite(d)) return nullptr;
  return Store(out, glm::inverse(in));
}

Matrix* MatrixTranspose(Matrix* out, const Matrix* m) {
  return Store(out, glm::transpose(Load(m)));
}

void TransformPoint(const Matrix* m, const float in[3], float out[4]) {
  const glm::vec4 p = Load(m) * glm::vec4(in[0], in[1], in[2], 1.0f);
  out[0] = p.x;
  out[1] = p.y;
  out[2] = p.z;
  out[3] = p.w;
}

}  // namespace gfx
