#include "app/app_state.hpp"

constinit SceneSettingsRecord SceneSettings = kInitialSceneSettings;
constinit AppStateRecord AppState = kInitialAppState;
