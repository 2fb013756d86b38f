#pragma once

void BindFrameParameters();
void SetObjectTransform(float tx, float ty, float tz, float yaw, float pitch, float roll,
                        float scale);
