// The fixed inputs every picture is drawn with: the camera, the light, the material, the clock.
// Fixed so that two builds, or two days, draw the same picture.
#pragma once
#include <cstdint>

#include "render/gfx/gfx.hpp"

namespace fxview {

// Opaque dark blue-grey: a colour effects rarely draw, so a script can tell drawn pixels from
// the background (scripts/compare-effects.sh holds the same value).
constexpr uint32_t kClearColour = 0xFF203040u;

struct FixedScene {
  uint32_t size;  // the picture is size x size pixels
  gfx::Matrix world, view, projection;
  float cameraPosition[4];  // w = 1
  // Where the light goes (not where it comes from), in world space; w = 0.
  float lightDirection[4];
  float lightPosition[4];  // w = 1: a point light far back along lightDirection
  float lightColour[4], lightAmbient[4];
  float materialDiffuse[4], materialSpecular[4], materialAmbient[4];
  float specularPower;
  float time;  // seconds
};

FixedScene MakeScene(uint32_t size);

}  // namespace fxview
