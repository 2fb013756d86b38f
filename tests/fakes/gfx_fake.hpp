// Recording fake of the graphics seam (render/gfx/gfx.hpp). Hands out distinct objects, honours
// AddRef/Release, and records every call on every object with its arguments so tests can assert on
// the sequence. Creation failures, pass counts, mesh materials and the clock are settable.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "render/gfx/gfx.hpp"

namespace gfxfake {

struct Call {
  std::string op;  // method or function name: "SetFloat", "DrawSubset", "CreateDevice"…
  const void* object = nullptr;   // the object called (null for free functions)
  std::string name;               // parameter, technique or file name; the text for DrawText
  std::vector<float> floats;      // SetFloat: 1; SetFloatArray: count; SetMatrix: 16 (row-major);
                                  // Clear: z; SetTransform: 16
  const void* pointer = nullptr;  // SetTexture: the texture; DrawText: the rectangle's address
  int64_t integer = 0;  // DrawSubset/BeginPass: index; Clear: flags; SetRenderState: state;
                        // Begin: flags; DrawText: count
  uint64_t extra = 0;   // Clear/DrawText: colour; SetRenderState: value; Begin: passes given
  gfx::Rect rect{};     // DrawText: the rectangle as passed
  // Further arguments, in the function's order where it has more than the fields above hold:
  // CreateDevice: adapter, device type, behaviour flags; CreateFont: height, width, weight,
  // mip levels, italic, char set, output precision, quality, pitch and family; LoadMeshFromX:
  // options; CreateEffectFromFile: flags; DrawText: format; Create: SDK version;
  // GetAdapterDisplayMode: adapter; ReadBackBuffer: width, height.
  std::vector<int64_t> ints;
  // CreateDevice: focus window; creation functions: the device given; CreateEffectFromFile:
  // defines, include, pool; Present: source, destination, window, dirty region; Clear: rects;
  // DrawText: sprite.
  std::vector<const void*> pointers;
  gfx::PresentParameters present{};  // CreateDevice: the parameters as passed
  const void* created = nullptr;     // creation functions: the object handed out (null on failure)
};

// Forgets calls and objects' bookkeeping (live objects are leaked, not freed), resets every
// setting: pass count 2 for every technique, no failures, clock at 0, default mesh materials.
void Reset();
const std::vector<Call>& Calls();
void ClearCalls();
// Calls whose op equals op, in order.
std::vector<Call> CallsOf(const std::string& op);

// Pass count Begin reports while the named technique is current (default 2 for any name).
void SetPassCount(const std::string& technique, uint32_t passes);
// Makes the named creation fail: "Create", "CreateDevice", "CreateFont", "CreateEffect",
// or "LoadMesh:<file>" / "CreateTexture:<file>" for one file.
void FailCreation(const std::string& what);
// Error text the failed effect creation returns (default: "Za_rad_2.fx(1): error: fake failure");
// an empty string means no error buffer at all. Unterminated: the buffer's size ends before the
// NUL and non-NUL bytes follow it, as some libraries hand the text back.
void SetEffectErrorText(const std::string& text, bool terminated = true);
// Texture names of the materials a mesh file yields (default: one material, "chair_tex.png",
// for any file); an empty list yields a mesh with no materials; a null entry is written as "".
void SetMeshMaterials(const std::string& file, const std::vector<std::string>& textureNames);
// What the effect declares, for GetParameterDesc and GetParameter (in name order): by default
// every parameter the program sets, with the type it sets, and no annotations. A desc with a null
// Name removes the parameter. Techniques: by default any name is accepted and none is enumerated;
// after SetEffectTechniques only the names given are, in that order.
void SetEffectParameter(const std::string& name, const gfx::ParameterDesc& desc);
void SetEffectTechniques(const std::vector<std::string>& names);
// Error text of a failed LoadMesh (default: "<file>: fake load failure").
void SetMeshErrorText(const std::string& text);
// Makes Begin fail (and write no pass count) while set.
void FailBegin(bool fail);

void SetClock(int64_t milliseconds);
void AdvanceClock(int64_t milliseconds);

// Objects created and not yet released to zero references.
int LiveObjects();

// Misuse the fake saw since Reset, one line each: a call on an object already released to zero,
// Release below zero, BeginPass outside Begin/End or beyond the pass count, End without Begin,
// EndPass without BeginPass, a draw outside a pass, scene calls out of order. Tests expect it
// empty.
std::vector<std::string> Violations();
// Display mode GetAdapterDisplayMode reports (default 1024x768, 60 Hz, FMT_X8R8G8B8).
void SetDisplayMode(const gfx::DisplayMode& mode);
// File name an object was created from (mesh, texture, effect), the face name for a font, "" else.
std::string NameOf(const void* object);
// The technique an effect has current ("" before the first SetTechnique).
std::string CurrentTechnique(const gfx::Effect* effect);

}  // namespace gfxfake
