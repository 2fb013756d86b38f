// The program's two global records. Every part of the program reads and writes their fields
// directly; nothing else is shared. Both are constant-initialised and have no constructors, so they
// hold their initial values before the first line of the entry function runs.
#pragma once
#include <cstdint>

#include "app/window_system.hpp"
#include "render/gfx/gfx.hpp"

struct SceneSettingsRecord {
  int32_t number_objects;       // copies per draw list, kept within 1..50
  int32_t number_objects_step;  // arrow-key step, kept within 1..10 by the settings reader
  float light_position[3];      // point light, world units (x, y, z)
  float kAmbient;               // ambient reflection factor
  float kDifuse;                // diffuse reflection factor
  float intensity_source[3];    // light source intensity (r, g, b)
  float intensity_ambient[3];   // ambient light intensity (r, g, b)
};

struct AppStateRecord {
  HWND window;

  // Device-bound resources: each non-null field holds exactly one reference.
  gfx::Context* d3d;
  gfx::Device* device;
  gfx::Texture* sphereTexture;
  gfx::Texture* chairTexture;
  gfx::Effect* effect;
  gfx::Mesh* sphereMesh;
  gfx::Mesh* chairMesh;
  gfx::Buffer* sphereMaterials;
  gfx::Buffer* chairMaterials;
  uint32_t sphereMaterialCount;
  uint32_t chairMaterialCount;
  gfx::Font* font;

  gfx::Matrix view;        // identity before every use
  gfx::Matrix projection;  // left-handed perspective, depth 0..1
  gfx::Matrix world;       // world matrix of the object drawn last

  float yawDegrees;           // degrees, changed by left drags
  float pitchDegrees;         // degrees, changed by left drags
  bool colorAnimationActive;  // true while the technique is ColorAnimation

  // Frame clock.
  int64_t lastClock;      // milliseconds, reading taken by the previous frame
  int32_t frameCount;     // frames begun since fps was last published, current one included
  double elapsedSeconds;  // seconds since the first reading
  double fpsTimer;        // seconds gathered toward the next fps publication
  int32_t fps;            // frames per second last published

  // Mouse-drag tracking.
  bool leftButtonDown;
  int32_t leftLastX, leftLastY;  // client pixels at the last left press or move
  bool rightButtonDown;
  int32_t rightLastX, rightLastY;  // client pixels at the last right press, release or move
};

extern SceneSettingsRecord SceneSettings;
extern AppStateRecord AppState;

// The initial values; also what tests restore for a fresh start.
inline constexpr SceneSettingsRecord kInitialSceneSettings = {
    1,                    // number_objects
    2,                    // number_objects_step
    {0.0f, 0.0f, 10.0f},  // light_position
    0.1f,                 // kAmbient
    1.0f,                 // kDifuse
    {1.0f, 0.7f, 0.7f},   // intensity_source
    {0.0f, 0.5f, 0.5f},   // intensity_ambient
};

inline constexpr AppStateRecord kInitialAppState = [] {
  AppStateRecord state{};
  state.colorAnimationActive = true;
  return state;
}();
