// Built with the seam's matrix functions, which are D3DX's own on Windows, so both builds start
// from the same matrices.
#include "tools/fxview/scene.hpp"

#include <cmath>

namespace fxview {
namespace {

// The shipped sphere has radius 20 and its centre at the origin. From 70 units it fills about
// three quarters of the picture's height.
constexpr float kCameraDistance = 70.0f;
// Looking a little down on the mesh, so the view matrix is more than a move.
constexpr float kCameraPitch = 0.35f;
// The mesh turned a little, so that an effect that takes the world matrix for the identity (or
// the world for the view) draws a picture visibly different from the right one.
constexpr float kWorldYaw = 0.6f;
constexpr float kFieldOfView = 0.7853982f;  // 45°

void Set(float out[4], float x, float y, float z, float w) {
  out[0] = x, out[1] = y, out[2] = z, out[3] = w;
}

}  // namespace

FixedScene MakeScene(uint32_t size) {
  FixedScene s{};
  s.size = size;
  gfx::MatrixRotationYawPitchRoll(&s.world, kWorldYaw, 0.0f, 0.0f);

  // The camera's own placement: pitched, then moved back along its view direction; the view
  // matrix is its inverse.
  const float eyeY = kCameraDistance * std::sin(kCameraPitch);
  const float eyeZ = -kCameraDistance * std::cos(kCameraPitch);
  gfx::Matrix turn, move, camera;
  gfx::MatrixRotationYawPitchRoll(&turn, 0.0f, kCameraPitch, 0.0f);
  gfx::MatrixTranslation(&move, 0.0f, eyeY, eyeZ);
  gfx::MatrixMultiply(&camera, &turn, &move);
  gfx::MatrixInverse(&s.view, nullptr, &camera);
  gfx::MatrixPerspectiveFovLH(&s.projection, kFieldOfView, 1.0f, 1.0f, 1000.0f);
  Set(s.cameraPosition, 0.0f, eyeY, eyeZ, 1.0f);

  // From the upper left, in front of the mesh.
  const float third = 1.0f / std::sqrt(3.0f);
  Set(s.lightDirection, third, -third, third, 0.0f);
  Set(s.lightPosition, -100.0f * third, 100.0f * third, -100.0f * third, 1.0f);
  Set(s.lightColour, 1.0f, 1.0f, 1.0f, 1.0f);
  Set(s.lightAmbient, 0.3f, 0.3f, 0.3f, 1.0f);
  Set(s.materialDiffuse, 0.9f, 0.9f, 0.9f, 1.0f);
  Set(s.materialSpecular, 0.5f, 0.5f, 0.5f, 1.0f);
  Set(s.materialAmbient, 0.3f, 0.3f, 0.3f, 1.0f);
  s.specularPower = 32.0f;
  s.time = 0.0f;
  return s;
}

}  // namespace fxview
