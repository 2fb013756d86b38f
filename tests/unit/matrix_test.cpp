// The matrix builders, the inverse and the transpose against values worked out by hand in the
// row-vector, left-handed convention: p' = p × M, translation in row 3, a × b applies a first.
#include "render/gfx/matrix.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr float kHalfPi = std::numbers::pi_v<float> / 2.0f;

void ExpectPoint(const gfx::Matrix& m, float x, float y, float z, float ex, float ey, float ez) {
  const float in[3] = {x, y, z};
  float out[4];
  gfx::TransformPoint(&m, in, out);
  EXPECT_NEAR(out[0] / out[3], ex, 1e-5f);
  EXPECT_NEAR(out[1] / out[3], ey, 1e-5f);
  EXPECT_NEAR(out[2] / out[3], ez, 1e-5f);
}

TEST(Matrix, PerspectiveMatchesHandValues) {
  gfx::Matrix p;
  gfx::MatrixPerspectiveFovLH(&p, std::numbers::pi_v<float> / 4.0f, 4.0f / 3.0f, 0.1f, 100.0f);
  const float yScale = 2.41421356f;  // cot(pi/8)
  const float expected[4][4] = {{yScale * 0.75f, 0, 0, 0},
                                {0, yScale, 0, 0},
                                {0, 0, 100.0f / 99.9f, 1},
                                {0, 0, -10.0f / 99.9f, 0}};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(p.m[r][c], expected[r][c], 1e-5f) << r << "," << c;
  // Depth runs 0..1 from the near to the far plane, and the viewer looks along +z.
  ExpectPoint(p, 0, 0, 0.1f, 0, 0, 0);
  ExpectPoint(p, 0, 0, 100.0f, 0, 0, 1);
}

TEST(Matrix, TranslationLivesInRowThree) {
  gfx::Matrix t;
  gfx::MatrixTranslation(&t, 1, 2, 3);
  EXPECT_FLOAT_EQ(t.m[3][0], 1);
  EXPECT_FLOAT_EQ(t.m[3][1], 2);
  EXPECT_FLOAT_EQ(t.m[3][2], 3);
  EXPECT_FLOAT_EQ(t.m[3][3], 1);
  EXPECT_FLOAT_EQ(t.m[0][3], 0);
  ExpectPoint(t, 5, 5, 5, 6, 7, 8);
}

TEST(Matrix, SingleAxisRotationsTurnLeftHanded) {
  gfx::Matrix m;
  gfx::MatrixRotationYawPitchRoll(&m, kHalfPi, 0, 0);  // yaw about y: +z goes to +x
  ExpectPoint(m, 0, 0, 1, 1, 0, 0);
  gfx::MatrixRotationYawPitchRoll(&m, 0, kHalfPi, 0);  // pitch about x: +y goes to +z
  ExpectPoint(m, 0, 1, 0, 0, 0, 1);
  gfx::MatrixRotationYawPitchRoll(&m, 0, 0, kHalfPi);  // roll about z: +x goes to +y
  ExpectPoint(m, 1, 0, 0, 0, 1, 0);
}

TEST(Matrix, RollThenPitchThenYaw) {
  gfx::Matrix m;
  // Roll first takes +x to +y, then pitch takes +y to +z. Pitch first would leave +x alone.
  gfx::MatrixRotationYawPitchRoll(&m, 0, kHalfPi, kHalfPi);
  ExpectPoint(m, 1, 0, 0, 0, 0, 1);
  // ... and yaw last takes +z to +x. Yaw first would end at -x.
  gfx::MatrixRotationYawPitchRoll(&m, kHalfPi, kHalfPi, kHalfPi);
  ExpectPoint(m, 1, 0, 0, 1, 0, 0);
}

TEST(Matrix, ScaleRotateTranslatePlacesAModelPoint) {
  gfx::Matrix s, r, t, world;
  gfx::MatrixScaling(&s, 2, 2, 2);
  gfx::MatrixRotationYawPitchRoll(&r, kHalfPi, 0, 0);
  gfx::MatrixTranslation(&t, 10, 20, 30);
  gfx::MatrixMultiply(&world, &s, &r);
  gfx::MatrixMultiply(&world, &world, &t);  // out aliases a
  // (0,0,1) scaled to (0,0,2), turned to (2,0,0), moved to (12,20,30).
  ExpectPoint(world, 0, 0, 1, 12, 20, 30);
  ExpectPoint(world, 0, 0, 0, 10, 20, 30);
}

TEST(Matrix, MultiplyAppliesLeftOperandFirst) {
  gfx::Matrix s, t, m, identity;
  gfx::MatrixScaling(&s, 2, 3, 4);
  gfx::MatrixTranslation(&t, 1, 1, 1);
  gfx::MatrixMultiply(&m, &t, &s);  // move, then scale the moved point
  ExpectPoint(m, 0, 0, 0, 2, 3, 4);
  gfx::MatrixMultiply(&m, &s, &t);  // scale, then move
  ExpectPoint(m, 0, 0, 0, 1, 1, 1);
  gfx::MatrixMultiply(&m, &s, &m);  // out aliases b: scale twice, then move
  ExpectPoint(m, 1, 1, 1, 5, 10, 17);
  gfx::MatrixIdentity(&identity);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_EQ(identity.m[r][c], r == c ? 1.0f : 0.0f);
}

TEST(Matrix, InverseUndoesTheTransformAndRefusesASingularOne) {
  gfx::Matrix s, r, t, m, inverse;
  gfx::MatrixScaling(&s, 2, 3, 4);
  gfx::MatrixRotationYawPitchRoll(&r, 0.6f, 0.35f, -0.2f);
  gfx::MatrixTranslation(&t, 1, -2, 70);
  gfx::MatrixMultiply(&m, &s, &r);
  gfx::MatrixMultiply(&m, &m, &t);
  float determinant = 0;
  ASSERT_EQ(gfx::MatrixInverse(&inverse, &determinant, &m), &inverse);
  EXPECT_NEAR(determinant, 24.0f, 1e-4f);  // a rotation and a move keep the scaling's volume
  gfx::Matrix both;
  gfx::MatrixMultiply(&both, &m, &inverse);
  ExpectPoint(both, 5, -7, 11, 5, -7, 11);
  ExpectPoint(inverse, 1, -2, 70, 0, 0, 0);  // the move's target goes back to the origin

  gfx::Matrix flat, kept = inverse;
  gfx::MatrixScaling(&flat, 1, 0, 1);
  EXPECT_EQ(gfx::MatrixInverse(&kept, &determinant, &flat), nullptr);
  EXPECT_EQ(determinant, 0.0f);
  EXPECT_EQ(std::memcmp(&kept, &inverse, sizeof kept), 0) << "a failed inverse writes nothing";
}

TEST(Matrix, TransposeSwapsRowsAndColumnsInPlaceToo) {
  gfx::Matrix m, t;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) m.m[r][c] = static_cast<float>(r * 4 + c);
  gfx::MatrixTranspose(&t, &m);
  gfx::MatrixTranspose(&m, &m);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      EXPECT_EQ(t.m[r][c], static_cast<float>(c * 4 + r));
      EXPECT_EQ(m.m[r][c], t.m[r][c]);
    }
}

}  // namespace
