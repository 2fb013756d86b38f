// The GL-free image readers on real files written by other tools (tests/data/images, see
// SOURCES.md) and on files made here for the edges: sizes and pixels against reference decodes,
// damaged files failing with a reason, and headers that claim huge pictures refused at once.
#include "formats/image_decode.hpp"

#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

using formats::DecodedImage;
using formats::PixelFormat;

std::string ReadFile(const std::string& name) {
  std::ifstream in(TOBRIN_SOURCE_DIR "/tests/data/images/" + name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Result {
  bool ok;
  DecodedImage image;
  std::string why;
};

Result Decode(const std::string& bytes) {
  Result r;
  r.ok = formats::DecodeImage(bytes, &r.image, &r.why);
  return r;
}

const unsigned char* Texel(const DecodedImage& image, int x, int y) {
  return image.levels[0].data + (size_t(y) * image.width + x) * 4;
}

// Mean absolute difference of the RGB channels of two RGBA8 pictures of one size.
double MeanDifference(const DecodedImage& a, const DecodedImage& b) {
  double sum = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      for (int c = 0; c < 3; ++c) sum += std::abs(Texel(a, x, y)[c] - Texel(b, x, y)[c]);
  return sum / (3.0 * a.width * a.height);
}

void Put32(std::string* s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*s)[at + i] = char(v >> (8 * i));
}

// A DDS header for a legacy pixel format (flags, FourCC or bit count and masks) with data after it.
std::string Dds(int width, int height, uint32_t mips, uint32_t pfFlags, uint32_t fourCc,
                uint32_t bits = 0, uint32_t r = 0, uint32_t g = 0, uint32_t b = 0, uint32_t a = 0) {
  std::string s(128, '\0');
  std::memcpy(&s[0], "DDS ", 4);
  Put32(&s, 4, 124);
  Put32(&s, 8, 0x1007 | (mips > 1 ? 0x20000 : 0));
  Put32(&s, 12, height), Put32(&s, 16, width), Put32(&s, 28, mips);
  Put32(&s, 76, 32), Put32(&s, 80, pfFlags), Put32(&s, 84, fourCc), Put32(&s, 88, bits);
  Put32(&s, 92, r), Put32(&s, 96, g), Put32(&s, 100, b), Put32(&s, 104, a);
  return s;
}

TEST(ImageFiles, EachRealFileDecodesToItsSize) {
  const struct {
    const char* name;
    int width, height;
    PixelFormat format;
    size_t levels;
  } kFiles[] = {
      {"rgb24.bmp", 127, 64, PixelFormat::kRgba8, 1},
      {"pal8rle.bmp", 127, 64, PixelFormat::kRgba8, 1},
      {"pal4rle.bmp", 127, 64, PixelFormat::kRgba8, 1},
      {"pal4rlecut.bmp", 127, 64, PixelFormat::kRgba8, 1},
      {"pal8os2-sz.bmp", 127, 64, PixelFormat::kRgba8, 1},
      {"Info_8_Bit_Top_Down.bmp", 6, 6, PixelFormat::kRgba8, 1},
      {"testorig.jpg", 227, 149, PixelFormat::kRgba8, 1},
      {"testimgari.jpg", 227, 149, PixelFormat::kRgba8, 1},
      {"testimgint.jpg", 227, 149, PixelFormat::kRgba8, 1},
      {"progressive.jpg", 32, 23, PixelFormat::kRgba8, 1},
      {"jpg-cmyk-2.jpg", 256, 256, PixelFormat::kRgba8, 1},
      {"black_white.tga", 1280, 720, PixelFormat::kRgba8, 1},
      {"WhiteBorderRLE.tga", 512, 512, PixelFormat::kRgba8, 1},
      {"Dock317x177.tga", 317, 177, PixelFormat::kRgba8, 1},
      {"testorig.ppm", 227, 149, PixelFormat::kRgba8, 1},
      {"monkey16.pgm", 149, 227, PixelFormat::kRgba8, 1},
      {"narrow.pbm", 1, 9, PixelFormat::kRgba8, 1},
      {"rgbr4x4.hdr", 4, 4, PixelFormat::kRgba32F, 1},
      {"scale.hdr", 256, 8, PixelFormat::kRgba32F, 1},
      {"BC1DXT1_RGB_Modern_317x177.dds", 317, 177, PixelFormat::kDxt1, 1},
      {"BC3DXT4DXT5_RGBA_Legacy.dds", 1280, 720, PixelFormat::kDxt5, 11},
      {"Cubemap_DDS_BC1.dds", 512, 512, PixelFormat::kDxt1, 1},
  };
  for (const auto& f : kFiles) {
    const Result r = Decode(ReadFile(f.name));
    ASSERT_TRUE(r.ok) << f.name << ": " << r.why;
    EXPECT_EQ(r.image.width, f.width) << f.name;
    EXPECT_EQ(r.image.height, f.height) << f.name;
    EXPECT_EQ(r.image.format, f.format) << f.name;
    EXPECT_EQ(r.image.levels.size(), f.levels) << f.name;
  }
  EXPECT_EQ(Decode(ReadFile("Cubemap_DDS_BC1.dds")).image.note,
            "a cube map: only its first face is used");
}

TEST(ImageFiles, BadAndUnsupportedRealFilesFailWithTheirReason) {
  const struct {
    const char* name;
    const char* reason;
  } kFiles[] = {
      {"pal8badindex.bmp", "pixel index 103 is beyond the palette of 101 colours"},
      {"rletopdown.bmp", "cannot be stored top-down"},
      {"badplanes.bmp", "30000 planes"},
      {"monkey12.jpg", "12-bit JPEG is not supported"},
      {"jpeg_lossless_sel1.jpg", "lossless JPEG (SOF3) is not supported"},
  };
  for (const auto& f : kFiles) {
    const Result r = Decode(ReadFile(f.name));
    EXPECT_FALSE(r.ok) << f.name;
    EXPECT_NE(r.why.find(f.reason), std::string::npos) << f.name << ": " << r.why;
    EXPECT_TRUE(r.image.levels.empty() && !r.image.storage) << f.name;
  }
}

// The BMP Suite draws one picture in every encoding; each is compared with the plain file of its
// colour depth.
TEST(ImagePixels, EveryBmpEncodingGivesThePictureOfItsPlainTwin) {
  const struct {
    const char *name, *reference;
    double tolerance;
  } kPairs[] = {
      {"pal8rle.bmp", "pal8v5.bmp", 0},
      {"pal8os2-sz.bmp", "pal8v5.bmp", 0},
      {"rgba32abf.bmp", "rgba32.bmp", 0},  // alpha bit fields in an INFO header
      {"rgb16-565.bmp", "rgb24.bmp", 4},   // 5-6-5 keeps the top bits of each channel only
      {"Info_8_Bit_Top_Down.bmp", "Info_8_Bit.bmp", 0},  // negative height: stored top row first
  };
  for (const auto& p : kPairs) {
    const Result r = Decode(ReadFile(p.name)), reference = Decode(ReadFile(p.reference));
    ASSERT_TRUE(r.ok && reference.ok) << p.name << ": " << r.why;
    EXPECT_LE(MeanDifference(r.image, reference.image), p.tolerance) << p.name;
  }
  // Without its 14-byte file header (a packed DIB) the same file is the same picture.
  const std::string bmp = ReadFile("rgb24.bmp");
  const Result dib = Decode(bmp.substr(14)), whole = Decode(bmp);
  ASSERT_TRUE(dib.ok) << dib.why;
  EXPECT_EQ(MeanDifference(dib.image, whole.image), 0.0);
  const Result rgba = Decode(ReadFile("rgba32abf.bmp")), plain = Decode(ReadFile("rgba32.bmp"));
  for (int i = 0; i < rgba.image.width * rgba.image.height; ++i)
    ASSERT_EQ(rgba.image.levels[0].data[i * 4 + 3], plain.image.levels[0].data[i * 4 + 3]);
}

TEST(ImagePixels, JpegDecodesCloseToItsSourceAndCmykToItsReference) {
  const Result source = Decode(ReadFile("testorig.ppm"));
  ASSERT_TRUE(source.ok);
  for (const char* name : {"testorig.jpg", "testimgari.jpg", "testimgint.jpg"}) {
    const Result r = Decode(ReadFile(name));
    ASSERT_TRUE(r.ok) << name;
    EXPECT_LT(MeanDifference(r.image, source.image), 4.0) << name;
  }
  // Adobe CMYK, stored inverted: read the other way round, every colour would be its negative.
  const Result cmyk = Decode(ReadFile("jpg-cmyk-1.jpg")), png = Decode(ReadFile("jpg-cmyk-1.png"));
  ASSERT_TRUE(cmyk.ok && png.ok);
  EXPECT_LT(MeanDifference(cmyk.image, png.image), 4.0);
}

TEST(ImagePixels, DxtBlocksAreHandedOnAsStoredAndMasksAreExpanded) {
  const std::string dds = ReadFile("BC3DXT4DXT5_RGBA_Legacy.dds");
  const Result r = Decode(dds);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.image.levels[0].data, reinterpret_cast<const unsigned char*>(dds.data()) + 128);
  EXPECT_EQ(r.image.levels[0].size, size_t{1280 / 4 * (720 / 4) * 16});
  EXPECT_EQ(r.image.levels.back().width * r.image.levels.back().height, 1);

  // One pixel each of R5G6B5, A8R8G8B8, L8 and A8 as legacy files write them.
  struct Case {
    std::string file;
    uint32_t expected;  // R, G, B, A from the lowest byte up
  };
  std::string r5g6b5 =
      Dds(1, 1, 1, 0x40, 0, 16, 0xF800, 0x07E0, 0x001F) + "\x1F\xF8";  // R = 31, B = 31
  std::string argb =
      Dds(1, 1, 1, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000) + "\x30\x20\x10\x80";
  std::string l8 = Dds(1, 1, 1, 0x20000, 0, 8, 0xFF) + "\x64";
  std::string a8 = Dds(1, 1, 1, 0x2, 0, 8, 0, 0, 0, 0xFF) + "\x64";
  for (const Case& c : {Case{r5g6b5, 0xFFFF00FF}, Case{argb, 0x80302010}, Case{l8, 0xFF646464},
                        Case{a8, 0x64000000}}) {
    const Result one = Decode(c.file);
    ASSERT_TRUE(one.ok) << one.why;
    uint32_t got;
    std::memcpy(&got, one.image.levels[0].data, 4);
    EXPECT_EQ(got, c.expected);
  }
}

TEST(ImagePixels, FloatFormatsKeepTheirValues) {
  // PFM: rows bottom-up, little-endian when the scale is negative.
  std::string pfm = "PF\n2 1\n-1.0\n";
  for (float v : {2.5f, -1.0f, 0.25f, 100.0f, 3.0f, 4.0f})
    pfm.append(reinterpret_cast<char*>(&v), 4);
  const Result r = Decode(pfm);
  ASSERT_TRUE(r.ok) << r.why;
  ASSERT_EQ(r.image.format, PixelFormat::kRgba32F);
  const auto* f = reinterpret_cast<const float*>(r.image.levels[0].data);
  EXPECT_EQ(f[0], 2.5f);
  EXPECT_EQ(f[1], -1.0f);
  EXPECT_EQ(f[3], 1.0f);
  EXPECT_EQ(f[4], 100.0f);

  // Plain PPM with 16-bit samples scales to 8 bits; a sample over maxval refuses the file.
  const Result ppm = Decode("P3\n# two pixels\n2 1 65535\n65535 0 32768  257 0 0\n");
  ASSERT_TRUE(ppm.ok) << ppm.why;
  EXPECT_EQ(Texel(ppm.image, 0, 0)[0], 255);
  EXPECT_EQ(Texel(ppm.image, 0, 0)[2], 128);
  EXPECT_EQ(Texel(ppm.image, 1, 0)[0], 1);
  EXPECT_FALSE(Decode("P2 1 1 10 11\n").ok);
}

// Every good file cut anywhere short fails: none may load padded with grey, zeros or old memory.
TEST(ImageLimits, EveryRealFileCutShortFails) {
  for (const char* name :
       {"rgb24.bmp", "pal8rle.bmp", "testorig.jpg", "testimgint.jpg", "black_white.tga",
        "WhiteBorderRLE.tga", "testorig.ppm", "monkey16.pgm", "scale.hdr",
        "BC3DXT4DXT5_RGBA_Legacy.dds", "BC1DXT1_RGB_Modern_317x177.dds"}) {
    const std::string whole = ReadFile(name);
    for (size_t cut : {whole.size() * 3 / 4, whole.size() / 2, size_t{20}}) {
      const Result r = Decode(whole.substr(0, cut));
      EXPECT_FALSE(r.ok) << name << " cut to " << cut;
      EXPECT_FALSE(r.why.empty());
    }
  }
}

// A CRC-checked PNG chunk.
std::string Chunk(const char* type, const std::string& data) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) out[i] = char(data.size() >> (24 - 8 * i));
  const std::string body = type + data;
  const uint32_t crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size());
  out += body;
  for (int i = 0; i < 4; ++i) out += char(crc >> (24 - 8 * i));
  return out;
}

// Headers that claim far more pixels than any texture: refused before anything is allocated, so
// at once, whatever the decoder underneath would have done with them.
TEST(ImageLimits, HugeClaimedSizesAreRefusedAtOnce) {
  // The 1-bit PNG of 16384 x 16384 in 32 KB that cost 3.5 GiB and 19 s to decode.
  const std::string rows(size_t{16384} * (1 + 16384 / 8), '\0');
  uLongf packedSize = compressBound(rows.size());
  std::string packed(packedSize, '\0');
  ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(&packed[0]), &packedSize,
                      reinterpret_cast<const Bytef*>(rows.data()), rows.size(), 9),
            Z_OK);
  packed.resize(packedSize);
  const std::string ihdr("\0\0\x40\0\0\0\x40\0\x01\0\0\0\0", 13);  // 1-bit grey
  const std::string bomb =
      "\x89PNG\r\n\x1A\n" + Chunk("IHDR", ihdr) + Chunk("IDAT", packed) + Chunk("IEND", "");
  EXPECT_LT(bomb.size(), size_t{64} << 10);

  std::string bmp = ReadFile("rgb24.bmp");
  Put32(&bmp, 18, 65535), Put32(&bmp, 22, 65535);
  std::string tga = ReadFile("black_white.tga");
  tga[12] = tga[13] = tga[14] = tga[15] = '\xFF';
  std::string jpeg = ReadFile("testorig.jpg");
  const size_t sof = jpeg.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  // 20000 x 20000: the library itself stops at 65500 a side.
  jpeg[sof + 5] = jpeg[sof + 7] = '\x4E', jpeg[sof + 6] = jpeg[sof + 8] = '\x20';
  // Within the limits, but far more picture than the file could code: 8000 x 8000.
  std::string smallJpeg = ReadFile("testorig.jpg");
  smallJpeg[sof + 5] = smallJpeg[sof + 7] = '\x1F',
                  smallJpeg[sof + 6] = smallJpeg[sof + 8] = '\x40';
  const std::string smallPng =
      "\x89PNG\r\n\x1A\n" +
      Chunk("IHDR", std::string("\0\0\x1F\x40\0\0\x1F\x40\x08\x06\0\0\0", 13)) +
      Chunk("IDAT", packed.substr(0, 1000)) + Chunk("IEND", "");
  const std::string dds = Dds(65535, 65535, 1, 0x4, 0x31545844);  // DXT1
  const std::string side = "image size 65535x65535 is not supported";
  const struct {
    std::string bytes, reason;
  } kCases[] = {
      {bomb, "image size 16384x16384 is over the limit of 67108864 pixels"},
      {Dds(8192, 8193, 1, 0x4, 0x31545844), "is over the limit of 67108864 pixels"},
      {Dds(4096, 4097, 1, 0x4, 116), "over the limit of 256 MiB"},  // float RGBA
      {bmp, side},
      {tga, side},
      {jpeg, "image size 20000x20000 is not supported"},
      {dds, side},
      {smallJpeg, "too small for the 8000x8000 picture its header claims"},
      {smallPng, "too small for the 8000x8000 picture its header claims"},
      {"P6 65535 65535 255\n", side},
      {"PF\n65535 65535\n-1\n", side},
      {"#?RADIANCE\n\n-Y 65535 +X 65535\n", side},
  };
  for (const auto& c : kCases) {
    const auto start = std::chrono::steady_clock::now();
    const Result r = Decode(c.bytes);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.why.find(c.reason), std::string::npos) << r.why;
    EXPECT_LT(ms, 50.0) << r.why;
  }
}

}  // namespace
