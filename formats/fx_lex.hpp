// Tokens of preprocessed effect text for the outer-layer parser: identifiers, numbers, strings and
// punctuation, each with its byte range and 0-based line. Lines the preprocessor passes through
// (#pragma pack_matrix) are reported as Directive tokens.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace formats {

enum class FxTok : uint8_t { End, Ident, Number, String, Punct, Directive };

struct FxToken {
  FxTok kind = FxTok::End;
  uint32_t begin = 0, end = 0;  // byte range in the text
  int line = 0;                 // 0-based line of the text
};

constexpr size_t kMaxFxTokens = 2u << 20;

// Cuts text into tokens, ending with one End token. On failure returns false with the line and a
// message (an unexpected character, an unclosed string, too many tokens).
bool LexFx(std::string_view text, std::vector<FxToken>* tokens, int* errorLine,
           std::string* message);

}  // namespace formats
