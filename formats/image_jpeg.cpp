// JPEG through libjpeg-turbo. Every error the library raises comes back here through longjmp and
// becomes a failed load; a file cut short (which the library would pad with grey and call a
// warning) is an error too. CMYK and YCCK files are turned into RGB, inverted as Adobe writes them.
// Limits: 8-bit baseline, extended and progressive coding, Huffman or arithmetic; 12-bit, lossless
// and hierarchical files are refused by name; at most 500 scans (a progressive file of thousands of
// tiny scans costs minutes to decode).
#include <csetjmp>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared before it.
#include <jerror.h>
#include <jpeglib.h>

#include "formats/image_readers.hpp"

namespace formats::image {
namespace {

constexpr int kMaxScans = 500;
constexpr long kMaxDecoderMemory = 512L << 20;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX + 64];
};

[[noreturn]] void Fail(j_common_ptr cinfo) {
  auto* e = reinterpret_cast<ErrorManager*>(cinfo->err);
  const int code = e->base.msg_code, parameter = e->base.msg_parm.i[0];
  if (code == JERR_BAD_PRECISION) {
    std::snprintf(e->message, sizeof e->message,
                  "%d-bit JPEG is not supported (only 8-bit samples are)", parameter);
  } else if (code == JERR_SOF_UNSUPPORTED) {
    std::snprintf(e->message, sizeof e->message, "%s JPEG (SOF%d) is not supported",
                  (parameter & 3) == 3 ? "lossless" : "hierarchical", parameter - 0xC0);
  } else {
    char text[JMSG_LENGTH_MAX];
    (*e->base.format_message)(cinfo, text);
    std::snprintf(e->message, sizeof e->message, "corrupt JPEG (%s)", text);
  }
  std::longjmp(e->jump, 1);
}

// Level -1 is a warning about the data; the others are traces. The library goes on after a
// premature end with grey in place of the missing picture, which would load as if it were whole.
void Warn(j_common_ptr cinfo, int level) {
  auto* e = reinterpret_cast<ErrorManager*>(cinfo->err);
  if (level >= 0) return;
  if (e->base.msg_code == JWRN_JPEG_EOF || e->base.msg_code == JWRN_HIT_MARKER) {
    std::snprintf(e->message, sizeof e->message, "the JPEG data is cut short");
    std::longjmp(e->jump, 1);
  }
}

void Progress(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number <= kMaxScans) return;
  auto* e = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::snprintf(e->message, sizeof e->message, "the JPEG has more than %d scans", kMaxScans);
  std::longjmp(e->jump, 1);
}

// In place: four bytes of C, M, Y, K become R, G, B, 255.
void CmykToRgba(unsigned char* row, JDIMENSION width, bool inverted) {
  for (JDIMENSION x = 0; x < width; ++x, row += 4) {
    unsigned c = row[0], m = row[1], y = row[2], k = row[3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    row[0] = static_cast<unsigned char>((c * k + 127) / 255);
    row[1] = static_cast<unsigned char>((m * k + 127) / 255);
    row[2] = static_cast<unsigned char>((y * k + 127) / 255);
    row[3] = 255;
  }
}

}  // namespace

bool DecodeJpeg(const std::string& bytes, DecodedImage* image, std::string* why) {
  // Nothing with a destructor may live in this frame between setjmp and a longjmp.
  jpeg_decompress_struct cinfo{};
  ErrorManager errors{};
  jpeg_progress_mgr progress{};
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = Fail;
  errors.base.emit_message = Warn;
  progress.progress_monitor = Progress;
  jpeg_create_decompress(&cinfo);
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&cinfo);
    *why = errors.message;
    return false;
  }
  cinfo.progress = &progress;
  cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(&cinfo);
    *why = "the JPEG holds tables but no picture";
    return false;
  }
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
  if (!CheckSize(cinfo.image_width, cinfo.image_height, PixelFormat::kRgba8, why)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  // Every MCU codes at least one bit; a file too small for the MCUs its header claims would only
  // make the decoder size (and, progressive, clear) buffers for a picture that is not there.
  const uint64_t mcus =
      uint64_t{(cinfo.image_width + 8 * cinfo.max_h_samp_factor - 1) /
               (8 * cinfo.max_h_samp_factor)} *
      ((cinfo.image_height + 8 * cinfo.max_v_samp_factor - 1) / (8 * cinfo.max_v_samp_factor));
  if (uint64_t{bytes.size()} * 8 < mcus) {
    jpeg_destroy_decompress(&cinfo);
    *why = "the file is too small for the " + std::to_string(cinfo.image_width) + "x" +
           std::to_string(cinfo.image_height) + " picture its header claims";
    return false;
  }
  unsigned char* out =
      AllocateImage(image, PixelFormat::kRgba8, static_cast<int>(cinfo.image_width),
                    static_cast<int>(cinfo.image_height), why);
  if (!out) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_start_decompress(&cinfo);
  const size_t stride = size_t{cinfo.output_width} * 4;
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out + cinfo.output_scanline * stride;
    // A memory source never suspends, so no row means the decoder has given up.
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) {
      jpeg_destroy_decompress(&cinfo);
      *why = "the JPEG data is cut short";
      return false;
    }
    if (cmyk) CmykToRgba(row, cinfo.output_width, cinfo.saw_Adobe_marker);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

}  // namespace formats::image
