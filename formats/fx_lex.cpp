// The outer-layer lexer: one linear pass, every read checked against the end of the text. The
// preprocessor has already removed comments and joined continued lines.
#include "formats/fx_lex.hpp"

#include <cstring>

#include "formats/quote.hpp"

namespace formats {
namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || IsDigit(c); }

}  // namespace

bool LexFx(std::string_view text, std::vector<FxToken>* tokens, int* errorLine,
           std::string* message) {
  tokens->clear();
  const size_t n = text.size();
  int line = 0;
  bool lineStart = true;
  for (size_t i = 0; i < n;) {
    const char c = text[i];
    if (c == '\n') {
      ++line;
      ++i;
      lineStart = true;
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
      ++i;
      continue;
    }
    if (tokens->size() >= kMaxFxTokens) {
      *errorLine = line;
      *message = "the effect has more than " + std::to_string(kMaxFxTokens) + " tokens";
      return false;
    }
    FxToken t;
    t.begin = static_cast<uint32_t>(i);
    t.line = line;
    if (c == '#' && lineStart) {
      while (i < n && text[i] != '\n') ++i;
      t.kind = FxTok::Directive;
    } else if (IsIdentStart(c)) {
      while (i < n && IsIdentChar(text[i])) ++i;
      t.kind = FxTok::Ident;
    } else if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(text[i + 1]))) {
      ++i;
      while (i < n) {
        if ((text[i] == '+' || text[i] == '-') && (text[i - 1] == 'e' || text[i - 1] == 'E') &&
            !(text[t.begin] == '0' && i > t.begin + 1 &&
              (text[t.begin + 1] == 'x' || text[t.begin + 1] == 'X'))) {
          ++i;
        } else if (IsIdentChar(text[i]) || text[i] == '.') {
          ++i;
        } else {
          break;
        }
      }
      t.kind = FxTok::Number;
    } else if (c == '"') {
      ++i;
      while (i < n && text[i] != '"' && text[i] != '\n')
        i += (text[i] == '\\' && i + 1 < n) ? 2 : 1;
      if (i >= n || text[i] != '"') {
        *errorLine = line;
        *message = "a string is never closed";
        return false;
      }
      ++i;
      t.kind = FxTok::String;
    } else if (std::strchr("{}()[]<>;,=:+-*/%!~&|^?.", c) && c != '\0') {
      ++i;
      t.kind = FxTok::Punct;
    } else {
      *errorLine = line;
      *message = "unexpected character " + Quote(text.substr(i, 1));
      return false;
    }
    lineStart = false;
    t.end = static_cast<uint32_t>(i);
    tokens->push_back(t);
  }
  FxToken end;
  end.kind = FxTok::End;
  end.begin = end.end = static_cast<uint32_t>(n);
  end.line = line;
  tokens->push_back(end);
  return true;
}

}  // namespace formats
