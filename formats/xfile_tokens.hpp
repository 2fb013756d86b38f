// The lexical layer of .x files: the 16-byte header, MSZIP decompression, and one tokenizer for
// the text and binary encodings (32- or 64-bit floats), so the object reader sees one stream.
// Limits: the decompressed data is held whole and capped; binary lists are checked against the
// bytes left before they are read.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace formats::xfile {

enum class Tok : uint8_t {
  End,
  Name,
  String,
  Integer,
  Float,
  Guid,
  OpenBrace,
  CloseBrace,
  Separator,  // ',' or ';'
  Other,      // template punctuation and type words
  Error,
};

struct Token {
  Tok kind = Tok::End;
  bool negative = false;   // Integer: a '-' sign
  uint64_t magnitude = 0;  // Integer: saturates at 2^63 rather than wrapping
  double number = 0;       // Integer and Float
  std::string_view text;   // Name, String, Guid (text form); the spelling of a text number
};

struct Header {
  bool binary = false, compressed = false;
  int floatBytes = 4;
};

// Checks "xof VVVVFFFFSSSS". False with the fault in *error.
bool ReadHeader(std::string_view bytes, Header* header, std::string* error);

// MSZIP: a 32-bit total size, then blocks of [16-bit plain size][16-bit packed size, 'CK'
// included]['CK'][deflate], each block using the data before it as its dictionary.
bool Inflate(std::string_view packed, size_t maxBytes, std::string* out, std::string* error);

class Tokenizer {
 public:
  Tokenizer(std::string_view data, bool binary, int floatBytes, size_t firstByte, bool compressed);

  Token Next();
  // Binary lists hand out one number per Next(); a reader skipping an object drops the rest whole.
  void DropList() {
    p_ += size_t{listLeft_} * listBytes_;
    listLeft_ = 0;
  }
  size_t BytesLeft() const { return static_cast<size_t>(end_ - p_); }
  // The fewest bytes one more value can take: a count announcing more values than this allows is
  // refused before anything is sized by it.
  size_t MinBytesPerValue() const { return binary_ ? 4 : 2; }
  bool Binary() const { return binary_; }
  // Where the last token began, for messages: "line N" or "at byte N".
  std::string Where() const;
  const std::string& Fault() const { return fault_; }

 private:
  Token Fail(std::string what);
  Token NextText();
  Token NextBinary();
  Token NextBinaryToken(bool* listStarted);
  Token TextNumber();

  const unsigned char* p_;
  const unsigned char* begin_;
  const unsigned char* end_;
  bool binary_, compressed_;
  int floatBytes_;
  size_t firstByte_;  // the file offset of begin_, for binary messages
  uint32_t listLeft_ = 0, listBytes_ = 0;
  bool listFloat_ = false;
  uint32_t line_ = 1, tokenLine_ = 1;
  size_t tokenOffset_ = 0;
  std::string fault_;
};

}  // namespace formats::xfile
