// The per-frame effect parameters and the placement of one object, set on AppState.effect by
// name. Angles reach SetObjectTransform in radians.
#pragma once

// π/180 as the single-precision value the angles are converted with everywhere.
constexpr float kDegreesToRadians = 0.0174532924f;

void BindFrameParameters();
void SetObjectTransform(float tx, float ty, float tz, float yaw, float pitch, float roll,
                        float scale);
