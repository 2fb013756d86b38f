#include "app/app_state.hpp"

constinit const SceneSettingsRecord kInitialSceneSettings = {
    1,                 // number_objects
    2,                 // number_objects_step
    {0.0f, 0.0f, 10.0f},  // light_position
    0.1f,              // kAmbient
    1.0f,              // kDifuse
    {1.0f, 0.7f, 0.7f},   // intensity_source
    {0.0f, 0.5f, 0.5f},   // intensity_ambient
};

constinit const AppStateRecord kInitialAppState = [] {
  AppStateRecord state{};
  state.colorAnimationActive = true;
  return state;
}();

constinit SceneSettingsRecord SceneSettings = kInitialSceneSettings;
constinit AppStateRecord AppState = kInitialAppState;
