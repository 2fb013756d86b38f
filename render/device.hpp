#pragma once
#include <memory>

// Creates the graphics context and device on AppState.window, loads both meshes, takes the first
// clock reading, sets culling and the projection, creates the overlay font. Throws
// std::runtime_error naming what failed when the device, a mesh or the font cannot be made.
void InitDevice();
// Both textures and the effect; an effect that fails to build is reported in a message box and
// the program runs on without it.
void LoadResources();
// Releases every resource in a fixed order, skipping null fields; safe to call twice.
void ReleaseResources();
// "modeli\" followed by name; the allocation is exactly strlen(name) + 8 bytes.
std::unique_ptr<char[]> ModelPath(const char* name);
