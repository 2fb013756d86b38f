// Matrix builders in the row-vector, left-handed convention the renderer is written in:
// a point p is transformed as p × M, and A × B applies A first. GLM does the arithmetic; its
// column-major storage of column-vector matrices is byte for byte our row-major row-vector layout.
#pragma once

namespace gfx {

struct Matrix {
  float m[4][4];  // m[row][column]; translation lives in row 3
};

Matrix* MatrixIdentity(Matrix* out);
// Left-handed, depth mapped to 0..1; fovY in radians.
Matrix* MatrixPerspectiveFovLH(Matrix* out, float fovY, float aspect, float zNear, float zFar);
Matrix* MatrixTranslation(Matrix* out, float x, float y, float z);
// Roll about z first, then pitch about x, then yaw about y.
Matrix* MatrixRotationYawPitchRoll(Matrix* out, float yaw, float pitch, float roll);
Matrix* MatrixScaling(Matrix* out, float sx, float sy, float sz);
// out = a × b (a applies first); out may alias a or b.
Matrix* MatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b);
// out = m⁻¹, and *determinant (when given) the determinant of m. A singular m gives null and
// leaves out as it was.
Matrix* MatrixInverse(Matrix* out, float* determinant, const Matrix* m);
// out may alias m.
Matrix* MatrixTranspose(Matrix* out, const Matrix* m);
// p × M for a point (w = 1), returning x, y, z, w.
void TransformPoint(const Matrix* m, const float in[3], float out[4]);

}  // namespace gfx
