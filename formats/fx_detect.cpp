// Telling a D3D9 effect file from our GLSL effect format by its content, before either reader
// runs. A cheap scan that skips comments and strings; it decides nothing else.
#include <cctype>
#include <cstring>
#include <string_view>

#include "formats/fx_effect.hpp"
#include "formats/fx_fixed_states.hpp"
#include "formats/fx_states.hpp"

namespace formats {

// Tells the two languages apart by words each one has and the other lacks: our blocks
// (vertex_shader NAME {, fragment_shader, glsl common, FragmentShader =) against HLSL's compile,
// PixelShader, semantics (':' outside braces) and preprocessor lines. Comments and strings are
// skipped; a file with neither (empty, binary) goes to our format's reader, whose messages cover
// it.
namespace {

bool IsOurState(std::string_view word) {
  for (const char* name : {"CullMode", "ZEnable", "ZWriteEnable", "AlphaBlendEnable", "SrcBlend",
                           "DestBlend", "FillMode"})
    if (FxEqualIgnoringCase(word, name)) return true;
  return false;
}

}  // namespace

bool IsFxEffect(const char* text, size_t size) {
  if (std::memchr(text, 0, size)) return false;
  bool hlsl = false, glsl = false, lineStart = true;
  int depth = 0;
  std::string_view prev;
  for (size_t i = 0; i < size;) {
    const char c = text[i];
    if (c == '\n') {
      lineStart = true;
      ++i;
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (c == '/' && i + 1 < size && text[i + 1] == '/') {
      while (i < size && text[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < size && text[i + 1] == '*') {
      i += 2;
      while (i + 1 < size && !(text[i] == '*' && text[i + 1] == '/')) ++i;
      i += 2;
      continue;
    }
    if (c == '"') {
      ++i;
      while (i < size && text[i] != '"' && text[i] != '\n') ++i;
      ++i;
      continue;
    }
    if (c == '#' && lineStart && depth == 0) hlsl = true;
    lineStart = false;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') {
      const size_t start = i;
      while (i < size && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_')) ++i;
      const std::string_view word(text + start, i - start);
      if (depth == 0 && (word == "vertex_shader" || word == "fragment_shader" ||
                         (prev == "glsl" && word == "common")))
        glsl = true;
      if (word == "FragmentShader") glsl = true;
      if (FxEqualIgnoringCase(word, "compile") || FxEqualIgnoringCase(word, "PixelShader"))
        hlsl = true;
      // A pass that draws with the fixed-function pipeline may have no shader at all; its states
      // are the original format's, and only a few of them are also ours.
      if (depth >= 2 && (FindFxFixedState(word) || (FindFxRenderState(word) && !IsOurState(word))))
        hlsl = true;
      prev = word;
      continue;
    }
    if (c == '{') ++depth;
    if (c == '}' && depth > 0) --depth;
    if (c == ':' && depth == 0) hlsl = true;
    prev = {};
    ++i;
  }
  return hlsl && !glsl;
}

}  // namespace formats
