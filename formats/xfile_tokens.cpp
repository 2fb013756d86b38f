// Header, MSZIP and tokens of .x files. Text numbers are read without the C locale (from_chars),
// so a program that sets a locale with a decimal comma still reads "0.5" as one half.
// Limits: a text number is at most 63 characters; a binary name or string at most what is left.
#include "formats/xfile_tokens.hpp"

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

#include "formats/quote.hpp"

namespace formats::xfile {
namespace {

uint32_t Le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint32_t Le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool IsNameStart(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsNameChar(unsigned char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool ReadHeader(std::string_view bytes, Header* header, std::string* error) {
  if (bytes.size() < 16 || bytes.substr(0, 4) != "xof ") {
    *error = "not a .x file (no \"xof \" header)";
    return false;
  }
  const std::string_view format = bytes.substr(8, 4), floatSize = bytes.substr(12, 4);
  if (floatSize != "0032" && floatSize != "0064") {
    *error = "unsupported float size " + Quote(floatSize);
    return false;
  }
  if (format != "txt " && format != "bin " && format != "tzip" && format != "bzip") {
    *error = "unsupported .x encoding " + Quote(format);
    return false;
  }
  header->binary = format == "bin " || format == "bzip";
  header->compressed = format == "tzip" || format == "bzip";
  header->floatBytes = floatSize == "0064" ? 8 : 4;
  return true;
}

bool Inflate(std::string_view packed, size_t maxBytes, std::string* out, std::string* error) {
  const auto* p = reinterpret_cast<const unsigned char*>(packed.data());
  const unsigned char* end = p + packed.size();
  if (packed.size() < 4) {
    *error = "compressed data truncated";
    return false;
  }
  // The total counts the 16 header bytes too; it only bounds what the blocks may produce.
  const uint32_t total = Le32(p);
  if (total > maxBytes) {
    *error = "compressed data claims " + std::to_string(total) + " bytes, over the limit of " +
             std::to_string(maxBytes);
    return false;
  }
  p += 4;
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
    *error = "decompressor unavailable";
    return false;
  }
  out->clear();
  constexpr size_t kMaxBlock = 32768;
  unsigned char block[kMaxBlock];
  bool ok = true;
  while (ok && p < end) {
    if (end - p < 6) {
      *error = "compressed block header truncated";
      ok = false;
      break;
    }
    const uint32_t plain = Le16(p), size = Le16(p + 2);
    if (plain > kMaxBlock) {
      *error = "compressed block of " + std::to_string(plain) + " bytes, over 32768";
      ok = false;
      break;
    }
    if (size < 2 || p[4] != 'C' || p[5] != 'K') {
      *error = "compressed block without its 'CK' mark";
      ok = false;
      break;
    }
    p += 6;
    const size_t available = std::min<size_t>(size - 2, end - p);
    // Every block starts a new deflate stream whose history is the data already produced.
    if (!out->empty()) {
      const size_t history = std::min(out->size(), kMaxBlock);
      inflateSetDictionary(&stream,
                           reinterpret_cast<const Bytef*>(out->data() + out->size() - history),
                           static_cast<uInt>(history));
    }
    stream.next_in = const_cast<unsigned char*>(p);
    stream.avail_in = static_cast<uInt>(available);
    stream.next_out = block;
    stream.avail_out = kMaxBlock;
    const int result = inflate(&stream, Z_SYNC_FLUSH);
    const size_t produced = kMaxBlock - stream.avail_out;
    if ((result != Z_OK && result != Z_STREAM_END) || produced == 0 || produced > plain) {
      *error = "compressed data is corrupt";
      ok = false;
      break;
    }
    if (out->size() + produced > maxBytes) {
      *error = "decompressed data over the limit of " + std::to_string(maxBytes) + " bytes";
      ok = false;
      break;
    }
    out->append(reinterpret_cast<const char*>(block), produced);
    inflateReset(&stream);
    p += available;
  }
  // On every path: a stream left open would leak zlib's window.
  inflateEnd(&stream);
  if (ok && out->empty()) {
    *error = "compressed data holds nothing";
    ok = false;
  }
  return ok;
}

Tokenizer::Tokenizer(std::string_view data, bool binary, int floatBytes, size_t firstByte,
                     bool compressed)
    : p_(reinterpret_cast<const unsigned char*>(data.data())),
      begin_(p_),
      end_(p_ + data.size()),
      binary_(binary),
      compressed_(compressed),
      floatBytes_(floatBytes),
      firstByte_(firstByte) {}

std::string Tokenizer::Where() const {
  if (!binary_) return "line " + std::to_string(tokenLine_);
  return "at byte " + std::to_string(tokenOffset_ + firstByte_) +
         (compressed_ ? " of the decompressed data" : "");
}

Token Tokenizer::Fail(std::string what) {
  fault_ = std::move(what);
  Token t;
  t.kind = Tok::Error;
  return t;
}

Token Tokenizer::Next() { return binary_ ? NextBinary() : NextText(); }

Token Tokenizer::NextText() {
  for (;;) {
    while (p_ < end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\r' || *p_ == '\n')) {
      if (*p_ == '\n') ++line_;
      ++p_;
    }
    if (p_ < end_ && (*p_ == '#' || (*p_ == '/' && p_ + 1 < end_ && p_[1] == '/'))) {
      const void* newline = std::memchr(p_, '\n', end_ - p_);
      p_ = newline ? static_cast<const unsigned char*>(newline) : end_;
      continue;
    }
    break;
  }
  tokenLine_ = line_;
  Token t;
  if (p_ >= end_) return t;
  const unsigned char* start = p_;
  const unsigned char c = *p_;
  switch (c) {
    case '{':
      ++p_;
      t.kind = Tok::OpenBrace;
      return t;
    case '}':
      ++p_;
      t.kind = Tok::CloseBrace;
      return t;
    case ',':
    case ';':
      ++p_;
      t.kind = Tok::Separator;
      return t;
    case '[':
    case ']':
      ++p_;
      t.kind = Tok::Other;
      return t;
    case '<': {
      const unsigned char* close = p_ + 1;
      while (close < end_ && *close != '>' && *close != '\n' && close - p_ < 64) ++close;
      if (close >= end_ || *close != '>') return Fail("unterminated <GUID>");
      t.kind = Tok::Guid;
      t.text = std::string_view(reinterpret_cast<const char*>(p_ + 1), close - p_ - 1);
      p_ = close + 1;
      return t;
    }
    case '"': {
      const unsigned char* q = p_ + 1;
      while (q < end_ && *q != '"') line_ += *q++ == '\n';
      if (q >= end_) return Fail("unterminated string");
      t.kind = Tok::String;
      t.text = std::string_view(reinterpret_cast<const char*>(p_ + 1), q - p_ - 1);
      p_ = q + 1;
      return t;
    }
    default: break;
  }
  if (IsDigit(c) || c == '-' || c == '+' || c == '.') {
    // "..." stands in a template's open restriction.
    if (c == '.' && !(p_ + 1 < end_ && IsDigit(p_[1]))) {
      while (p_ < end_ && *p_ == '.') ++p_;
      t.kind = Tok::Other;
      return t;
    }
    return TextNumber();
  }
  if (IsNameStart(c)) {
    while (p_ < end_ && IsNameChar(*p_)) ++p_;
    t.kind = Tok::Name;
    t.text = std::string_view(reinterpret_cast<const char*>(start), p_ - start);
    return t;
  }
  return Fail("unexpected character " + Quote({reinterpret_cast<const char*>(start), 1}));
}

Token Tokenizer::TextNumber() {
  const unsigned char* start = p_;
  Token t;
  t.negative = *p_ == '-';
  if (*p_ == '-' || *p_ == '+') ++p_;
  const unsigned char* digits = p_;
  bool integer = true;
  uint64_t magnitude = 0;
  while (p_ < end_ && IsDigit(*p_)) {
    magnitude =
        magnitude > (uint64_t{1} << 59) ? (uint64_t{1} << 63) : magnitude * 10 + (*p_ - '0');
    ++p_;
  }
  size_t count = p_ - digits;
  if (p_ < end_ && *p_ == '.') {
    integer = false;
    ++p_;
    while (p_ < end_ && IsDigit(*p_)) ++p_, ++count;
  }
  bool malformed = count == 0;
  if (!malformed && p_ < end_ && (*p_ == 'e' || *p_ == 'E')) {
    integer = false;
    ++p_;
    if (p_ < end_ && (*p_ == '-' || *p_ == '+')) ++p_;
    const unsigned char* exponent = p_;
    while (p_ < end_ && IsDigit(*p_)) ++p_;
    malformed = p_ == exponent;
  }
  // Names may begin with a digit in some exporters' files ("1_Bone"): the whole run is a name.
  if (p_ < end_ && IsNameChar(*p_) && IsDigit(*start)) {
    while (p_ < end_ && IsNameChar(*p_)) ++p_;
    t.kind = Tok::Name;
    t.text = std::string_view(reinterpret_cast<const char*>(start), p_ - start);
    return t;
  }
  t.text = std::string_view(reinterpret_cast<const char*>(start), p_ - start);
  if (malformed) return Fail("malformed number " + Quote(t.text));
  if (t.text.size() > 63) return Fail("number too long");
  if (integer) {
    t.kind = Tok::Integer;
    t.magnitude = magnitude;
    t.number = t.negative ? -static_cast<double>(magnitude) : static_cast<double>(magnitude);
    return t;
  }
  t.kind = Tok::Float;
  const char* first = reinterpret_cast<const char*>(start + (*start == '+'));
  const auto result = std::from_chars(first, reinterpret_cast<const char*>(p_), t.number);
  // Beyond double's range: a huge value is left infinite, so the reader's finiteness check names
  // it; a vanishing one ("1e-400") is zero.
  if (result.ec == std::errc::result_out_of_range) {
    const bool tiny =
        t.text.find("e-") != std::string_view::npos || t.text.find("E-") != std::string_view::npos;
    t.number = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    if (t.negative) t.number = -t.number;
  }
  return t;
}

Token Tokenizer::NextBinary() {
  Token t;
  // A loop, not a call per empty list: a file of empty lists must not run the stack out.
  for (;;) {
    bool listStarted = false;
    t = NextBinaryToken(&listStarted);
    if (!listStarted) return t;
  }
}

Token Tokenizer::NextBinaryToken(bool* listStarted) {
  Token t;
  if (listLeft_ > 0) {
    --listLeft_;
    if (listFloat_) {
      t.kind = Tok::Float;
      if (floatBytes_ == 8) {
        std::memcpy(&t.number, p_, 8);
      } else {
        float f;
        std::memcpy(&f, p_, 4);
        t.number = f;
      }
      p_ += floatBytes_;
    } else {
      t.kind = Tok::Integer;
      t.magnitude = Le32(p_);
      t.number = static_cast<double>(t.magnitude);
      p_ += 4;
    }
    return t;
  }
  tokenOffset_ = p_ - begin_;
  if (p_ >= end_) return t;
  if (BytesLeft() < 2) return Fail("truncated token");
  const uint32_t code = Le16(p_);
  p_ += 2;
  switch (code) {
    case 1:    // name
    case 2: {  // string
      if (BytesLeft() < 4) return Fail("truncated name");
      const uint32_t length = Le32(p_);
      p_ += 4;
      if (BytesLeft() < length) return Fail("name or string runs past the end of the file");
      t.kind = code == 1 ? Tok::Name : Tok::String;
      t.text = std::string_view(reinterpret_cast<const char*>(p_), length);
      p_ += length;
      return t;
    }
    case 3:
      if (BytesLeft() < 4) return Fail("truncated integer");
      t.kind = Tok::Integer;
      t.magnitude = Le32(p_);
      t.number = static_cast<double>(t.magnitude);
      p_ += 4;
      return t;
    case 5:
      if (BytesLeft() < 16) return Fail("truncated GUID");
      t.kind = Tok::Guid;
      t.text = std::string_view(reinterpret_cast<const char*>(p_), 16);
      p_ += 16;
      return t;
    case 6:    // integer list
    case 7: {  // float list
      if (BytesLeft() < 4) return Fail("truncated list");
      const uint32_t count = Le32(p_);
      p_ += 4;
      const uint32_t each = code == 6 ? 4 : static_cast<uint32_t>(floatBytes_);
      if (count > BytesLeft() / each)
        return Fail("list of " + std::to_string(count) + " values runs past the end of the file");
      listLeft_ = count;
      listBytes_ = each;
      listFloat_ = code == 7;
      // The list's values come from the next calls; an empty one is no value at all.
      *listStarted = true;
      return t;
    }
    case 10: t.kind = Tok::OpenBrace; return t;
    case 11: t.kind = Tok::CloseBrace; return t;
    case 19:
    case 20: t.kind = Tok::Separator; return t;
    case 31:
      t.kind = Tok::Name;
      t.text = "template";
      return t;
    default:
      if ((code >= 12 && code <= 18) || (code >= 40 && code <= 53)) {
        t.kind = Tok::Other;
        return t;
      }
      return Fail("unknown binary token " + std::to_string(code));
  }
}

}  // namespace formats::xfile
